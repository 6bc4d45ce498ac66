// Opening a file as the shell does: a program is started, any other file is opened by the
// program that its type is associated with in the registry.
#pragma once

#include "platform/registry.h"
#include "platform/types.h"
#include "platform/windows.h"

// fMask: keep the started process's handle in hProcess (the caller closes it).
constexpr ULONG SEE_MASK_NOCLOSEPROCESS = 0x00000040;

// nShow takes the SW_ values of platform/windows.h (accepted; the started program decides
// how it shows itself).

// hInstApp after a failure.
constexpr std::uintptr_t SE_ERR_FNF = 2;
constexpr std::uintptr_t SE_ERR_PNF = 3;
constexpr std::uintptr_t SE_ERR_ACCESSDENIED = 5;
constexpr std::uintptr_t SE_ERR_OOM = 8;
constexpr std::uintptr_t SE_ERR_NOASSOC = 31;

constexpr DWORD ERROR_NO_ASSOCIATION = 1155;

struct SHELLEXECUTEINFO {
    DWORD cbSize;  // sizeof(SHELLEXECUTEINFO)
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;        // null or "open"
    LPCWSTR lpFile;        // device path
    LPCWSTR lpParameters;  // the started program's command line; may be null
    LPCWSTR lpDirectory;   // ignored: the device has no current folder
    int nShow;
    HINSTANCE hInstApp;  // above 32 on success, an SE_ERR_ value on failure
    LPVOID lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;  // with SEE_MASK_NOCLOSEPROCESS: the started process (platform/processes.h)
};
using LPSHELLEXECUTEINFO = SHELLEXECUTEINFO*;

// A file whose name ends in ".exe" (any case) is a program: its host file is started as
// a process, which sees the same device and knows the ".exe" path as its own module
// path; the parameters, when not empty, reach it as one argument. Any other file is opened
// through its association: HKEY_CLASSES_ROOT\.ext names a class, and the class's default
// value under "Shell\Open\Command" is a command line: a program path (quoted when it holds
// blanks) followed by its arguments, in which "%1" stands for the file (the file is
// appended, quoted, when there is no "%1"); the program is then started as above with
// those arguments. The caller's parameters are not used for such a file. Nothing else is
// started: no shell, no host program.
//
// Fails with ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND for a missing file or program,
// ERROR_NO_ASSOCIATION when the type has no usable association, ERROR_NOT_SUPPORTED for a
// verb other than "open", ERROR_INVALID_PARAMETER for a wrong cbSize, ERROR_ACCESS_DENIED
// when the host refuses to run the program.
BOOL ShellExecuteEx(LPSHELLEXECUTEINFO info);
