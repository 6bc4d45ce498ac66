#pragma once

#include <string>

// Paths are wide strings in which '\' and '/' both separate; a stored path may begin with
// one path macro ("%app_path%", "%my_documents%", ...) that is expanded right before each
// file-system call.
namespace os {

// The path with its leading macro (if any) replaced by its value and every '/' turned
// into '\'. Only the start of the path is examined, case-sensitively; macros elsewhere are
// copied as they stand.
std::u16string expand_path_macros(const std::u16string& path);
// A fresh string holding the expanded path; called before every file-system call.
std::u16string expanded_path(const std::u16string& path);

// The program module's full device path, however long.
std::u16string get_module_path();
// The device path of a shell special folder (CSIDL_...); empty when it cannot be resolved.
std::u16string get_special_folder_path(int csidl);

// The index of the extension's dot: the last '.', or -1 when there is none or a separator
// follows it.
int find_extension_dot(const std::u16string& path);
// The path without one final separator.
std::u16string remove_trailing_separator(const std::u16string& path);
// The path up to and including its last separator; empty when it has none.
std::u16string get_folder(const std::u16string& path);
// The part after the last separator; the whole path when it has none.
std::u16string get_file_name(const std::u16string& path);
// The text after the extension's dot; empty without one.
std::u16string get_extension(const std::u16string& path);
// The text before the extension's dot; the whole path without one.
std::u16string remove_extension(const std::u16string& path);
// The folder that holds the path's last component, ending with a separator.
std::u16string get_parent_folder(const std::u16string& path);
std::u16string get_name_without_extension(const std::u16string& path);
// The path without its extension, then "." and the new extension.
std::u16string change_extension(const std::u16string& path, const std::u16string& extension);
// The name below the folder, joined by one '\'; the name alone for an empty folder.
std::u16string join_path(const std::u16string& folder, const std::u16string& name);

std::u16string to_lower(const std::u16string& text);
std::u16string to_upper(const std::u16string& text);

// The form in which paths are compared: expanded, without a final separator, lower case.
std::u16string normalize_path(const std::u16string& path);
bool paths_equal(const std::u16string& a, const std::u16string& b);
// Whether the path's first characters (as many as the prefix has) name the same path as
// the prefix; false when the path is shorter than the prefix.
bool is_path_prefix(const std::u16string& prefix, const std::u16string& path);

}  // namespace os
