#include "tools/skin_compiler/skin_source_xml.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <sstream>

#include "tools/skin_compiler/utf.h"

namespace skin_compiler {
namespace {

using skinner::format::RecordType;

class SourceReader {
public:
    SourceReader(const std::string& xml, SkinSource& source, Diagnostics& diagnostics)
        : xml_(xml), source_(source), diagnostics_(diagnostics) {}

    bool read() {
        pugi::xml_parse_result parsed = document_.load_buffer(xml_.data(), xml_.size());
        if (!parsed) {
            diagnostics_.error(line_at(parsed.offset), std::string("not well-formed XML: ") + parsed.description());
            return false;
        }
        pugi::xml_node skin = document_.child("skin");
        if (!skin) {
            diagnostics_.error(1, "the source has no <skin> element");
            return false;
        }
        read_skin(skin);
        return diagnostics_.ok();
    }

private:
    int line_at(std::ptrdiff_t offset) const {
        if (offset < 0) return 0;
        auto end = xml_.begin() + std::min<std::ptrdiff_t>(offset, static_cast<std::ptrdiff_t>(xml_.size()));
        return 1 + static_cast<int>(std::count(xml_.begin(), end, '\n'));
    }
    int line(pugi::xml_node node) const { return line_at(node.offset_debug()); }

    std::u16string text(pugi::xml_node node, const char* attribute, bool required = true) {
        pugi::xml_attribute found = node.attribute(attribute);
        if (!found && required) {
            diagnostics_.error(line(node), std::string("<") + node.name() + "> needs the attribute " + attribute);
        }
        return utf8_to_utf16(found.value());
    }

    bool number(pugi::xml_node node, const std::string& value_text, const char* what, long long low, long long high,
                long long& value) {
        std::string_view view = value_text;
        int base = 10;
        bool negative = !view.empty() && view[0] == '-';
        if (negative) view.remove_prefix(1);
        if (view.size() > 2 && view[0] == '0' && (view[1] == 'x' || view[1] == 'X')) {
            view.remove_prefix(2);
            base = 16;
        }
        unsigned long long magnitude = 0;
        auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), magnitude, base);
        bool parsed = error == std::errc() && end == view.data() + view.size() && !view.empty() && magnitude <= LLONG_MAX;
        value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
        if (!parsed || value < low || value > high) {
            diagnostics_.error(line(node), std::string(what) + " \"" + value_text + "\" is not a whole number from " +
                                               std::to_string(low) + " to " + std::to_string(high));
            return false;
        }
        return true;
    }

    long long number_attribute(pugi::xml_node node, const char* attribute, long long low, long long high) {
        pugi::xml_attribute found = node.attribute(attribute);
        if (!found) {
            diagnostics_.error(line(node), std::string("<") + node.name() + "> needs the attribute " + attribute);
            return 0;
        }
        long long value = 0;
        number(node, found.value(), attribute, low, high, value);
        return value;
    }

    void read_skin(pugi::xml_node skin) {
        source_.compatibility_name = text(skin, "compatibility");
        source_.device_letters = text(skin, "devices", false);
        for (pugi::xml_node child : skin.children()) {
            if (child.type() != pugi::node_element) continue;
            std::string name = child.name();
            if (name == "screens") {
                read_screens(child);
            } else if (name == "pictures") {
                read_list(child, "picture", "name", source_.pictures);
            } else if (name == "fonts") {
                read_list(child, "font", "description", source_.fonts);
            } else if (name != "form" && name != "kind") {
                diagnostics_.error(line(child), "unknown element <" + name + "> in <skin>");
            }
        }
        for (pugi::xml_node form : skin.children("form")) source_.forms.push_back(read_node(form, true));
        for (pugi::xml_node kind : skin.children("kind")) source_.kinds.push_back(read_node(kind, false));
    }

    void read_screens(pugi::xml_node screens) {
        for (pugi::xml_node screen : screens.children()) {
            if (screen.type() != pugi::node_element) continue;
            if (std::string(screen.name()) != "screen") {
                diagnostics_.error(line(screen), "unknown element <" + std::string(screen.name()) + "> in <screens>");
                continue;
            }
            auto width = static_cast<int>(number_attribute(screen, "width", 0, INT_MAX));
            auto height = static_cast<int>(number_attribute(screen, "height", 0, INT_MAX));
            source_.screens.push_back({width, height});
        }
    }

    void read_list(pugi::xml_node list, const char* element, const char* attribute, std::vector<NamedEntry>& entries) {
        for (pugi::xml_node entry : list.children()) {
            if (entry.type() != pugi::node_element) continue;
            if (std::string(entry.name()) != element) {
                diagnostics_.error(line(entry), "unknown element <" + std::string(entry.name()) + "> in <" +
                                                    list.name() + ">");
                continue;
            }
            entries.push_back({text(entry, attribute), line(entry)});
        }
    }

    Node read_node(pugi::xml_node element, bool is_form) {
        Node node;
        node.name = text(element, "name");
        node.line = line(element);
        if (is_form) node.variant_of = text(element, "variant-of", false);
        for (pugi::xml_node child : element.children()) {
            if (child.type() != pugi::node_element) continue;
            std::string type = child.name();
            if (is_form && type == "control") {
                node.controls.push_back(read_node(child, false));
            } else if (is_form && type == "auto") {
                node.auto_controls.push_back({text(child, "name"), text(child, "kind"), line(child)});
            } else {
                read_property(child, node);
            }
        }
        return node;
    }

    void read_property(pugi::xml_node element, Node& node) {
        Property property;
        property.name = text(element, "name");
        property.line = line(element);
        std::string type = element.name();
        if (type == "integer") {
            property.type = RecordType::integer;
            property.integer = static_cast<std::int32_t>(number_attribute(element, "value", INT_MIN, INT_MAX));
        } else if (type == "point") {
            property.type = RecordType::point;
            property.point.x = static_cast<int>(number_attribute(element, "x", -32767, 32767));
            property.point.y = static_cast<int>(number_attribute(element, "y", -32767, 32767));
        } else if (type == "string") {
            property.type = RecordType::string;
            property.text = text(element, "value");
        } else if (type == "color") {
            property.type = RecordType::color;
            property.color = read_color(element);
        } else if (type == "picture") {
            property.type = RecordType::picture;
            property.picture = read_picture(element);
        } else if (type == "font") {
            property.type = RecordType::font;
            property.font = read_reference(element, "description", source_.fonts, "font");
        } else {
            diagnostics_.error(property.line, "unknown property type <" + type + ">");
            return;
        }
        node.properties.push_back(std::move(property));
    }

    std::uint32_t read_color(pugi::xml_node element) {
        std::string value = element.attribute("value").value();
        bool shaped = (value.size() == 7 || value.size() == 9) && value[0] == '#' &&
                      value.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
        if (!shaped) {
            diagnostics_.error(line(element), "colour \"" + value + "\" is not #RRGGBB or #RRGGBBAA");
            return 0;
        }
        std::uint32_t color = 0;
        for (std::size_t byte = 0; byte * 2 + 1 < value.size(); ++byte) {
            color |= static_cast<std::uint32_t>(std::stoul(value.substr(1 + 2 * byte, 2), nullptr, 16)) << (8 * byte);
        }
        return color;
    }

    // A list entry named by the attribute's text, or by its place through "index".
    int read_reference(pugi::xml_node element, const char* attribute, const std::vector<NamedEntry>& list,
                       const char* what) {
        if (element.attribute("index")) {
            return static_cast<int>(number_attribute(element, "index", 0, static_cast<long long>(list.size()) - 1));
        }
        std::u16string wanted = text(element, attribute);
        for (std::size_t index = 0; index < list.size(); ++index) {
            if (list[index].text == wanted) return static_cast<int>(index);
        }
        diagnostics_.error(line(element), std::string(what) + " \"" + utf16_to_utf8(wanted) +
                                              "\" is not in the skin's list of " + what + "s");
        return 0;
    }

    bool read_corners(pugi::xml_node element, const char* attribute, int* corners) {
        pugi::xml_attribute found = element.attribute(attribute);
        if (!found) return false;
        std::istringstream values(found.value());
        std::string item;
        int count = 0;
        while (values >> item) {
            long long value = 0;
            if (count < 4 && number(element, item, attribute, 0, 65535, value)) corners[count] = static_cast<int>(value);
            ++count;
        }
        if (count != 4) diagnostics_.error(line(element), std::string(attribute) + " needs four numbers");
        return true;
    }

    PictureValue read_picture(pugi::xml_node element) {
        PictureValue picture;
        picture.picture = read_reference(element, "image", source_.pictures, "picture");
        int outer[4] = {};
        int inner[4] = {};
        picture.has_outer = read_corners(element, "outer", outer);
        picture.has_inner = read_corners(element, "inner", inner);
        if (!picture.has_inner) std::copy(outer, outer + 4, inner);
        picture.corners = {outer[0], outer[1], inner[0], inner[1], inner[2], inner[3], outer[2], outer[3]};
        picture.stretch = number_attribute_or(element, "stretch", 0) != 0;
        return picture;
    }

    long long number_attribute_or(pugi::xml_node element, const char* attribute, long long absent) {
        if (!element.attribute(attribute)) return absent;
        return number_attribute(element, attribute, 0, 1);
    }

    const std::string& xml_;
    SkinSource& source_;
    Diagnostics& diagnostics_;
    pugi::xml_document document_;
};

std::string utf8(const std::u16string& text) {
    return utf16_to_utf8(text);
}

std::string hex_color(std::uint32_t color) {
    char text[10];
    int bytes = (color >> 24) != 0 ? 4 : 3;
    std::snprintf(text, sizeof text, bytes == 4 ? "#%02X%02X%02X%02X" : "#%02X%02X%02X", color & 0xFF, color >> 8 & 0xFF,
                  color >> 16 & 0xFF, color >> 24);
    return text;
}

std::string corners_text(const PictureValue& picture, int first, int second, int third, int fourth) {
    auto const& c = picture.corners;
    return std::to_string(c[first]) + " " + std::to_string(c[second]) + " " + std::to_string(c[third]) + " " +
           std::to_string(c[fourth]);
}

// Names an entry by its text when no other entry has the same text, else by its place.
void reference(pugi::xml_node element, const char* attribute, const std::vector<NamedEntry>& list, int index) {
    auto same = std::count_if(list.begin(), list.end(),
                              [&](const NamedEntry& entry) { return entry.text == list[index].text; });
    if (same == 1) {
        element.append_attribute(attribute) = utf8(list[index].text).c_str();
    } else {
        element.append_attribute("index") = index;
    }
}

void write_property(pugi::xml_node parent, const Property& property, const SkinSource& source) {
    static const char* const names[] = {"integer", "point", "string", "picture", "color", "font"};
    pugi::xml_node element = parent.append_child(names[static_cast<int>(property.type)]);
    element.append_attribute("name") = utf8(property.name).c_str();
    switch (property.type) {
    case RecordType::integer: element.append_attribute("value") = property.integer; break;
    case RecordType::point:
        element.append_attribute("x") = property.point.x;
        element.append_attribute("y") = property.point.y;
        break;
    case RecordType::string: element.append_attribute("value") = utf8(property.text).c_str(); break;
    case RecordType::color: element.append_attribute("value") = hex_color(property.color).c_str(); break;
    case RecordType::picture:
        reference(element, "image", source.pictures, property.picture.picture);
        element.append_attribute("outer") = corners_text(property.picture, 0, 1, 6, 7).c_str();
        element.append_attribute("inner") = corners_text(property.picture, 2, 3, 4, 5).c_str();
        element.append_attribute("stretch") = property.picture.stretch ? 1 : 0;
        break;
    case RecordType::font: reference(element, "description", source.fonts, property.font); break;
    }
}

void write_node(pugi::xml_node parent, const char* element_name, const Node& node, const SkinSource& source) {
    pugi::xml_node element = parent.append_child(element_name);
    element.append_attribute("name") = utf8(node.name).c_str();
    if (!node.variant_of.empty()) element.append_attribute("variant-of") = utf8(node.variant_of).c_str();
    for (Property const& property : node.properties) write_property(element, property, source);
    for (AutoControl const& control : node.auto_controls) {
        pugi::xml_node automatic = element.append_child("auto");
        automatic.append_attribute("name") = utf8(control.name).c_str();
        automatic.append_attribute("kind") = utf8(control.kind).c_str();
    }
    for (Node const& control : node.controls) write_node(element, "control", control, source);
}

}  // namespace

bool read_skin_source(const std::string& xml, SkinSource& source, Diagnostics& diagnostics) {
    return SourceReader(xml, source, diagnostics).read();
}

std::string write_skin_source(const SkinSource& source) {
    pugi::xml_document document;
    pugi::xml_node skin = document.append_child("skin");
    skin.append_attribute("compatibility") = utf8(source.compatibility_name).c_str();
    skin.append_attribute("devices") = utf8(source.device_letters).c_str();
    pugi::xml_node screens = skin.append_child("screens");
    for (skinner::Size screen : source.screens) {
        pugi::xml_node entry = screens.append_child("screen");
        entry.append_attribute("width") = screen.width;
        entry.append_attribute("height") = screen.height;
    }
    pugi::xml_node pictures = skin.append_child("pictures");
    for (NamedEntry const& picture : source.pictures) {
        pictures.append_child("picture").append_attribute("name") = utf8(picture.text).c_str();
    }
    pugi::xml_node fonts = skin.append_child("fonts");
    for (NamedEntry const& font : source.fonts) {
        fonts.append_child("font").append_attribute("description") = utf8(font.text).c_str();
    }
    for (Node const& form : source.forms) write_node(skin, "form", form, source);
    for (Node const& kind : source.kinds) write_node(skin, "kind", kind, source);
    std::ostringstream out;
    document.save(out, "  ");
    return out.str();
}

}  // namespace skin_compiler
