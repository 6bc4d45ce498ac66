#include "tools/package_installer/manifest.h"

#include <pugixml.hpp>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <utility>

#include "foundation/paths.h"
#include "foundation/registry.h"
#include "platform/unicode.h"

namespace installer {
namespace {

std::u16string replace_install_folder(std::u16string text, const std::u16string& install_folder) {
    std::u16string const placeholder = u"%InstallDir%";
    for (auto at = text.find(placeholder); at != std::u16string::npos; at = text.find(placeholder, at)) {
        text.replace(at, placeholder.size(), install_folder);
        at += install_folder.size();
    }
    return os::expand_path_macros(text);
}

bool is_device_path(const std::u16string& path) { return !path.empty() && (path[0] == u'\\' || path[0] == u'/'); }

bool readable_file(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored) && std::ifstream(path, std::ios::binary).good();
}

std::string source_path(const std::string& source_folder, const char* source) {
    std::filesystem::path const path(source);
    return (path.is_absolute() ? path : std::filesystem::path(source_folder) / path).string();
}

// An optional file whose source is missing is left out of the package.
bool read_file_entry(const pugi::xml_node& node, Manifest& manifest, const std::string& source_folder,
                     std::string& error) {
    PackageFile file;
    file.source = source_path(source_folder, node.attribute("Source").value());
    file.target = replace_install_folder(platform::utf8_to_utf16(node.attribute("Target").value()),
                                         manifest.install_folder);
    if (!is_device_path(file.target)) {
        error = "the target of " + file.source + " is not a device path";
        return false;
    }
    if (!readable_file(file.source)) {
        std::error_code ignored;
        if (node.attribute("Optional").as_bool() && !std::filesystem::exists(file.source, ignored)) return true;
        error = "cannot read the file " + file.source;
        return false;
    }
    manifest.files.push_back(std::move(file));
    return true;
}

bool read_value_entry(const pugi::xml_node& node, const Manifest& manifest, PackageValue& value, std::string& error) {
    value.key = platform::utf8_to_utf16(node.attribute("Key").value());
    value.name = platform::utf8_to_utf16(node.attribute("Name").value());
    HKEY root = nullptr;
    os::split_registry_path(value.key, root);
    if (!root) {
        error = "the key " + std::string(node.attribute("Key").value()) + " is under no known root";
        return false;
    }
    if (auto text = node.attribute("String")) {
        value.text = replace_install_folder(platform::utf8_to_utf16(text.value()), manifest.install_folder);
        return true;
    }
    std::string const number = node.attribute("Dword").value();
    auto const [end, failure] = std::from_chars(number.data(), number.data() + number.size(), value.number);
    if (number.empty() || failure != std::errc() || end != number.data() + number.size()) {
        error = "the value " + std::string(node.attribute("Name").value()) + " has neither a String nor a Dword";
        return false;
    }
    return true;
}

}  // namespace

std::optional<Manifest> read_manifest(const std::string& manifest_path, const std::string& source_folder,
                                      std::string& error) {
    pugi::xml_document document;
    auto const parsed = document.load_file(manifest_path.c_str());
    if (!parsed) {
        error = "cannot read the manifest " + manifest_path + ": " + parsed.description();
        return std::nullopt;
    }
    auto const package = document.child("Package");
    Manifest manifest;
    manifest.name = platform::utf8_to_utf16(package.attribute("Name").value());
    manifest.install_folder = os::expand_path_macros(platform::utf8_to_utf16(package.attribute("InstallDir").value()));
    if (manifest.name.empty() || manifest.name.find_first_of(u"\\/:*?\"<>|") != std::u16string::npos ||
        manifest.name == u"." || manifest.name == u"..") {
        error = "the manifest names no usable package (Package Name)";
        return std::nullopt;
    }
    if (!is_device_path(manifest.install_folder)) {
        error = "the manifest's InstallDir is not a device path";
        return std::nullopt;
    }
    manifest.setup_library = source_path(source_folder, package.attribute("Setup").value());
    if (!readable_file(manifest.setup_library)) {
        error = "cannot read the setup library " + manifest.setup_library;
        return std::nullopt;
    }
    for (auto const& node : package.children("File")) {
        if (!read_file_entry(node, manifest, source_folder, error)) return std::nullopt;
    }
    for (auto const& node : package.children("Value")) {
        if (!read_value_entry(node, manifest, manifest.values.emplace_back(), error)) return std::nullopt;
    }
    return manifest;
}

}  // namespace installer
