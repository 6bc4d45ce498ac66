// Processes that this one started (CreateProcessW, or ShellExecuteEx in
// platform/shell_execute.h). Such a process handle is signalled once the process has ended
// and is closed with CloseHandle; ended processes are always collected, whether their
// handle is kept or not.
#pragma once

#include "platform/kernel.h"  // STILL_ACTIVE
#include "platform/types.h"

// The host cannot run the program's file.
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;

// STILL_ACTIVE while the process runs; its exit status once it has ended (128 + the signal
// number when a signal ended it). FALSE with ERROR_INVALID_HANDLE for a handle that is no
// process.
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exit_code);

// What the started program is told of its start; the platform takes none (null).
struct STARTUPINFOW;
using LPSTARTUPINFOW = STARTUPINFOW*;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;  // the process's first thread: signalled when the process has ended
    DWORD dwProcessId;
    DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// Starts the device program at the device path `application` (its host file inside the
// device's file system). The program sees the same device, `application` as its module
// path, and exactly `command_line` as its command line, without its own name (nothing when
// null or empty). The security attributes, inheritance, creation flags, environment,
// current folder and start-up information are not used. When `information` is not null it
// receives two handles for the caller to close and the process id. Fails with
// ERROR_INVALID_PARAMETER for no application, ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND
// for a missing file, ERROR_ACCESS_DENIED for a folder, ERROR_BAD_EXE_FORMAT when the host
// cannot run the file.
BOOL CreateProcessW(LPCWSTR application, LPWSTR command_line, LPSECURITY_ATTRIBUTES process_security,
                    LPSECURITY_ATTRIBUTES thread_security, BOOL inherit_handles, DWORD creation_flags,
                    LPVOID environment, LPCWSTR current_folder, LPSTARTUPINFOW startup_info,
                    LPPROCESS_INFORMATION information);
