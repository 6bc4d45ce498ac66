// Directory search on the device: the entries of one folder whose names match a pattern.
#pragma once

#include "platform/file_attributes.h"
#include "platform/types.h"

// One entry found. Times are UTC; the creation time is the last-write time where the host
// does not keep one.
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;  // sizes are 0 for folders
    DWORD nFileSizeLow;
    DWORD dwOID;          // always 0
    WCHAR cFileName[MAX_PATH];  // the entry's name as stored, with a terminator
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;

// The path's last component is the pattern, matched against the names of the folder that
// the rest names: '*' stands for any run of characters, '?' for exactly one, letters match
// without regard to case, and a pattern ending in ".*" also matches names without a dot
// ("*.*" matches every name). "." and ".." are never reported; nor are symbolic links to
// folders (a search never leads out of the tree or round in a loop), nor host entries that
// are neither files nor folders or whose names the device cannot spell. Entries come in
// the order of their names ignoring case; the set of names is taken when the search
// starts, and an entry removed meanwhile is passed over.
//
// Returns the search handle and fills find_data with the first entry, or
// INVALID_HANDLE_VALUE with the last error: ERROR_PATH_NOT_FOUND when the folder does not
// exist, ERROR_FILE_NOT_FOUND when nothing matches, ERROR_INVALID_NAME for wildcards in the
// folder part or characters no name may hold.
HANDLE FindFirstFileW(LPCWSTR file_name, LPWIN32_FIND_DATAW find_data);
// The next entry; FALSE with ERROR_NO_MORE_FILES after the last one.
BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW find_data);
// Ends the search; FALSE with ERROR_INVALID_HANDLE for a handle that is no search.
BOOL FindClose(HANDLE find);
