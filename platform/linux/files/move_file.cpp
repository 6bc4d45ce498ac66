// Moving and renaming files and folders: MoveFileW, MoveFileExW.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/linux/files/entries.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/files/host_copy.h"
#include "platform/unicode.h"

namespace {

using platform::detail::entry_error;
using platform::detail::fail_with;

std::u16string_view without_trailing_separators(std::u16string_view path) {
    while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.remove_suffix(1);
    return path;
}

// The new name resolved to the entry itself: it names the entry in another case, or in
// the same one (nothing to do).
BOOL rename_to_other_case(const std::string& host_path, std::u16string_view new_device_path) {
    std::u16string_view const name = platform::detail::last_component(without_trailing_separators(new_device_path));
    std::string const new_host_name = platform::utf16_to_utf8(name);
    std::string const folder = platform::detail::host_parent(host_path);
    if (name.empty() || name == u"." || name == u".." || host_path == folder + "/" + new_host_name) return TRUE;
    if (rename(host_path.c_str(), (folder + "/" + new_host_name).c_str()) != 0) {
        return fail_with(entry_error(errno, host_path));
    }
    return TRUE;
}

// Copies the entry to the other host file system, then removes the original.
BOOL move_across_file_systems(const std::string& from, const std::string& to) {
    bool made = false;
    if (int const error = platform::detail::copy_tree(from, to, made)) {
        if (made) platform::detail::remove_tree(to);
        return fail_with(error == EEXIST ? ERROR_ALREADY_EXISTS : platform::detail::error_from_errno(error));
    }
    struct stat status;
    bool const is_folder = lstat(from.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    if (!is_folder) {
        if (unlink(from.c_str()) != 0) {
            int const error = errno;
            platform::detail::remove_tree(to);
            return fail_with(platform::detail::error_from_errno(error));
        }
        return TRUE;
    }
    // Whatever a failure leaves of the original folder is also in the copy.
    int const error = platform::detail::remove_tree(from);
    return error ? fail_with(platform::detail::error_from_errno(error)) : TRUE;
}

}  // namespace

BOOL MoveFileW(LPCWSTR existing_file_name, LPCWSTR new_file_name) {
    auto const from = platform::detail::host_path_of_name(existing_file_name);
    if (!from) return FALSE;
    auto const to = platform::detail::host_path_of_name(new_file_name);
    if (!to) return FALSE;
    struct stat status;
    if (lstat(from->c_str(), &status) != 0) return fail_with(entry_error(errno, *from));
    if (platform::detail::is_device_root(*from) || platform::detail::is_device_root(*to)) {
        return fail_with(ERROR_ACCESS_DENIED);
    }
    if (!platform::detail::is_host_folder(platform::detail::host_parent(*to))) return fail_with(ERROR_PATH_NOT_FOUND);
    if (*to == *from) return rename_to_other_case(*from, new_file_name);
    if (lstat(to->c_str(), &status) == 0) return fail_with(ERROR_ALREADY_EXISTS);
    int const error = platform::detail::rename_without_replacing(*from, *to);
    if (error == 0) return TRUE;
    if (error == EEXIST || error == ENOTEMPTY) return fail_with(ERROR_ALREADY_EXISTS);
    if (error == EXDEV) return move_across_file_systems(*from, *to);
    return fail_with(entry_error(error, *from));
}

BOOL MoveFileExW(LPCWSTR existing_file_name, LPCWSTR new_file_name, DWORD flags) {
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) return MoveFileW(existing_file_name, new_file_name);
    auto const from = platform::detail::host_path_of_name(existing_file_name);
    if (!from) return FALSE;
    auto const to = platform::detail::host_path_of_name(new_file_name);
    if (!to) return FALSE;
    struct stat status;
    if (lstat(to->c_str(), &status) != 0) return MoveFileW(existing_file_name, new_file_name);
    if (lstat(from->c_str(), &status) != 0) return fail_with(entry_error(errno, *from));
    if (S_ISDIR(status.st_mode) || platform::detail::is_host_folder(*to)) return fail_with(ERROR_ACCESS_DENIED);
    if (*to == *from) return TRUE;
    if (rename(from->c_str(), to->c_str()) == 0) return TRUE;
    int const error = errno;
    return fail_with(error == EXDEV ? ERROR_NOT_SAME_DEVICE : entry_error(error, *from));
}
