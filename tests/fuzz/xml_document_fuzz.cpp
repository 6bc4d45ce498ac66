// Any file loaded as an XML document (settings, bookmarks, playlists come from users): the
// tree can be walked, and what is saved from it loads again.
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/xml_node.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const input_path = u"\\fuzz\\input.xml";
const char16_t* const saved_path = u"\\fuzz\\saved.xml";

// Visits every node without recursion (files may nest deeply).
void walk(const os::XmlNode& document) {
    std::vector<os::XmlNode> pending{document};
    while (!pending.empty()) {
        os::XmlNode const node = std::move(pending.back());
        pending.pop_back();
        std::u16string text;
        node.get_text(text);
        node.get_attribute(node.get_name(), text);
        node.get_attribute(u"Name", text);
        int const count = node.get_child_count();
        for (int i = 0; i < count; ++i) {
            os::XmlNode child = node.get_child(i);
            if (!child.is_valid()) std::abort();
            pending.push_back(std::move(child));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(input_path, data, size)) return 0;
    os::XmlNode const document = os::XmlNode::load_document(input_path);
    if (!document.is_valid()) return 0;
    walk(document);
    if (!document.save_document(saved_path)) std::abort();
    if (!os::XmlNode::load_document(saved_path).is_valid()) std::abort();
    return 0;
}
