// Operations common to every kernel object handle (threads, events, mutexes, files, processes).
#pragma once

#include "platform/types.h"

constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

// Waits until the object is signalled or the time-out (milliseconds, INFINITE) passes.
DWORD WaitForSingleObject(HANDLE handle, DWORD timeout_ms);
BOOL CloseHandle(HANDLE handle);
