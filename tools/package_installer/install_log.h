// What an installation put on the device, kept in "\Windows\AppMgr\<package>\install.log" so
// that an uninstall or a later installation knows what is the package's. One entry a line,
// its fields separated by tabs: "install-folder", "folder", "file" with a device path,
// "value" with a key path and a value name.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace installer {

struct InstalledValue {
    std::u16string key;
    std::u16string name;
    bool operator==(const InstalledValue&) const = default;
};

struct InstallLog {
    std::u16string install_folder;
    std::vector<std::u16string> folders;  // made by the installer, in the order made
    std::vector<std::u16string> files;
    std::vector<InstalledValue> values;
};

// The package's own folder on the device.
std::u16string package_folder(const std::u16string& package_name);

// Nullopt when the package has no log (it is not installed) or the log cannot be read.
std::optional<InstallLog> read_install_log(const std::u16string& package_name);
// Replaces the log whole: a crash leaves the old log or the new one.
bool write_install_log(const std::u16string& package_name, const InstallLog& log);
void remove_install_log(const std::u16string& package_name);

}  // namespace installer
