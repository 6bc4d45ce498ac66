#include <string>
#include <string_view>

#include "platform/linux/xml/xml_document.h"
#include "platform/unicode.h"
#include "platform/xml_dom.h"

namespace {

using platform::XmlNodeRef;
using platform::detail::XmlDocument;

bool is_name_start(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':') return true;
    if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
    return c != 0xFFFE && c != 0xFFFF;
}

bool is_name_character(char16_t c) {
    return is_name_start(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0xB7;
}

// An XML name; surrogate pairs are taken as name characters, lone surrogates are refused.
bool is_xml_name(std::u16string_view name) {
    if (name.empty() || !is_name_start(name[0]) || (name[0] >= 0xD800 && name[0] <= 0xDFFF)) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char16_t const c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) return false;
            ++i;
        } else if ((c >= 0xDC00 && c <= 0xDFFF) || !is_name_character(c)) {
            return false;
        }
    }
    return true;
}

std::u16string node_name(pugi::xml_node node) {
    switch (node.type()) {
    case pugi::node_document: return u"#document";
    case pugi::node_pcdata: return u"#text";
    case pugi::node_cdata: return u"#cdata-section";
    case pugi::node_comment: return u"#comment";
    case pugi::node_declaration: return u"xml";
    default: return platform::utf8_to_utf16(node.name());
    }
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string text_below(const XmlDocument& document, pugi::xml_node root) {
    std::string text;
    pugi::xml_node node = document.first_child(root);
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) text += node.value();
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !document.next_sibling(node)) node = node.parent();
        node = node && node != root ? document.next_sibling(node) : pugi::xml_node();
    }
    return text;
}

std::string declaration_text(pugi::xml_node declaration) {
    std::string text;
    for (pugi::xml_attribute const attribute : declaration.attributes()) {
        if (!text.empty()) text += ' ';
        text += std::string(attribute.name()) + "=\"" + attribute.value() + "\"";
    }
    return text;
}

// Content that would end the node early when written.
bool fits_node(pugi::xml_node_type type, std::string_view text) {
    if (type == pugi::node_comment) {
        return text.find("--") == std::string_view::npos && (text.empty() || text.back() != '-');
    }
    if (type == pugi::node_pi) return text.find("?>") == std::string_view::npos;
    return true;
}

std::size_t count_children(XmlDocument& document, pugi::xml_node parent) {
    if (document.counted_parent != parent) {
        std::size_t count = 0;
        for (pugi::xml_node child = document.first_child(parent); child; child = document.next_sibling(child)) ++count;
        document.counted_parent = parent;
        document.counted_children = count;
    }
    return document.counted_children;
}

pugi::xml_node child_at(XmlDocument& document, pugi::xml_node parent, std::size_t index) {
    std::size_t at = 0;
    pugi::xml_node child = document.first_child(parent);
    if (document.walked_parent == parent && document.walked_index <= index) {
        at = document.walked_index;
        child = document.walked_child;
    }
    for (; child && at < index; ++at) child = document.next_sibling(child);
    if (child) {
        document.walked_parent = parent;
        document.walked_index = index;
        document.walked_child = child;
    }
    return child;
}

}  // namespace

namespace platform::detail {

void XmlDocument::remove(pugi::xml_node node) {
    if (!removed) removed = tree.append_child("removed");
    removed.append_move(node);
    forget_walks();
}

XmlNodeRef* new_node_ref(std::shared_ptr<XmlDocument> document, pugi::xml_node node) {
    if (!node) return nullptr;
    auto* ref = new XmlNodeRef;
    ref->document = std::move(document);
    ref->node = node;
    return ref;
}

}  // namespace platform::detail

namespace platform {

void xml_add_ref(XmlNodeRef* node) {
    if (node) node->count.fetch_add(1, std::memory_order_relaxed);
}

void xml_release(XmlNodeRef* node) {
    if (node && node->count.fetch_sub(1, std::memory_order_acq_rel) == 1) delete node;
}

bool xml_is_document(const XmlNodeRef* node) { return node && node->node.type() == pugi::node_document; }

std::u16string xml_node_name(const XmlNodeRef* node) { return node ? node_name(node->node) : std::u16string(); }

std::size_t xml_child_count(const XmlNodeRef* node) { return node ? count_children(*node->document, node->node) : 0; }

XmlNodeRef* xml_child(const XmlNodeRef* node, std::size_t index) {
    if (!node) return nullptr;
    return detail::new_node_ref(node->document, child_at(*node->document, node->node, index));
}

XmlNodeRef* xml_find_child(const XmlNodeRef* node, std::u16string_view name) {
    if (!node) return nullptr;
    XmlDocument const& document = *node->document;
    for (pugi::xml_node child = document.first_child(node->node); child; child = document.next_sibling(child)) {
        if (node_name(child) == name) return detail::new_node_ref(node->document, child);
    }
    return nullptr;
}

XmlNodeRef* xml_append_element(XmlNodeRef* node, std::u16string_view name) {
    if (!node || !is_xml_name(name)) return nullptr;
    XmlDocument& document = *node->document;
    pugi::xml_node parent = node->node;
    if (parent.type() == pugi::node_document) {
        for (pugi::xml_node child = document.first_child(parent); child; child = document.next_sibling(child)) {
            if (child.type() == pugi::node_element) return nullptr;  // a document has one root
        }
    } else if (parent.type() != pugi::node_element) {
        return nullptr;
    }
    document.forget_walks();
    pugi::xml_node const element = parent.append_child(utf16_to_utf8(name).c_str());
    return detail::new_node_ref(node->document, element);
}

bool xml_get_attribute(const XmlNodeRef* node, std::u16string_view name, std::u16string& value) {
    if (!node) return false;
    pugi::xml_attribute const attribute = node->node.attribute(utf16_to_utf8(name).c_str());
    if (!attribute) return false;
    value = utf8_to_utf16(attribute.value());
    return true;
}

bool xml_set_attribute(XmlNodeRef* node, std::u16string_view name, std::u16string_view value) {
    if (!node || node->node.type() != pugi::node_element || !is_xml_name(name)) return false;
    std::string const key = utf16_to_utf8(name);
    pugi::xml_attribute attribute = node->node.attribute(key.c_str());
    if (!attribute) attribute = node->node.append_attribute(key.c_str());
    return attribute.set_value(utf16_to_utf8(value).c_str());
}

bool xml_get_text(const XmlNodeRef* node, std::u16string& text) {
    if (!node) return false;
    pugi::xml_node const n = node->node;
    switch (n.type()) {
    case pugi::node_document:
    case pugi::node_element: text = utf8_to_utf16(trim_blanks(text_below(*node->document, n))); break;
    case pugi::node_declaration: text = utf8_to_utf16(declaration_text(n)); break;
    default: text = utf8_to_utf16(n.value()); break;
    }
    return true;
}

bool xml_set_text(XmlNodeRef* node, std::u16string_view text) {
    if (!node) return false;
    pugi::xml_node n = node->node;
    std::string const value = utf16_to_utf8(text);
    switch (n.type()) {
    case pugi::node_element:
        // Children may still be referred to: they leave the tree but stay in memory.
        while (n.first_child()) node->document->remove(n.first_child());
        return value.empty() || n.append_child(pugi::node_pcdata).set_value(value.c_str());
    case pugi::node_pcdata:
    case pugi::node_cdata:
    case pugi::node_comment:
    case pugi::node_pi: return fits_node(n.type(), value) && n.set_value(value.c_str());
    default: return false;
    }
}

}  // namespace platform
