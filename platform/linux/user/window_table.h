// The windows and window classes of this process (inside the Linux back end only).
// Window handles carry the owning process id in their upper 32 bits, so any process of
// the device can tell whose window a handle names.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows.h"

namespace platform::detail {

struct WindowClass {
    std::u16string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int extra_bytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct WindowRecord {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> window_class;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;  // the parent of a child, the owner of a top-level window
    std::u16string text;
    DWORD thread_id = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    LONG_PTR user_data = 0;
    std::vector<LONG_PTR> extra;  // one word per 4 extra bytes
    RECT rect{};
    bool destroying = false;

    bool is_child() const { return (style & WS_CHILD) != 0; }
};

// ---- Classes ----
bool register_window_class(WindowClass window_class);  // false: the name exists
std::shared_ptr<const WindowClass> find_window_class(std::u16string_view name);
// ERROR_SUCCESS, ERROR_CLASS_DOES_NOT_EXIST or ERROR_CLASS_HAS_WINDOWS.
DWORD unregister_window_class(std::u16string_view name);

// ---- Windows ----
bool is_local_window(HWND window);
HWND add_window(WindowRecord record);  // the record's handle is filled in
void remove_window(HWND window);
// A copy of the record of a window of this process.
std::optional<WindowRecord> find_window(HWND window);
// Runs change on the record under the table's lock; false when there is no such window.
bool update_window(HWND window, const std::function<void(WindowRecord&)>& change);
// Top-level windows of this process in creation order.
std::vector<HWND> local_top_level_windows();
// Children and owned windows, in creation order.
std::vector<HWND> windows_below(HWND window);
// The window is `ancestor` or lies below it through parents.
bool is_window_within(HWND window, HWND ancestor);
// Calls the window's current procedure; 0 for a window that is gone.
LRESULT call_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// The thread's windows vanish without messages (the thread has ended).
void forget_windows_of_thread(DWORD thread_id);

}  // namespace platform::detail
