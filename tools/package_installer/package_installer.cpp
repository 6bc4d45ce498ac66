#include "tools/package_installer/package_installer.h"

#include <algorithm>
#include <filesystem>

#include "foundation/registry.h"
#include "platform/device.h"
#include "platform/install_hooks.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "platform/unicode.h"
#include "tools/package_installer/install_log.h"

namespace installer {
namespace {

struct Hooks {
    InstallInitHook install_init = nullptr;
    InstallExitHook install_exit = nullptr;
    UninstallInitHook uninstall_init = nullptr;
    UninstallExitHook uninstall_exit = nullptr;
};

std::u16string setup_library_path(const std::u16string& package_name) {
    return package_folder(package_name) + u"\\setup.dll";
}

bool load_hooks(const std::u16string& library_path, Hooks& hooks, std::string& error) {
    HMODULE const module = LoadLibraryW(library_path.c_str());
    if (!module) {
        error = "cannot load the setup library " + platform::utf16_to_utf8(library_path);
        return false;
    }
    hooks.install_init = reinterpret_cast<InstallInitHook>(GetProcAddressW(module, u"Install_Init"));
    hooks.install_exit = reinterpret_cast<InstallExitHook>(GetProcAddressW(module, u"Install_Exit"));
    hooks.uninstall_init = reinterpret_cast<UninstallInitHook>(GetProcAddressW(module, u"Uninstall_Init"));
    hooks.uninstall_exit = reinterpret_cast<UninstallExitHook>(GetProcAddressW(module, u"Uninstall_Exit"));
    if (!hooks.install_init || !hooks.install_exit || !hooks.uninstall_init || !hooks.uninstall_exit) {
        error = "the setup library lacks one of Install_Init, Install_Exit, Uninstall_Init, Uninstall_Exit";
        return false;
    }
    return true;
}

// Copies beside the target first, so that a crash leaves the old file or the new one whole.
bool copy_whole(const std::string& source, const std::u16string& target) {
    auto const host = platform::host_path(target);
    if (!host) return false;
    std::error_code error;
    std::filesystem::path const partial = *host + ".installing";
    std::filesystem::copy_file(source, partial, std::filesystem::copy_options::overwrite_existing, error);
    if (!error) std::filesystem::rename(partial, *host, error);
    if (error) std::filesystem::remove(partial, error);
    return !error;
}

// Makes the target's missing folders, noting each one made.
void make_folders(const std::u16string& target, std::vector<std::u16string>& made) {
    std::vector<std::u16string> missing;
    for (auto at = target.find_last_of(u"\\/"); at != std::u16string::npos && at > 0;
         at = target.find_last_of(u"\\/", at - 1)) {
        std::u16string const folder = target.substr(0, at);
        auto const host = platform::host_path(folder);
        if (!host || std::filesystem::exists(*host)) break;
        missing.push_back(folder);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        std::error_code error;
        if (std::filesystem::create_directory(*platform::host_path(*it), error)) made.push_back(*it);
    }
}

bool write_value(const PackageValue& value) {
    return value.text ? os::write_registry_string(value.key, value.name, *value.text)
                      : os::write_registry_dword(value.key, value.name, value.number);
}

void remove_file(const std::u16string& path) {
    if (auto const host = platform::host_path(path)) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(*host, ignored)) std::filesystem::remove(*host, ignored);
    }
}

void remove_value(const InstalledValue& value) {
    HKEY root = nullptr;
    std::u16string const subkey = os::split_registry_path(value.key, root);
    HKEY key = nullptr;
    if (!root || RegOpenKeyExW(root, subkey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, value.name.c_str());
    RegCloseKey(key);
}

// Folders go last and deepest first, and only when nothing else is left in them.
void remove_empty_folders(const std::vector<std::u16string>& folders) {
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        auto const host = platform::host_path(*it);
        std::error_code ignored;
        if (host && std::filesystem::is_empty(*host, ignored)) std::filesystem::remove(*host, ignored);
    }
}

template <typename T>
bool listed(const std::vector<T>& list, const T& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <typename T>
void add_missing(std::vector<T>& list, const std::vector<T>& more) {
    for (auto const& item : more) {
        if (!listed(list, item)) list.push_back(item);
    }
}

// A first installation that stopped before it wrote anything leaves nothing behind.
void forget_fresh_start(const std::u16string& library, const std::vector<std::u16string>& folders_made) {
    remove_file(library);
    remove_empty_folders(folders_made);
}

InstallLog planned_log(const Manifest& manifest) {
    InstallLog log;
    log.install_folder = manifest.install_folder;
    for (auto const& file : manifest.files) log.files.push_back(file.target);
    for (auto const& value : manifest.values) log.values.push_back({value.key, value.name});
    return log;
}

// Removes what the old installation listed and the new one does not.
void remove_dropped(const InstallLog& old_log, const InstallLog& new_log) {
    for (auto const& file : old_log.files) {
        if (!listed(new_log.files, file)) remove_file(file);
    }
    for (auto const& value : old_log.values) {
        if (!listed(new_log.values, value)) remove_value(value);
    }
}

}  // namespace

bool install_package(const Manifest& manifest, std::string& error) {
    auto const previous = read_install_log(manifest.name);
    InstallLog log = planned_log(manifest);
    if (previous) log.folders = previous->folders;
    std::u16string const library = setup_library_path(manifest.name);
    make_folders(library, log.folders);
    Hooks hooks;
    if (!copy_whole(manifest.setup_library, library)) {
        error = "cannot put the setup library on the device";
        return false;
    }
    if (!load_hooks(library, hooks, error)) {
        if (!previous) forget_fresh_start(library, log.folders);
        return false;
    }
    if (hooks.install_init(nullptr, TRUE, previous ? TRUE : FALSE, manifest.install_folder.c_str()) !=
        codeINSTALL_INIT_CONTINUE) {
        error = "the package's setup cancelled the installation";
        if (!previous) forget_fresh_start(library, log.folders);
        return false;
    }
    // Listed before anything is written, with what the old installation had, so that an
    // interrupted installation can still be removed.
    InstallLog interim = log;
    if (previous) {
        add_missing(interim.files, previous->files);
        add_missing(interim.values, previous->values);
    }
    for (auto const& file : manifest.files) make_folders(file.target, interim.folders);
    log.folders = interim.folders;
    if (!write_install_log(manifest.name, interim)) {
        error = "cannot write the install log";
        return false;
    }
    WORD failed_files = 0;
    WORD failed_values = 0;
    for (auto const& file : manifest.files) {
        if (!copy_whole(file.source, file.target)) ++failed_files;
    }
    for (auto const& value : manifest.values) {
        if (!write_value(value)) ++failed_values;
    }
    if (previous) remove_dropped(*previous, log);
    codeINSTALL_EXIT const exit_code =
        hooks.install_exit(nullptr, manifest.install_folder.c_str(), 0, failed_files, 0, failed_values, 0);
    if (!write_install_log(manifest.name, log)) {
        error = "cannot write the install log";
        return false;
    }
    if (failed_files || failed_values) {
        error = std::to_string(failed_files) + " files and " + std::to_string(failed_values) +
                " registry values could not be written";
        return false;
    }
    if (exit_code != codeINSTALL_EXIT_DONE) {
        error = "the package's setup asked to undo the installation; remove it with uninstall";
        return false;
    }
    return true;
}

bool uninstall_package(const std::u16string& package_name, std::string& error) {
    auto const log = read_install_log(package_name);
    if (!log) {
        error = "the package " + platform::utf16_to_utf8(package_name) + " is not installed";
        return false;
    }
    Hooks hooks;
    if (!load_hooks(setup_library_path(package_name), hooks, error)) return false;
    if (hooks.uninstall_init(nullptr, log->install_folder.c_str()) != codeUNINSTALL_INIT_CONTINUE) {
        error = "the package's setup refused to be removed";
        return false;
    }
    for (auto const& file : log->files) remove_file(file);
    for (auto const& value : log->values) remove_value(value);
    hooks.uninstall_exit(nullptr);
    remove_install_log(package_name);
    remove_file(setup_library_path(package_name));
    remove_empty_folders(log->folders);
    return true;
}

}  // namespace installer
