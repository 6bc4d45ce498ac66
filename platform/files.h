// Files on the device: open or create, read, write, move the file pointer, size, truncate
// and flush. A file handle is closed with CloseHandle (platform/handles.h).
#pragma once

#include "platform/types.h"

// Access rights.
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;

// Share modes (accepted; the host does not enforce them).
constexpr DWORD FILE_SHARE_READ = 1;
constexpr DWORD FILE_SHARE_WRITE = 2;

// Creation dispositions.
constexpr DWORD CREATE_NEW = 1;         // fails when the file exists
constexpr DWORD CREATE_ALWAYS = 2;      // creates or empties
constexpr DWORD OPEN_EXISTING = 3;      // fails when the file is missing
constexpr DWORD OPEN_ALWAYS = 4;        // opens or creates
constexpr DWORD TRUNCATE_EXISTING = 5;  // empties an existing file; needs GENERIC_WRITE

// Attributes and flags.
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000u;

// Move methods of SetFilePointer.
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

// Asynchronous transfers are not supported; the argument is ignored.
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

// INVALID_HANDLE_VALUE with the last error on failure. On success the last error is
// ERROR_ALREADY_EXISTS when CREATE_ALWAYS or OPEN_ALWAYS met an existing file, else
// ERROR_SUCCESS. A folder cannot be opened as a file.
HANDLE CreateFileW(LPCWSTR file_name, DWORD access, DWORD share_mode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation, DWORD flags_and_attributes, HANDLE template_file);

// Reads up to count bytes at the file pointer; TRUE with 0 bytes read at the end of the file.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD bytes_read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD bytes_written, LPOVERLAPPED overlapped);

// Moves the file pointer by a signed distance from the start, the current position or the
// end. Without a high part the distance is a signed 32-bit value and the new position must
// fit in 32 bits; with one, *distance_high holds the upper half of a 64-bit distance and
// receives the upper half of the new position. Returns the low half of the new position,
// or INVALID_SET_FILE_POINTER with the last error (ERROR_NEGATIVE_SEEK for a position
// before the start; the pointer does not move). Clears the last error on success.
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distance_high, DWORD move_method);

// The low half of the size; the high half into *size_high when given. INVALID_FILE_SIZE
// with the last error on failure (the last error is cleared on success).
DWORD GetFileSize(HANDLE file, LPDWORD size_high);

// Ends the file at the file pointer (shortens or lengthens it); needs GENERIC_WRITE.
BOOL SetEndOfFile(HANDLE file);
// Writes the file's buffered data to storage; needs GENERIC_WRITE.
BOOL FlushFileBuffers(HANDLE file);
