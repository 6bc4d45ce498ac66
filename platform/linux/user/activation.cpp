// Active, foreground, focus and capture windows, and the key state.
#include "platform/linux/user/activation.h"

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/linux/user/input_state.h"
#include "platform/linux/user/remote_windows.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/linux/user/window_tree.h"

using namespace platform::detail;

namespace {

WPARAM as_wparam(HWND window) { return reinterpret_cast<WPARAM>(window); }
LPARAM as_lparam(HWND window) { return reinterpret_cast<LPARAM>(window); }

HWND fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// A window of this process that still exists, or null.
HWND live_or_null(HWND window) { return window && window_facts(window) ? window : nullptr; }

void change_activation(HWND window, bool active, HWND other) {
    if (!is_local_window(window)) {
        change_remote_activation(window, active, other);
    } else if (active) {
        activate_local(window, other);
    } else {
        deactivate_local(window, other);
    }
}

}  // namespace

namespace platform::detail {

void activate_local(HWND window, HWND other) {
    auto const thread = window_thread(window);
    if (!thread) return;
    if (device_foreground() == window) screen_foreground_changed(window);
    HWND const previous = live_or_null(input_state().exchange_active(*thread, window));
    if (previous == window) return;
    if (previous && previous != other) deactivate_local(previous, window);
    SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, as_lparam(other ? other : previous));
}

void deactivate_local(HWND window, HWND other) {
    auto const thread = window_thread(window);
    if (!thread) return;
    input_state().clear_active_if(*thread, window);
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, as_lparam(other));
    HWND const focus = input_state().focus(*thread);
    if (focus && is_window_within(focus, window) && input_state().exchange_focus(*thread, nullptr) == focus) {
        SendMessageW(focus, WM_KILLFOCUS, as_wparam(other), 0);
    }
}

void focus_on_activation(HWND window) {
    auto const thread = window_thread(window);
    if (!thread) return;
    HWND const focus = input_state().focus(*thread);
    if (!focus || !is_window_within(focus, window)) SetFocus(window);
}

void leave_input(HWND window) {
    input_state().forget_window(window);
    clear_device_foreground_if(window);
}

}  // namespace platform::detail

HWND SetActiveWindow(HWND window) {
    if (!is_local_window(window) || !window_facts(window)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    HWND const top = top_level_of(window);
    DWORD const thread = *window_thread(top);
    HWND const previous = live_or_null(input_state().active(thread));
    if (previous == top) return previous;
    bool const held_foreground = previous && device_foreground() == previous;
    if (held_foreground) set_device_foreground(top);
    activate_local(top, nullptr);
    return previous;
}

HWND GetActiveWindow() { return live_or_null(input_state().active(GetCurrentThreadId())); }

BOOL SetForegroundWindow(HWND window) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    HWND const top = is_local_window(window) ? top_level_of(window) : window;
    HWND const previous = device_foreground();
    set_device_foreground(top);
    if (previous && previous != top) change_activation(previous, false, top);
    change_activation(top, true, previous == top ? nullptr : previous);
    return TRUE;
}

HWND GetForegroundWindow() { return device_foreground(); }

HWND SetFocus(HWND window) {
    if (window && (!is_local_window(window) || !window_facts(window))) return fail(ERROR_INVALID_WINDOW_HANDLE);
    DWORD const thread = window ? *window_thread(window) : GetCurrentThreadId();
    if (window) {
        HWND const top = top_level_of(window);
        if (live_or_null(input_state().active(thread)) != top) SetActiveWindow(top);
        if (!window_facts(window)) return nullptr;  // destroyed by an activation message
    }
    HWND const previous = live_or_null(input_state().exchange_focus(thread, window));
    if (previous == window) return previous;
    if (window) screen_focus_changed(top_level_of(window), window);
    if (previous) SendMessageW(previous, WM_KILLFOCUS, as_wparam(window), 0);
    if (window) SendMessageW(window, WM_SETFOCUS, as_wparam(previous), 0);
    return previous;
}

HWND GetFocus() { return live_or_null(input_state().focus(GetCurrentThreadId())); }

HWND SetCapture(HWND window) {
    if (!is_local_window(window) || !window_facts(window)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    HWND const previous = live_or_null(input_state().exchange_capture(*window_thread(window), window));
    if (previous != window) screen_capture_changed(previous, window);
    if (previous && previous != window) SendMessageW(previous, WM_CAPTURECHANGED, 0, as_lparam(window));
    return previous;
}

BOOL ReleaseCapture() {
    HWND const previous = live_or_null(input_state().exchange_capture(GetCurrentThreadId(), nullptr));
    if (previous) screen_capture_changed(previous, nullptr);
    if (previous) SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return live_or_null(input_state().capture(GetCurrentThreadId())); }

SHORT GetKeyState(int virtual_key) { return input_state().key_state(GetCurrentThreadId(), virtual_key); }
