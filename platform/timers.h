// Window timers.
#pragma once

#include "platform/messages.h"
#include "platform/types.h"

using TIMERPROC = void (*)(HWND window, UINT message, UINT_PTR id, DWORD tick);

// Repeats every period milliseconds until KillTimer. Setting an existing (window, id) again
// restarts it with the new period. Without a window the result is a fresh id, else the id
// given; 0 on failure. The timer's thread receives WM_TIMER (wParam the id, lParam the
// procedure) when no other message is waiting; a due timer yields one WM_TIMER however
// long it waited, and none once it was killed.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT period_ms, TIMERPROC procedure);
// FALSE with ERROR_TIMER_NOT_FOUND when there is no such timer.
BOOL KillTimer(HWND window, UINT_PTR id);
