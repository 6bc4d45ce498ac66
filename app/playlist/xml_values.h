// Values kept as the text of child elements, as the XML playlist formats keep them.
#pragma once

#include <string>

#include "foundation/xml_node.h"

namespace playlist {

// Appends an element named name to parent with the text as its content.
void append_text_element(const os::XmlNode& parent, const std::u16string& name, const std::u16string& text);
// The text of the first child element of that name; false when there is none or its text
// is empty.
bool read_text_element(const os::XmlNode& parent, const std::u16string& name, std::u16string& text);

}  // namespace playlist
