#include "platform/device.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <vector>

#include "platform/errors.h"
#include "platform/linux/kernel/process_state.h"
#include "platform/linux/shell/special_folders.h"
#include "platform/linux/sound/system_sound_files.h"
#include "platform/unicode.h"

namespace platform {
namespace {

std::string environment(const char* name) {
    char const* value = std::getenv(name);
    return value ? value : "";
}

std::string home_folder() {
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    if (passwd const* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

std::vector<std::u16string_view> split_components(std::u16string_view path) {
    std::vector<std::u16string_view> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !is_separator(path[end])) ++end;
        if (end > start) components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

bool entry_exists(const std::string& host_path) {
    struct stat status;
    return lstat(host_path.c_str(), &status) == 0;
}

bool is_folder(const std::string& host_path) {
    struct stat status;
    return stat(host_path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The entry of the folder whose name equals name ignoring case. When several do (the host
// may hold names that differ only in case), the smallest host name, so the choice is stable.
std::optional<std::string> find_ignoring_case(const std::string& folder, std::u16string_view name) {
    DIR* const dir = opendir(folder.c_str());
    if (!dir) return std::nullopt;
    std::optional<std::string> found;
    while (dirent const* entry = readdir(dir)) {
        std::string_view const entry_name = entry->d_name;
        if (entry_name == "." || entry_name == "..") continue;
        if (!equal_ignore_case(utf8_to_utf16(entry_name), name)) continue;
        if (!found || entry_name < *found) found = std::string(entry_name);
    }
    closedir(dir);
    return found;
}

std::string join(const std::string& root, const std::vector<std::string>& names) {
    std::string path = root;
    for (auto const& name : names) path += "/" + name;
    return path;
}

// A name with half a surrogate pair has no UTF-8 form of its own: two such names would
// reach one host file.
bool has_lone_surrogate(std::u16string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        bool const high = name[i] >= 0xD800 && name[i] <= 0xDBFF;
        bool const low = name[i] >= 0xDC00 && name[i] <= 0xDFFF;
        if (high && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF) {
            ++i;
            continue;
        }
        if (high || low) return true;
    }
    return false;
}

std::optional<std::string> resolve(const std::string& root, std::u16string_view device_path) {
    std::vector<std::string> names;
    for (auto const component : split_components(device_path)) {
        if (component == u".") continue;
        if (component == u"..") {
            if (names.empty()) {
                SetLastError(ERROR_ACCESS_DENIED);
                return std::nullopt;
            }
            names.pop_back();
            continue;
        }
        if (component.find(u'\0') != std::u16string_view::npos || has_lone_surrogate(component)) {
            SetLastError(ERROR_INVALID_NAME);
            return std::nullopt;
        }
        std::string const folder = join(root, names);
        std::string name = utf16_to_utf8(component);
        if (!entry_exists(folder + "/" + name)) {
            if (auto found = find_ignoring_case(folder, component)) name = std::move(*found);
        }
        names.push_back(std::move(name));
    }
    return join(root, names);
}

struct PreparedDevices {
    std::mutex lock;
    // Device folders whose root and special folders were made in this process.
    std::set<std::string> folders;
    // Those whose system sounds were made where missing, which is done when "\Windows" or
    // the root is first used: the sounds are rendered only then, and only if missing.
    std::set<std::string> sounds;
};

PreparedDevices& prepared_devices() {
    static auto* const instance = new PreparedDevices;  // lives to the process end
    return *instance;
}

// Makes the root and the special folders the first time a device is used in this process
// (and again should its root have been removed since).
void prepare_file_system(const std::string& device, const std::string& root) {
    bool const root_exists = is_folder(root);
    auto& prepared = prepared_devices();
    std::lock_guard guard(prepared.lock);
    if (root_exists && prepared.folders.count(device)) return;
    std::error_code ignored;
    std::filesystem::create_directories(root, ignored);
    for (auto const& folder : detail::special_folders) {
        if (auto const path = resolve(root, folder.device_path)) mkdir(path->c_str(), 0777);
    }
    prepared.sounds.erase(device);
    if (is_folder(root)) prepared.folders.insert(device);
}

// Whether a host path below the root is the root itself or lies in "\Windows", where the
// system sounds are (a listing of the root may lead there).
bool reaches_system_sounds(const std::string& root, const std::string& path) {
    if (path.size() <= root.size() + 1) return true;
    std::string_view const below = std::string_view(path).substr(root.size() + 1);
    return equal_ignore_case(utf8_to_utf16(below.substr(0, below.find('/'))), u"Windows");
}

void prepare_system_sounds(const std::string& device, const std::string& root) {
    auto& prepared = prepared_devices();
    std::lock_guard guard(prepared.lock);
    if (prepared.sounds.count(device)) return;
    for (auto const& sound : detail::system_sound_files) {
        auto const path = resolve(root, sound.device_path);
        if (path && !entry_exists(*path)) detail::write_new_file(*path, sound.make());
    }
    prepared.sounds.insert(device);
}

std::optional<std::filesystem::path> relative_inside(const std::filesystem::path& root,
                                                     const std::filesystem::path& path) {
    auto const relative = path.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") return std::nullopt;
    return relative;
}

bool is_beneath(const std::string& real_root, const std::string& real_path) {
    return real_path == real_root || (real_path.size() > real_root.size() && real_path.starts_with(real_root) &&
                                      (real_root.back() == '/' || real_path[real_root.size()] == '/'));
}

std::optional<std::string> real_path_of(const std::string& path) {
    char* const real = ::realpath(path.c_str(), nullptr);
    if (!real) return std::nullopt;
    std::string result(real);
    std::free(real);
    return result;
}

// Whether the host path, with every symbolic link on its way followed, stays inside the
// root. The part of the path that does not exist yet holds no links. With allow_last_link
// the last component may itself be a link that leads elsewhere (it is not followed).
bool stays_beneath(const std::string& root, const std::string& path, bool allow_last_link) {
    auto const real_root = real_path_of(root);
    if (!real_root) return false;
    std::string existing = path;
    struct stat status;
    if (allow_last_link && lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode))
        existing = path.substr(0, path.rfind('/'));
    // The deepest entry on the way that is there (a link counts, even one that leads nowhere).
    while (lstat(existing.c_str(), &status) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) return false;
        auto const slash = existing.rfind('/');
        if (slash == std::string::npos || existing.size() <= root.size()) return false;
        existing.resize(slash);
    }
    auto const real = real_path_of(existing);
    return real && is_beneath(*real_root, *real);
}

std::optional<std::string> resolve_beneath(std::u16string_view device_path, bool allow_last_link) {
    std::string const device = device_folder();
    std::string const root = device + "/fs";
    prepare_file_system(device, root);
    auto path = resolve(root, device_path);
    if (path && !stays_beneath(root, *path, allow_last_link)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return std::nullopt;
    }
    if (path && reaches_system_sounds(root, *path)) prepare_system_sounds(device, root);
    return path;
}

}  // namespace

std::string device_folder() {
    if (std::string device = environment("SONBRIX_DEVICE"); !device.empty()) return device;
    if (std::string data = environment("XDG_DATA_HOME"); !data.empty()) return data + "/sonbrix/device";
    return home_folder() + "/.local/share/sonbrix/device";
}

std::optional<std::string> host_path(std::u16string_view device_path) { return resolve_beneath(device_path, false); }

std::optional<std::string> host_path_of_program(std::u16string_view device_path) {
    return resolve_beneath(device_path, true);
}

std::optional<std::u16string> device_path(const std::string& host_path) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path const root = fs::absolute(fs::path(device_folder()) / "fs", error).lexically_normal();
    fs::path const path = fs::absolute(host_path, error).lexically_normal();
    auto relative = relative_inside(root, path);
    if (!relative) {
        // Either side may reach the same folder through a symbolic link.
        std::error_code root_error;
        std::error_code path_error;
        fs::path const real_root = fs::weakly_canonical(root, root_error);
        fs::path const real_path = fs::weakly_canonical(path, path_error);
        if (!root_error && !path_error) relative = relative_inside(real_root, real_path);
    }
    if (!relative) return std::nullopt;
    std::u16string result;
    for (auto const& name : *relative) {
        if (name.empty() || name == ".") continue;
        result += u'\\';
        result += utf8_to_utf16(name.string());
    }
    return result.empty() ? u"\\" : result;
}

void detail::forget_prepared_devices() {
    auto& prepared = prepared_devices();
    std::lock_guard guard(prepared.lock);
    prepared.folders.clear();
    prepared.sounds.clear();
}

}  // namespace platform
