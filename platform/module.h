// The program module's file name on the device.
#pragma once

#include "platform/types.h"

// The device path of the module (null: the program): the executable's own device path
// when it lies inside the device's file system, else "\Program Files\Sonbrix\" followed by
// its file name. The environment variable SONBRIX_MODULE (a device path) overrides both.
// Returns the length without the terminator. When the buffer of size characters is too
// small it receives size - 1 characters and a terminator, the result is size and the last
// error ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
