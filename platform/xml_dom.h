// The platform's XML document object model: documents loaded from and saved to device
// files, and counted references to their nodes. A node reference keeps its whole document
// alive; references to nodes of one document may be held at once, but one document is
// used by one thread at a time.
//
// What a document holds after loading:
//   - elements, text, CDATA sections, comments and processing instructions, in document
//     order; the XML declaration is a processing instruction named "xml";
//   - no text node that holds white space only (white space between elements is dropped);
//   - never anything from a document type declaration: it is skipped, and no external
//     entity or DTD is ever read.
// Node names: an element's tag name, "#document", "#text", "#cdata-section", "#comment",
// or a processing instruction's target. Names compare exactly (case counts).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// A counted reference to one node. Functions that return a reference return a new one
// (count 1) that the caller releases, or null.
struct XmlNodeRef;

void xml_add_ref(XmlNodeRef* node);
void xml_release(XmlNodeRef* node);

// An empty document.
XmlNodeRef* xml_create_document();
// The document in the file at a device path: UTF-8, or UTF-16 or UTF-8 with a byte-order
// mark (the encoding named in the declaration is honoured when there is no mark). Null
// when the file cannot be read or is not well-formed (exactly one root element; no text
// outside it; matching tags; no attribute twice in one element).
XmlNodeRef* xml_load_document(std::u16string_view device_path);
// Writes the document (UTF-8, with an XML declaration) to the file at a device path,
// replacing it whole: an existing file is either left as it was or fully replaced.
// False when the node is not a document or the file cannot be written.
bool xml_save_document(const XmlNodeRef* document, std::u16string_view device_path);

bool xml_is_document(const XmlNodeRef* node);
std::u16string xml_node_name(const XmlNodeRef* node);

std::size_t xml_child_count(const XmlNodeRef* node);
// The child at a zero-based index in document order; null past the end. Walking the
// children by rising index costs one step per child.
XmlNodeRef* xml_child(const XmlNodeRef* node, std::size_t index);
// The first child whose node name equals the name exactly; null when there is none.
XmlNodeRef* xml_find_child(const XmlNodeRef* node, std::u16string_view name);

// Appends a new element as the last child of a document (which may hold one element only)
// or of an element. Null when the name is no valid XML name or the node takes no element.
XmlNodeRef* xml_append_element(XmlNodeRef* node, std::u16string_view name);

// An attribute of an element (or of the XML declaration); false when it is absent.
bool xml_get_attribute(const XmlNodeRef* node, std::u16string_view name, std::u16string& value);
// Adds or replaces an attribute of an element; false for other nodes and invalid names.
bool xml_set_attribute(XmlNodeRef* node, std::u16string_view name, std::u16string_view value);

// The text of a node: for an element or a document, the text and CDATA below it joined in
// document order, without white space at either end; for other nodes, their own content.
bool xml_get_text(const XmlNodeRef* node, std::u16string& text);
// Replaces the content of an element by one text node (none for the empty text), or the
// content of a text, CDATA, comment or processing-instruction node. False for a document.
bool xml_set_text(XmlNodeRef* node, std::u16string_view text);

}  // namespace platform
