// The own process.
#include <unistd.h>

#include <cstdint>

#include "platform/errors.h"
#include "platform/kernel.h"

namespace {
HANDLE const current_process_pseudo_handle = reinterpret_cast<HANDLE>(std::intptr_t{0x42});
}

HANDLE GetCurrentProcess() { return current_process_pseudo_handle; }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

BOOL TerminateProcess(HANDLE process, UINT exit_code) {
    if (process != current_process_pseudo_handle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    _exit(static_cast<int>(exit_code));
}
