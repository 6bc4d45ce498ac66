// Processes that this one started (ShellExecuteEx, platform/shell_execute.h). Such a
// process handle is signalled once the process has ended and is closed with CloseHandle;
// ended processes are always collected, whether their handle is kept or not.
#pragma once

#include "platform/kernel.h"  // STILL_ACTIVE
#include "platform/types.h"

// The host cannot run the program's file.
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;

// STILL_ACTIVE while the process runs; its exit status once it has ended (128 + the signal
// number when a signal ended it). FALSE with ERROR_INVALID_HANDLE for a handle that is no
// process.
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exit_code);
