// Activation, focus and capture as windows of this process take part in them (inside the
// Linux back end only); the state itself is kept by InputState (input_state.h).
#pragma once

#include "platform/windows.h"

namespace platform::detail {

// A top-level window of this process becomes its thread's active window: the thread's
// previously active window (unless it is `other`, which was told already) gets
// WM_ACTIVATE (WA_INACTIVE), then the window gets WM_ACTIVATE (WA_ACTIVE, lParam `other`
// or the previously active window). Nothing happens when it is active already.
void activate_local(HWND window, HWND other);
// A window of this process loses activation to `other` (of any process): it stops being its
// thread's active window, gets WM_ACTIVATE (WA_INACTIVE, lParam `other`) and the focus
// leaves it.
void deactivate_local(HWND window, HWND other);
// DefWindowProcW's answer to WM_ACTIVATE: the focus goes to the window unless it is within
// it already.
void focus_on_activation(HWND window);
// A window being destroyed leaves the focus, activation, capture and the foreground.
void leave_input(HWND window);

}  // namespace platform::detail
