// The calling thread's last error code.
#pragma once

#include "platform/types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
