// Deleting files, creating and removing folders.
#include "platform/file_ops.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/linux/files/entries.h"
#include "platform/linux/kernel/errors.h"

using platform::detail::entry_error;
using platform::detail::fail_with;

BOOL DeleteFileW(LPCWSTR file_name) {
    auto const path = platform::detail::host_path_of_name(file_name);
    if (!path) return FALSE;
    struct stat status;
    if (lstat(path->c_str(), &status) != 0) return fail_with(entry_error(errno, *path));
    if (S_ISDIR(status.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
    bool const read_only = !S_ISLNK(status.st_mode) && platform::detail::is_read_only(status.st_mode);
    if (read_only) return fail_with(ERROR_ACCESS_DENIED);
    if (unlink(path->c_str()) != 0) return fail_with(entry_error(errno, *path));
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path_name, LPSECURITY_ATTRIBUTES) {
    auto const path = platform::detail::host_path_of_name(path_name);
    if (!path) return FALSE;
    if (mkdir(path->c_str(), 0777) != 0) {
        int const error = errno;
        if (error == ENOENT || error == ENOTDIR) return fail_with(ERROR_PATH_NOT_FOUND);
        return fail_with(platform::detail::error_from_errno(error));
    }
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path_name) {
    auto const path = platform::detail::host_path_of_name(path_name);
    if (!path) return FALSE;
    if (platform::detail::is_device_root(*path)) return fail_with(ERROR_ACCESS_DENIED);
    struct stat status;
    if (lstat(path->c_str(), &status) != 0) return fail_with(entry_error(errno, *path));
    if (!S_ISDIR(status.st_mode)) return fail_with(ERROR_DIRECTORY);
    if (platform::detail::is_read_only(status.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
    if (rmdir(path->c_str()) != 0) {
        int const error = errno;
        if (error == ENOTEMPTY || error == EEXIST) return fail_with(ERROR_DIR_NOT_EMPTY);
        return fail_with(entry_error(error, *path));
    }
    return TRUE;
}
