// Painting a window of this process (inside the Linux back end only).
#pragma once

#include "platform/windows.h"

namespace platform::detail {

// DefWindowProcW's answer to WM_ERASEBKGND: fills the client area with the class's
// background brush; 1 when it did.
LRESULT erase_background(HWND window, HDC dc);

}  // namespace platform::detail
