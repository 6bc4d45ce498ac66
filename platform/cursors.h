// The cursor. There is no screen yet: the current cursor is only kept.
#pragma once

#include "platform/types.h"
#include "platform/windows.h"

// The platform's cursors, given to LoadCursorW with no instance.
inline LPCWSTR const IDC_ARROW = reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(32512));
inline LPCWSTR const IDC_WAIT = reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(32514));

// Null for an instance's own resources (none exist yet) and unknown names.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// The previous cursor; null hides the cursor (the normal state on the handheld).
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
