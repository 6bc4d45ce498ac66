// Timed start of a device program: the device starts the program at a set local time even
// when it is not running, with the command line "AppRunAtTime".
#pragma once

#include "platform/types.h"

// Registers the application (a device path) to be started at the local time, replacing
// its previous registration; a null time removes the registration. The registration is
// kept with the device, so it outlives the calling program, and is dropped once the
// program has been started. The program is started at that time, never before it; a time
// that has passed starts it at once. FALSE with ERROR_INVALID_PARAMETER for a null
// application or a time that is not a valid date.
BOOL CeRunAppAtTime(LPCWSTR application, const SYSTEMTIME* time);
