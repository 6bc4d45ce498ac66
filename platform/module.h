// The program module's file name on the device.
#pragma once

#include "platform/processes.h"  // ERROR_BAD_EXE_FORMAT
#include "platform/types.h"

constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

// The device path of the module (null: the program): the executable's own device path
// when it lies inside the device's file system, else "\Program Files\Sonbrix\" followed by
// its file name. The environment variable SONBRIX_MODULE (a device path) overrides both.
// Returns the length without the terminator. When the buffer of size characters is too
// small it receives size - 1 characters and a terminator, the result is size and the last
// error ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

// A device library (a ".dll" below the device's root) is a host shared library. A path with a
// separator is a device path; a bare name is looked for in "\Windows". Each library keeps its
// own copy of what it links and shows only its exports. Its code stays loaded until the
// process ends, so threads or callbacks it left behind never outlive it. Null on failure,
// with the last error ERROR_MOD_NOT_FOUND (missing file) or ERROR_BAD_EXE_FORMAT (not a
// library this host can load).
HMODULE LoadLibraryW(LPCWSTR path);
// The export of that name; null with ERROR_PROC_NOT_FOUND when the library has none.
using FARPROC = void (*)();
FARPROC GetProcAddressW(HMODULE module, LPCWSTR name);
BOOL FreeLibrary(HMODULE module);
