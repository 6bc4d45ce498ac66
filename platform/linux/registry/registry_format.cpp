// A stored root is UTF-8 text, one line per key and per value, keys before their subkeys:
//
//     sonbrix registry 1
//     []
//     [Software] 5f0c9a1e77d2b341
//     [Software\XELO] 0a7731c2d4e9f810
//     "Log" REG_DWORD dword:00000001
//     "Name" REG_SZ "Hello"
//     "" REG_BINARY hex:00ff17
//
// A key line holds the key's path below the root in brackets and its id; the value lines
// after it belong to that key. A value line holds the quoted name, the type (a REG_ name or
// a decimal number) and the data in one of three forms that all keep the exact bytes:
// a quoted text (the UTF-16 units without the one terminating zero unit that the data ends
// with), "dword:" and eight hex digits (4 bytes of a REG_DWORD), or "hex:" and the bytes.
// In names and texts a UTF-16 unit that could not stand there as it is (control characters,
// '%', quotes, brackets, unpaired surrogates) is written as '%' and four hex digits.
#include "platform/linux/registry_format.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/unicode.h"
#include "platform/registry.h"

namespace platform::detail {
namespace {

constexpr std::string_view header = "sonbrix registry 1";

struct TypeName {
    DWORD type;
    std::string_view name;
};
constexpr TypeName type_names[] = {
    {REG_NONE, "REG_NONE"},   {REG_SZ, "REG_SZ"},       {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"}, {REG_DWORD, "REG_DWORD"}, {REG_MULTI_SZ, "REG_MULTI_SZ"},
};

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool must_escape(char16_t c, std::u16string_view specials) {
    return c < 0x20 || c == 0x7F || c == u'%' || specials.find(c) != std::u16string_view::npos;
}

void append_hex(std::string& out, unsigned value, int digits) {
    char text[9];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    out += text;
}

std::string escape(std::u16string_view text, std::u16string_view specials) {
    std::string out;
    std::size_t run_start = 0;
    auto flush_run = [&](std::size_t end) {
        if (end > run_start) out += utf16_to_utf8(text.substr(run_start, end - run_start));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t const c = text[i];
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            ++i;
            continue;
        }
        bool const lone_surrogate = is_high_surrogate(c) || is_low_surrogate(c);
        if (lone_surrogate || must_escape(c, specials)) {
            flush_run(i);
            out += '%';
            append_hex(out, c, 4);
            run_start = i + 1;
        }
    }
    flush_run(text.size());
    return out;
}

std::optional<unsigned> parse_hex(std::string_view text) {
    unsigned value = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

int hex_digit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A '%' not followed by four hex digits stands for itself.
std::u16string unescape(std::string_view utf8) {
    std::u16string const text = utf8_to_utf16(utf8);
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 4 < text.size()) {
            int value = 0;
            bool valid = true;
            for (std::size_t k = 1; k <= 4; ++k) {
                int const digit = hex_digit(text[i + k]);
                valid = valid && digit >= 0;
                value = value * 16 + digit;
            }
            if (valid) {
                out += static_cast<char16_t>(value);
                i += 4;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::u16string units_of(const std::vector<BYTE>& data, std::size_t count) {
    std::u16string units(count, u'\0');
    for (std::size_t i = 0; i < count; ++i) {
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return units;
}

std::vector<BYTE> bytes_of(std::u16string_view units) {
    std::vector<BYTE> data;
    data.reserve(units.size() * 2);
    for (char16_t const unit : units) {
        data.push_back(static_cast<BYTE>(unit & 0xFF));
        data.push_back(static_cast<BYTE>(unit >> 8));
    }
    return data;
}

bool is_text_type(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

bool fits_text_form(const RegistryValue& value) {
    auto const& data = value.data;
    return is_text_type(value.type) && data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 2] == 0 &&
           data.back() == 0;
}

std::string format_type(DWORD type) {
    for (auto const& known : type_names) {
        if (known.type == type) return std::string(known.name);
    }
    return std::to_string(type);
}

std::optional<DWORD> parse_type(std::string_view text) {
    for (auto const& known : type_names) {
        if (known.name == text) return known.type;
    }
    DWORD type = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), type, 10);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return type;
}

std::string format_data(const RegistryValue& value) {
    auto const& data = value.data;
    if (fits_text_form(value)) return '"' + escape(units_of(data, data.size() / 2 - 1), u"\"") + '"';
    if (value.type == REG_DWORD && data.size() == 4) {
        std::string out = "dword:";
        append_hex(out, unsigned(data[0]) | unsigned(data[1]) << 8 | unsigned(data[2]) << 16 | unsigned(data[3]) << 24,
                   8);
        return out;
    }
    std::string out = "hex:";
    for (BYTE const byte : data) append_hex(out, byte, 2);
    return out;
}

std::optional<std::vector<BYTE>> parse_data(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        std::u16string units = unescape(text.substr(1, text.size() - 2));
        units += u'\0';
        return bytes_of(units);
    }
    if (text.starts_with("dword:")) {
        auto const digits = text.substr(6);
        auto const value = parse_hex(digits);
        if (!value || digits.size() != 8) return std::nullopt;
        return std::vector<BYTE>{BYTE(*value), BYTE(*value >> 8), BYTE(*value >> 16), BYTE(*value >> 24)};
    }
    if (text.starts_with("hex:")) {
        auto const digits = text.substr(4);
        if (digits.size() % 2 != 0) return std::nullopt;
        std::vector<BYTE> data;
        data.reserve(digits.size() / 2);
        for (std::size_t i = 0; i < digits.size(); i += 2) {
            auto const byte = parse_hex(digits.substr(i, 2));
            if (!byte) return std::nullopt;
            data.push_back(static_cast<BYTE>(*byte));
        }
        return data;
    }
    return std::nullopt;
}

std::string format_key_id(std::uint64_t id) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(id));
    return text;
}

// Keys written by hand may lack an id: one made from the path keeps it the same at every reading.
std::uint64_t id_from_path(std::u16string_view path) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (char16_t const c : path) {
        hash = (hash ^ to_lower(c)) * 0x100000001B3ull;
    }
    return hash == RegistryKey::root_id ? 1 : hash;
}

void format_key_lines(const RegistryKey& key, const std::string& path, std::string& out) {
    out += '[' + path + ']';
    if (key.id() != RegistryKey::root_id) out += ' ' + format_key_id(key.id());
    out += '\n';
    for (auto const& value : key.values()) {
        out += '"' + escape(value.name, u"\"") + "\" " + format_type(value.type) + ' ' + format_data(value) + '\n';
    }
}

// Keys before their subkeys, subkeys in creation order; a stack rather than recursion, so
// that no depth of keys can exhaust the thread's stack.
void format_keys(const RegistryKey& root, std::string& out) {
    struct Pending {
        const RegistryKey* key;
        std::string path;
    };
    std::vector<Pending> stack{{&root, ""}};
    while (!stack.empty()) {
        Pending const next = std::move(stack.back());
        stack.pop_back();
        format_key_lines(*next.key, next.path, out);
        auto const& subkeys = next.key->subkeys();
        for (auto it = subkeys.rbegin(); it != subkeys.rend(); ++it) {
            std::string const name = escape((*it)->name(), u"[]\\");
            stack.push_back({it->get(), next.path.empty() ? name : next.path + '\\' + name});
        }
    }
}

class HiveParser {
public:
    HiveParser() : root_(std::make_unique<RegistryKey>(u"", RegistryKey::root_id)), current_(root_.get()) {}

    void parse_line(std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        bool read = false;
        if (line.starts_with('[')) read = parse_key_line(line);
        else if (line.starts_with('"')) read = parse_value_line(line);
        else read = line.find_first_not_of(std::string_view(" \t\0", 3)) == std::string_view::npos;
        if (!read) complete_ = false;
    }

    bool is_complete() const { return complete_; }
    std::unique_ptr<RegistryKey> take() { return std::move(root_); }

private:
    // False when the line could not be read.
    bool parse_key_line(std::string_view line) {
        auto const close = line.find(']');
        if (close == std::string_view::npos) {
            current_ = nullptr;  // the values after a broken key line belong to no key we know
            return false;
        }
        auto const names = split_key_path(unescape(line.substr(1, close - 1)));
        if (names.size() > max_registry_key_depth) {
            current_ = nullptr;
            return false;
        }
        auto id_text = line.substr(close + 1);
        while (id_text.starts_with(' ')) id_text.remove_prefix(1);
        std::optional<std::uint64_t> stored_id;
        std::uint64_t id = 0;
        auto const [end, error] = std::from_chars(id_text.data(), id_text.data() + id_text.size(), id, 16);
        if (error == std::errc() && end == id_text.data() + id_text.size() && id != RegistryKey::root_id) stored_id = id;

        RegistryKey* key = root_.get();
        std::u16string path;
        for (auto const& name : names) {
            path += (path.empty() ? u"" : u"\\") + name;
            bool const last = &name == &names.back();
            key = &key->add_subkey(name, last && stored_id ? *stored_id : id_from_path(path));
        }
        current_ = key;
        return true;
    }

    bool parse_value_line(std::string_view line) {
        auto const close = line.find('"', 1);
        if (!current_ || close == std::string_view::npos) return false;
        auto rest = line.substr(close + 1);
        if (!rest.starts_with(' ')) return false;
        rest.remove_prefix(1);
        auto const space = rest.find(' ');
        if (space == std::string_view::npos) return false;
        auto const type = parse_type(rest.substr(0, space));
        auto data = parse_data(rest.substr(space + 1));
        if (!type || !data) return false;
        current_->set_value(unescape(line.substr(1, close - 1)), *type, std::move(*data));
        return true;
    }

    std::unique_ptr<RegistryKey> root_;
    RegistryKey* current_;
    bool complete_ = true;
};

}  // namespace

std::string format_hive(const RegistryKey& root) {
    std::string out(header);
    out += '\n';
    format_keys(root, out);
    return out;
}

bool is_hive_text(std::string_view text) {
    auto first = text.substr(0, text.find('\n'));
    // What an editor may add: a byte-order mark before the header, blanks or zero bytes after it.
    if (first.starts_with("\xEF\xBB\xBF")) first.remove_prefix(3);
    while (!first.empty() && (first.back() == '\r' || first.back() == ' ' || first.back() == '\t' || first.back() == '\0'))
        first.remove_suffix(1);
    return first == header;
}

std::unique_ptr<RegistryKey> parse_hive(std::string_view text, bool* complete) {
    HiveParser parser;
    auto const first_end = text.find('\n');
    if (!is_hive_text(text)) {
        if (complete) *complete = text.empty();
        return parser.take();
    }
    std::size_t start = first_end;
    while (start != std::string_view::npos && start < text.size()) {
        ++start;
        auto const end = text.find('\n', start);
        parser.parse_line(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        start = end;
    }
    if (complete) *complete = parser.is_complete();
    return parser.take();
}

}  // namespace platform::detail
