#include "foundation/xml_node.h"

#include <utility>

#include "foundation/paths.h"
#include "foundation/small_helpers.h"
#include "foundation/text_parse.h"
#include "platform/xml_dom.h"

namespace os {

XmlNode::XmlNode(const XmlNode& other) : node_(other.node_) { platform::xml_add_ref(node_); }

XmlNode::XmlNode(XmlNode&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}

XmlNode& XmlNode::operator=(const XmlNode& other) {
    platform::xml_add_ref(other.node_);
    platform::xml_release(node_);
    node_ = other.node_;
    return *this;
}

XmlNode& XmlNode::operator=(XmlNode&& other) noexcept {
    if (this != &other) {
        platform::xml_release(node_);
        node_ = std::exchange(other.node_, nullptr);
    }
    return *this;
}

XmlNode::~XmlNode() { platform::xml_release(node_); }

XmlNode XmlNode::create_document() { return XmlNode(platform::xml_create_document()); }

XmlNode XmlNode::load_document(const std::u16string& path) {
    return XmlNode(platform::xml_load_document(expanded_path(path)));
}

bool XmlNode::save_document(const std::u16string& path) const {
    return platform::xml_save_document(node_, expanded_path(path));
}

std::u16string XmlNode::get_name() const { return platform::xml_node_name(node_); }

int XmlNode::get_child_count() const { return static_cast<int>(platform::xml_child_count(node_)); }

XmlNode XmlNode::get_child(int index) const {
    if (index < 0) return XmlNode();
    return XmlNode(platform::xml_child(node_, static_cast<std::size_t>(index)));
}

XmlNode XmlNode::find_child(const std::u16string& name) const {
    return XmlNode(platform::xml_find_child(node_, name));
}

XmlNode XmlNode::append_element(const std::u16string& name) const {
    return XmlNode(platform::xml_append_element(node_, name));
}

bool XmlNode::get_attribute(const std::u16string& name, std::u16string& value) const {
    return platform::xml_get_attribute(node_, name, value);
}

bool XmlNode::set_attribute(const std::u16string& name, const std::u16string& value) const {
    return platform::xml_set_attribute(node_, name, value);
}

bool XmlNode::get_text(std::u16string& text) const { return platform::xml_get_text(node_, text); }

bool XmlNode::set_text(const std::u16string& text) const { return platform::xml_set_text(node_, text); }

}  // namespace os

namespace liba {

bool read_attribute_text(const os::XmlNode& node, const std::u16string& name, std::u16string& text) {
    return node.get_attribute(name, text);
}

bool read_attribute_int(const os::XmlNode& node, const std::u16string& name, int& value) {
    std::u16string text;
    return node.get_attribute(name, text) && wstring_to_int(text, value);
}

bool read_attribute_bool(const os::XmlNode& node, const std::u16string& name, bool& value) {
    std::u16string text;
    return node.get_attribute(name, text) && wstring_to_bool(text, value);
}

bool write_attribute_text(const os::XmlNode& node, const std::u16string& name, const std::u16string& text) {
    return node.set_attribute(name, text);
}

bool write_attribute_int(const os::XmlNode& node, const std::u16string& name, int value) {
    return node.set_attribute(name, int_to_wstring(value));
}

bool write_attribute_bool(const os::XmlNode& node, const std::u16string& name, bool value) {
    return node.set_attribute(name, value ? u"true" : u"false");
}

bool wstring_to_int(const std::u16string& text, int& value) {
    int parsed = 0;
    if (!parse_int(parsed, text.data(), text.data() + text.size())) return false;
    value = parsed;
    return true;
}

bool wstring_to_bool(const std::u16string& text, bool& value) {
    static constexpr const char16_t* pairs[][2] = {
        {u"true", u"false"}, {u"True", u"False"}, {u"TRUE", u"FALSE"}, {u"1", u"0"}};
    for (auto const& pair : pairs) {
        if (text == pair[0] || text == pair[1]) {
            value = text == pair[0];
            return true;
        }
    }
    return false;
}

}  // namespace liba
