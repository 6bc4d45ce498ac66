// The cursor: one for the whole device, held by the screen, which shows it where the screen
// has a pointer of its own (the desktop window).
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "platform/windows.h"

namespace platform::detail {
inline LPCWSTR cursor_name(std::uintptr_t id) { return reinterpret_cast<LPCWSTR>(id); }
}  // namespace platform::detail

// The platform's cursors, given to LoadCursorW with no instance.
inline LPCWSTR const IDC_ARROW = platform::detail::cursor_name(32512);
inline LPCWSTR const IDC_IBEAM = platform::detail::cursor_name(32513);
inline LPCWSTR const IDC_WAIT = platform::detail::cursor_name(32514);
inline LPCWSTR const IDC_CROSS = platform::detail::cursor_name(32515);
inline LPCWSTR const IDC_UPARROW = platform::detail::cursor_name(32516);
inline LPCWSTR const IDC_SIZENWSE = platform::detail::cursor_name(32642);
inline LPCWSTR const IDC_SIZENESW = platform::detail::cursor_name(32643);
inline LPCWSTR const IDC_SIZEWE = platform::detail::cursor_name(32644);
inline LPCWSTR const IDC_SIZENS = platform::detail::cursor_name(32645);
inline LPCWSTR const IDC_SIZEALL = platform::detail::cursor_name(32646);
inline LPCWSTR const IDC_NO = platform::detail::cursor_name(32648);
inline LPCWSTR const IDC_HAND = platform::detail::cursor_name(32649);
inline LPCWSTR const IDC_APPSTARTING = platform::detail::cursor_name(32650);
inline LPCWSTR const IDC_HELP = platform::detail::cursor_name(32651);

// A system cursor (instance null, one of the IDC_ values); null for an instance's own
// resources (none exist) and unknown names. A system cursor's handle is its number.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
// The previous cursor; null hides the cursor (the normal state on the handheld). The screen
// keeps the cursor for the whole device, and its desktop window shows it (the arrow for none,
// so that the mouse stays visible there).
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
