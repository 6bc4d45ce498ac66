#include "foundation/paths.h"

#include <vector>

#include "platform/module.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace os {
namespace {

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

std::size_t find_last_separator(const std::u16string& path) { return path.find_last_of(u"\\/"); }

// The special folders never change while the program runs, so they are looked up once.
struct SpecialFolders {
    std::u16string my_documents = get_special_folder_path(CSIDL_PERSONAL);
    std::u16string windows = get_special_folder_path(CSIDL_WINDOWS);
    std::u16string startup = get_special_folder_path(CSIDL_STARTUP);
    std::u16string programs = get_special_folder_path(CSIDL_PROGRAMS);
    std::u16string start_menu = get_special_folder_path(CSIDL_STARTMENU);
    std::u16string program_files = get_special_folder_path(CSIDL_PROGRAM_FILES);
};

// Ready on first use, so that other static initialisers may expand macros already.
const SpecialFolders& special_folders() {
    static SpecialFolders const folders;
    return folders;
}

// Looks the folders up during static initialisation, before the main routine.
[[maybe_unused]] SpecialFolders const& looked_up_at_start = special_folders();

struct Macro {
    std::u16string_view name;
    std::u16string value;
};

std::vector<Macro> path_macros() {
    std::u16string const module = get_module_path();
    SpecialFolders const& folders = special_folders();
    return {
        {u"%app_full_name%", module},
        {u"%app_path%", remove_trailing_separator(get_folder(module))},
        {u"%app_name%", get_file_name(module)},
        {u"%my_documents%", folders.my_documents},
        {u"%windows%", folders.windows},
        {u"%startup%", folders.startup},
        {u"%programs%", folders.programs},
        {u"%start_menu%", folders.start_menu},
        {u"%program_files%", folders.program_files},
    };
}

}  // namespace

std::u16string expand_path_macros(const std::u16string& path) {
    std::u16string result;
    std::size_t rest = 0;
    for (auto const& macro : path_macros()) {
        if (path.starts_with(macro.name)) {
            result = macro.value;
            rest = macro.name.size();
            break;
        }
    }
    for (std::size_t i = rest; i < path.size(); ++i) result += path[i] == u'/' ? u'\\' : path[i];
    return result;
}

std::u16string expanded_path(const std::u16string& path) { return expand_path_macros(path); }

std::u16string get_module_path() {
    std::vector<char16_t> buffer(1024);
    for (;;) {
        auto const size = static_cast<DWORD>(buffer.size());
        DWORD const length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length < size) return std::u16string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string get_special_folder_path(int csidl) {
    LPITEMIDLIST item_list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &item_list) != S_OK) return {};
    char16_t path[MAX_PATH];
    if (!SHGetPathFromIDList(item_list, path)) return {};
    return path;
}

int find_extension_dot(const std::u16string& path) {
    std::size_t const dot = path.rfind(u'.');
    if (dot == std::u16string::npos) return -1;
    std::size_t const separator = find_last_separator(path);
    if (separator != std::u16string::npos && separator > dot) return -1;
    return static_cast<int>(dot);
}

std::u16string remove_trailing_separator(const std::u16string& path) {
    if (!path.empty() && is_separator(path.back())) return path.substr(0, path.size() - 1);
    return path;
}

std::u16string get_folder(const std::u16string& path) {
    std::size_t const separator = find_last_separator(path);
    return separator == std::u16string::npos ? std::u16string() : path.substr(0, separator + 1);
}

std::u16string get_file_name(const std::u16string& path) {
    std::size_t const separator = find_last_separator(path);
    return separator == std::u16string::npos ? path : path.substr(separator + 1);
}

std::u16string get_extension(const std::u16string& path) {
    int const dot = find_extension_dot(path);
    return dot < 0 ? std::u16string() : path.substr(static_cast<std::size_t>(dot) + 1);
}

std::u16string remove_extension(const std::u16string& path) {
    int const dot = find_extension_dot(path);
    return dot < 0 ? path : path.substr(0, static_cast<std::size_t>(dot));
}

std::u16string get_parent_folder(const std::u16string& path) { return get_folder(remove_trailing_separator(path)); }

std::u16string get_name_without_extension(const std::u16string& path) { return remove_extension(get_file_name(path)); }

std::u16string change_extension(const std::u16string& path, const std::u16string& extension) {
    return remove_extension(path) + u"." + extension;
}

std::u16string join_path(const std::u16string& folder, const std::u16string& name) {
    if (folder.empty()) return name;
    return remove_trailing_separator(folder) + u"\\" + name;
}

std::u16string to_lower(const std::u16string& text) {
    std::u16string result = text;
    CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

std::u16string to_upper(const std::u16string& text) {
    std::u16string result = text;
    CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

std::u16string normalize_path(const std::u16string& path) {
    return to_lower(remove_trailing_separator(expand_path_macros(path)));
}

bool paths_equal(const std::u16string& a, const std::u16string& b) { return normalize_path(a) == normalize_path(b); }

bool is_path_prefix(const std::u16string& prefix, const std::u16string& path) {
    if (path.size() < prefix.size()) return false;
    return paths_equal(path.substr(0, prefix.size()), prefix);
}

}  // namespace os
