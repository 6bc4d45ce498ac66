#include "app/playlist/list_asx.h"

#include "app/playlist/xml_values.h"
#include "foundation/xml_node.h"

namespace playlist {
namespace {

bool read_entry(const os::XmlNode& element, Entry& entry) {
    if (!element.find_child(u"REF").get_attribute(u"HREF", entry.path)) return false;
    std::u16string title;
    if (read_text_element(element, u"TITLE", title)) entry.attributes[u"title"] = title;
    os::XmlNode const parameter = element.find_child(u"PARAM");
    std::u16string name;
    std::u16string value;
    if (parameter.get_attribute(u"name", name) && parameter.get_attribute(u"value", value)) {
        entry.attributes[name] = value;
    }
    return true;
}

void write_entry(const os::XmlNode& element, const Entry& entry) {
    element.append_element(u"REF").set_attribute(u"HREF", entry.path);
    if (auto const title = entry.attributes.find(u"title"); title != entry.attributes.end()) {
        append_text_element(element, u"TITLE", title->second);
    }
    if (auto const artist = entry.attributes.find(u"artist"); artist != entry.attributes.end()) {
        os::XmlNode const parameter = element.append_element(u"PARAM");
        parameter.set_attribute(u"name", u"artist");
        parameter.set_attribute(u"value", artist->second);
    }
}

}  // namespace

ListASX::ListASX(const std::u16string& path) : List(u"asx") {
    os::XmlNode const root = os::XmlNode::load_document(path).find_child(u"ASX");
    if (!root.is_valid()) return;
    loaded_ = true;
    for (int i = 0; i < root.get_child_count(); ++i) {
        os::XmlNode const child = root.get_child(i);
        Entry entry;
        if (child.get_name() == u"ENTRY" && read_entry(child, entry)) get_entries().push_back(std::move(entry));
    }
}

bool ListASX::save(const std::u16string& path) {
    os::XmlNode const document = os::XmlNode::create_document();
    os::XmlNode const root = document.append_element(u"ASX");
    root.set_attribute(u"version", u"3.0");
    for (auto const& entry : get_entries()) write_entry(root.append_element(u"ENTRY"), entry);
    return document.save_document(path);
}

}  // namespace playlist
