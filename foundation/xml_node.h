// The XML property tree: settings, bookmark, schedule and playlist files are trees of
// elements whose values sit in attributes, read and written through os::XmlNode.
#pragma once

#include <string>

namespace platform {
struct XmlNodeRef;
}

namespace os {

// A handle to one node of an XML document (the document itself included), or the null
// node. Copies refer to the same node; a node keeps its whole document alive. Every
// operation on the null node does nothing and gives the null node, false, an empty text
// or 0. Handles behave like pointers: changing the tree needs no non-const handle.
class XmlNode {
public:
    XmlNode() = default;
    XmlNode(const XmlNode& other);
    XmlNode(XmlNode&& other) noexcept;
    XmlNode& operator=(const XmlNode& other);
    XmlNode& operator=(XmlNode&& other) noexcept;
    ~XmlNode();

    // An empty document.
    static XmlNode create_document();
    // The document in the file at the path (path macros are expanded); the null node when
    // the file is missing or malformed (the two look alike).
    static XmlNode load_document(const std::u16string& path);
    // Writes this document to the file at the path; false when it was not written or this
    // node is not a document.
    bool save_document(const std::u16string& path) const;

    bool is_valid() const { return node_ != nullptr; }
    // An element's tag name; "#document", "#text", "#comment", "#cdata-section" for others.
    std::u16string get_name() const;
    // Text and comment nodes between elements count (white space alone makes no node).
    int get_child_count() const;
    // Zero-based, in document order; the null node outside the list.
    XmlNode get_child(int index) const;
    // The first child whose name equals the name exactly (case counts).
    XmlNode find_child(const std::u16string& name) const;
    // A new element as the last child; the null node when it cannot be added.
    XmlNode append_element(const std::u16string& name) const;

    // False with the value untouched when the attribute is absent.
    bool get_attribute(const std::u16string& name, std::u16string& value) const;
    // Adds or replaces an attribute of an element; other nodes stay unchanged (false).
    bool set_attribute(const std::u16string& name, const std::u16string& value) const;
    // The text content below the node.
    bool get_text(std::u16string& text) const;
    // Replaces the node's content with the text; false for a document.
    bool set_text(const std::u16string& text) const;

private:
    explicit XmlNode(platform::XmlNodeRef* adopted) : node_(adopted) {}

    platform::XmlNodeRef* node_ = nullptr;
};

}  // namespace os

// Typed attribute values. Reads that fail leave the out value unchanged, so callers start
// from their defaults.
namespace liba {

bool read_attribute_text(const os::XmlNode& node, const std::u16string& name, std::u16string& text);
// False when the attribute is missing or holds no number.
bool read_attribute_int(const os::XmlNode& node, const std::u16string& name, int& value);
// False when the attribute is missing or is no bool text.
bool read_attribute_bool(const os::XmlNode& node, const std::u16string& name, bool& value);

bool write_attribute_text(const os::XmlNode& node, const std::u16string& name, const std::u16string& text);
// Decimal text ("%d").
bool write_attribute_int(const os::XmlNode& node, const std::u16string& name, int value);
// "true" or "false".
bool write_attribute_bool(const os::XmlNode& node, const std::u16string& name, bool value);

// The number at the start of the text (white space and a sign allowed before it; what
// follows the digits is ignored); true when a number was read.
bool wstring_to_int(const std::u16string& text, int& value);
// Exactly one of "true"/"false", "True"/"False", "TRUE"/"FALSE", "1"/"0".
bool wstring_to_bool(const std::u16string& text, bool& value);

}  // namespace liba
