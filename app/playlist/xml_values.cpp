#include "app/playlist/xml_values.h"

namespace playlist {

void append_text_element(const os::XmlNode& parent, const std::u16string& name, const std::u16string& text) {
    os::XmlNode const element = parent.append_element(name);
    if (!text.empty()) element.set_text(text);
}

bool read_text_element(const os::XmlNode& parent, const std::u16string& name, std::u16string& text) {
    std::u16string read;
    if (!parent.find_child(name).get_text(read) || read.empty()) return false;
    text = read;
    return true;
}

}  // namespace playlist
