// Operations on whole files and folders of the device: attributes, delete, create and
// remove folders, move, copy, and the free space of the volume.
#pragma once

#include "platform/file_attributes.h"
#include "platform/types.h"

// Every function takes device paths; a name holding wildcards or other characters that no
// name may hold fails with ERROR_INVALID_NAME, a missing entry with ERROR_FILE_NOT_FOUND,
// a missing folder on the way to it with ERROR_PATH_NOT_FOUND. The root "\" can be neither
// removed nor moved (ERROR_ACCESS_DENIED).

// The entry's attributes, or INVALID_FILE_ATTRIBUTES with the last error.
DWORD GetFileAttributesW(LPCWSTR file_name);
// Only FILE_ATTRIBUTE_READONLY has an effect: set, it takes every write permission away;
// clear, it gives the owner the write permission back. The other attributes are accepted
// and ignored.
BOOL SetFileAttributesW(LPCWSTR file_name, DWORD attributes);

// Deletes a file; a folder gives ERROR_ACCESS_DENIED, and so does a read-only file.
BOOL DeleteFileW(LPCWSTR file_name);
// Makes one folder; its parent must exist. ERROR_ALREADY_EXISTS when an entry of that name
// (in any case) exists. The security attributes are ignored.
BOOL CreateDirectoryW(LPCWSTR path_name, LPSECURITY_ATTRIBUTES security);
// Removes an empty folder: ERROR_DIR_NOT_EMPTY when it holds anything, ERROR_DIRECTORY
// for a file, ERROR_ACCESS_DENIED for a read-only folder.
BOOL RemoveDirectoryW(LPCWSTR path_name);

// Moves or renames a file or a whole folder. Fails with ERROR_ALREADY_EXISTS when the new
// name exists (an existing entry is never replaced), except that an entry may be renamed to
// another case of its own name. The folder of the new name must exist. Works also where
// the two names lie on different host file systems: the entry is copied (times and
// permissions kept), then the original removed; a failed copy leaves the original alone.
BOOL MoveFileW(LPCWSTR existing_file_name, LPCWSTR new_file_name);
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
// MoveFileW; with MOVEFILE_REPLACE_EXISTING a file may also take the place of an existing
// file in one step: the target is either the old or the new file, never lost in between.
// A folder on either side gives ERROR_ACCESS_DENIED, a target on another host file system
// ERROR_NOT_SAME_DEVICE. Other flags are ignored.
BOOL MoveFileExW(LPCWSTR existing_file_name, LPCWSTR new_file_name, DWORD flags);
// Copies a file with its read-only attribute and last-write time. An existing target
// makes it fail with ERROR_FILE_EXISTS when fail_if_exists is set, and is replaced
// otherwise, unless it is read-only or a folder (ERROR_ACCESS_DENIED) or the source itself
// (ERROR_SHARING_VIOLATION). The target only changes once the whole copy is written.
BOOL CopyFileW(LPCWSTR existing_file_name, LPCWSTR new_file_name, BOOL fail_if_exists);

union ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
};
using PULARGE_INTEGER = ULARGE_INTEGER*;

// Sizes in bytes of the volume that holds the existing entry (the root when the name is
// null): free to the caller, total, free in all. Each output may be null.
BOOL GetDiskFreeSpaceExW(LPCWSTR directory_name, PULARGE_INTEGER free_bytes_available_to_caller,
                         PULARGE_INTEGER total_number_of_bytes, PULARGE_INTEGER total_number_of_free_bytes);
