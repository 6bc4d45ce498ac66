#include "app/settings_attributes.h"

#include <cmath>

#include <charconv>
#include <iterator>

#include "foundation/text_parse.h"

namespace {

struct NamedValue {
    int value;
    const char* name;
};

constexpr NamedValue play_modes[] = {
    {0, "SingleOnce"}, {1, "SingleRepeat"}, {2, "PlaylistOnce"}, {3, "PlaylistRepeat"}, {4, "PlaylistShuffle"},
};

constexpr NamedValue sort_orders[] = {
    {0, "NONE"}, {1, "NAME"}, {2, "DATE"}, {3, "SIZE"}, {4, "NAME_DESC"}, {5, "DATE_DESC"}, {6, "SIZE_DESC"},
};

template <std::size_t N>
bool name_of(const NamedValue (&table)[N], int value, std::string& name) {
    for (auto const& row : table) {
        if (row.value == value) {
            name = row.name;
            return true;
        }
    }
    return false;
}

template <std::size_t N>
bool value_of(const NamedValue (&table)[N], const std::string& name, int& value) {
    for (auto const& row : table) {
        if (name == row.name) {
            value = row.value;
            return true;
        }
    }
    return false;
}

// The names are ASCII: a wide text names a row only when each unit equals the name's byte.
bool narrow_name(const std::u16string& text, std::string& name) {
    name.clear();
    for (char16_t const c : text) {
        if (c == 0 || c > 0x7F) return false;
        name.push_back(static_cast<char>(c));
    }
    return true;
}

std::u16string widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

template <std::size_t N>
bool write_named(const NamedValue (&table)[N], const os::XmlNode& node, const std::u16string& name, int value) {
    std::string text;
    return name_of(table, value, text) && node.set_attribute(name, widen(text));
}

template <std::size_t N>
bool read_named(const NamedValue (&table)[N], const os::XmlNode& node, const std::u16string& name, int& value) {
    std::u16string text;
    std::string ascii;
    return node.get_attribute(name, text) && narrow_name(text, ascii) && value_of(table, ascii, value);
}

}  // namespace

bool play_mode_to_name(int value, std::string& name) { return name_of(play_modes, value, name); }
bool play_mode_from_name(const std::string& name, int& value) { return value_of(play_modes, name, value); }
bool sort_order_to_name(int value, std::string& name) { return name_of(sort_orders, value, name); }
bool sort_order_from_name(const std::string& name, int& value) { return value_of(sort_orders, name, value); }

bool write_attribute_double(const os::XmlNode& node, const std::u16string& name, double value) {
    char text[400];  // room for the largest double in fixed notation
    auto const result = std::to_chars(std::begin(text), std::end(text), value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return false;
    return node.set_attribute(name, std::u16string(text, result.ptr));
}

bool read_attribute_double(const os::XmlNode& node, const std::u16string& name, double& value) {
    std::u16string text;
    if (!node.get_attribute(name, text)) return false;
    double read = 0.0;
    if (liba::parse_double(read, text.data(), text.data() + text.size()) == nullptr || !std::isfinite(read)) return false;
    value = read;
    return true;
}

bool write_attribute_play_mode(const os::XmlNode& node, const std::u16string& name, int value) {
    return write_named(play_modes, node, name, value);
}

bool write_attribute_sort_order(const os::XmlNode& node, const std::u16string& name, int value) {
    return write_named(sort_orders, node, name, value);
}

bool read_attribute_play_mode(const os::XmlNode& node, const std::u16string& name, int& value) {
    return read_named(play_modes, node, name, value);
}

bool read_attribute_sort_order(const os::XmlNode& node, const std::u16string& name, int& value) {
    return read_named(sort_orders, node, name, value);
}

void write_equalizer_band(const os::XmlNode& node, const EqualizerBand& band) {
    write_attribute_double(node, u"Frequency", band.frequency);
    write_attribute_double(node, u"Amplitude", band.amplitude);
    write_attribute_double(node, u"Width", band.width);
    liba::write_attribute_bool(node, u"Active", band.active);
}

void read_equalizer_band(const os::XmlNode& node, EqualizerBand& band) {
    read_attribute_double(node, u"Frequency", band.frequency);
    read_attribute_double(node, u"Amplitude", band.amplitude);
    read_attribute_double(node, u"Width", band.width);
    liba::read_attribute_bool(node, u"Active", band.active);
}
