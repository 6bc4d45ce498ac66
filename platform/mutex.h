// Mutexes. Named mutexes are shared by all processes of the device.
#pragma once

#include "platform/handles.h"
#include "platform/types.h"

// A name opens the mutex of that name when a process of the device has one open: the
// handle is returned with the last error ERROR_ALREADY_EXISTS (and initial_owner is
// ignored); otherwise the last error is 0. WaitForSingleObject takes it: the waiting thread
// becomes the owner and may take it again (it is released as often as it was taken).
// When the owning thread or process ended without releasing it, the next wait takes it
// with WAIT_ABANDONED.
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES security, BOOL initial_owner, LPCWSTR name);
// FALSE with ERROR_NOT_OWNER when the caller does not own it.
BOOL ReleaseMutex(HANDLE mutex);
