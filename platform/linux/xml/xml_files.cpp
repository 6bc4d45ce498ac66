#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>
#include <string_view>

#include "platform/device.h"
#include "platform/linux/files/host_io.h"
#include "platform/linux/xml/xml_document.h"
#include "platform/xml_dom.h"

namespace {

using platform::detail::FileDescriptor;
using platform::detail::write_all;
using platform::detail::XmlDocument;

bool read_regular_file(const std::string& host_path, std::string& bytes) {
    FileDescriptor file(::open(host_path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info;
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return platform::detail::read_all(file.get(), bytes);
}

// The new content goes to a file beside the target that then takes the target's place, so
// that a failed write leaves the old file whole. A read-only target (no write permission,
// as the device's read-only attribute is kept) is not replaced, and a folder cannot be.
bool replace_file(const std::string& host_path, std::string_view text) {
    struct stat info;
    if (::stat(host_path.c_str(), &info) == 0 && (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0)) {
        return false;
    }
    std::string temporary = host_path + ".saving-XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (!file.valid()) return false;
    mode_t const mask = ::umask(0);
    ::umask(mask);
    bool const written = ::fchmod(file.get(), 0666 & ~mask) == 0 && write_all(file.get(), text) &&
                         ::fsync(file.get()) == 0 && ::rename(temporary.c_str(), host_path.c_str()) == 0;
    if (!written) ::unlink(temporary.c_str());
    return written;
}

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, std::size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

bool has_repeated_attribute(pugi::xml_node element) {
    std::set<std::string_view> names;
    for (pugi::xml_attribute const attribute : element.attributes()) {
        if (!names.insert(attribute.name()).second) return true;
    }
    return false;
}

// The next node of a depth-first walk below root (without recursion: files may nest deeply).
pugi::xml_node next_in_walk(pugi::xml_node node, pugi::xml_node root) {
    if (node.first_child()) return node.first_child();
    while (node && node != root) {
        if (node.next_sibling()) return node.next_sibling();
        node = node.parent();
    }
    return pugi::xml_node();
}

bool has_well_formed_top_level(const pugi::xml_document& tree) {
    int elements = 0;
    bool first = true;
    for (pugi::xml_node const child : tree.children()) {
        switch (child.type()) {
        case pugi::node_element: ++elements; break;
        case pugi::node_declaration:
            if (!first) return false;
            break;
        case pugi::node_comment:
        case pugi::node_pi:
        case pugi::node_doctype: break;
        default: return false;  // text outside the root element
        }
        first = false;
    }
    return elements == 1;
}

}  // namespace

namespace platform::detail {

bool is_well_formed(const pugi::xml_document& tree) {
    if (!has_well_formed_top_level(tree)) return false;
    for (pugi::xml_node node = tree.first_child(); node; node = next_in_walk(node, tree)) {
        if (node.type() == pugi::node_element && has_repeated_attribute(node)) return false;
    }
    return true;
}

}  // namespace platform::detail

namespace platform {

XmlNodeRef* xml_create_document() {
    auto document = std::make_shared<XmlDocument>();
    return detail::new_node_ref(document, document->tree);
}

XmlNodeRef* xml_load_document(std::u16string_view device_path) {
    std::optional<std::string> const host = host_path(device_path);
    std::string bytes;
    if (!host || !read_regular_file(*host, bytes)) return nullptr;
    auto document = std::make_shared<XmlDocument>();
    // A fragment keeps text outside the root element, so that such a file can be refused.
    unsigned const options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_declaration |
                             pugi::parse_fragment;
    pugi::xml_parse_result const result =
        document->tree.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_auto);
    if (!result || !detail::is_well_formed(document->tree)) return nullptr;
    return detail::new_node_ref(document, document->tree);
}

bool xml_save_document(const XmlNodeRef* document, std::u16string_view device_path) {
    if (!xml_is_document(document)) return false;
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    StringWriter writer(text);
    XmlDocument const& tree = *document->document;
    for (pugi::xml_node child = tree.first_child(document->node); child; child = tree.next_sibling(child)) {
        if (child.type() == pugi::node_declaration) continue;  // ours above names the encoding written
        child.print(writer, "\t", pugi::format_indent, pugi::encoding_utf8);
    }
    std::optional<std::string> const host = host_path(device_path);
    return host && replace_file(*host, text);
}

}  // namespace platform
