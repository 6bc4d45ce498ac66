#include "tools/package_installer/install_log.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/device.h"
#include "platform/unicode.h"

namespace installer {
namespace {

std::optional<std::string> log_host_path(const std::u16string& package_name) {
    return platform::host_path(package_folder(package_name) + u"\\install.log");
}

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

}  // namespace

std::u16string package_folder(const std::u16string& package_name) { return u"\\Windows\\AppMgr\\" + package_name; }

std::optional<InstallLog> read_install_log(const std::u16string& package_name) {
    auto const path = log_host_path(package_name);
    if (!path) return std::nullopt;
    std::ifstream in(*path);
    if (!in) return std::nullopt;
    InstallLog log;
    for (std::string line; std::getline(in, line);) {
        auto const fields = split_tabs(line);
        if (fields.size() < 2) continue;
        auto const path_field = platform::utf8_to_utf16(fields[1]);
        if (fields[0] == "install-folder") log.install_folder = path_field;
        else if (fields[0] == "folder") log.folders.push_back(path_field);
        else if (fields[0] == "file") log.files.push_back(path_field);
        else if (fields[0] == "value" && fields.size() == 3) {
            log.values.push_back({path_field, platform::utf8_to_utf16(fields[2])});
        }
    }
    return log;
}

bool write_install_log(const std::u16string& package_name, const InstallLog& log) {
    auto const path = log_host_path(package_name);
    if (!path) return false;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(*path).parent_path(), error);
    std::string const partial = *path + ".new";
    {
        std::ofstream out(partial, std::ios::trunc);
        out << "install-folder\t" << platform::utf16_to_utf8(log.install_folder) << '\n';
        for (auto const& folder : log.folders) out << "folder\t" << platform::utf16_to_utf8(folder) << '\n';
        for (auto const& file : log.files) out << "file\t" << platform::utf16_to_utf8(file) << '\n';
        for (auto const& value : log.values) {
            out << "value\t" << platform::utf16_to_utf8(value.key) << '\t' << platform::utf16_to_utf8(value.name)
                << '\n';
        }
        out.flush();
        if (!out) return false;
    }
    std::filesystem::rename(partial, *path, error);
    return !error;
}

void remove_install_log(const std::u16string& package_name) {
    if (auto const path = log_host_path(package_name)) {
        std::error_code ignored;
        std::filesystem::remove(*path, ignored);
    }
}

}  // namespace installer
