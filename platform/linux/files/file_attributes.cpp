// Attributes of one entry: GetFileAttributesW, SetFileAttributesW.
#include <sys/stat.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/linux/files/entries.h"
#include "platform/linux/files/storage_cards.h"

using platform::detail::entry_error;
using platform::detail::fail_with;

DWORD GetFileAttributesW(LPCWSTR file_name) {
    auto const path = platform::detail::host_path_of_name(file_name);
    if (!path) return INVALID_FILE_ATTRIBUTES;
    struct stat status;
    if (stat(path->c_str(), &status) != 0) {
        SetLastError(entry_error(errno, *path));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = platform::detail::attributes_of(status.st_mode);
    if (S_ISDIR(status.st_mode) && platform::detail::is_storage_card(*path)) attributes |= FILE_ATTRIBUTE_TEMPORARY;
    return attributes;
}

BOOL SetFileAttributesW(LPCWSTR file_name, DWORD attributes) {
    auto const path = platform::detail::host_path_of_name(file_name);
    if (!path) return FALSE;
    struct stat status;
    if (stat(path->c_str(), &status) != 0) return fail_with(entry_error(errno, *path));
    mode_t mode = status.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) mode &= ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH};
    else mode |= S_IWUSR;
    if (mode != (status.st_mode & 07777) && chmod(path->c_str(), mode) != 0) {
        return fail_with(entry_error(errno, *path));
    }
    return TRUE;
}
