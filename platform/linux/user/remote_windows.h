// Windows of the device's other processes (inside the Linux back end only). A process
// with top-level windows listens for window links (window_links.h) and leaves a marker
// named by its process id in <device>/run/windows/; others ask it for its windows, read a
// window's class and state, and post or send to it. Markers of processes that no longer
// listen are removed by the first process that finds them dead. Messages whose
// parameters point into the sender's memory cross only where they are carried by value
// (WM_COPYDATA, WM_SETTEXT, WM_GETTEXT); others fail.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/windows.h"

namespace platform::detail {

constexpr DWORD default_send_timeout_ms = 30000;

// Makes this process's windows reachable from the current device's processes.
void announce_windows();

// Top-level windows of the device's other live processes: one request per process. A
// process that does not answer within the link time-out is left out.
std::vector<HWND> remote_top_level_windows();

struct RemoteWindowInfo {
    HWND handle = nullptr;
    HWND parent = nullptr;
    DWORD style = 0;
    std::u16string class_name;
    std::u16string text;
};
std::optional<RemoteWindowInfo> query_remote_window(HWND window);
std::vector<RemoteWindowInfo> remote_top_level_window_infos();

// False when the window's process cannot be reached or has no such window.
bool post_remote(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// Waits for the answer and serves messages sent to the calling thread's windows
// meanwhile. WM_COPYDATA carries its payload; other messages carry their two numbers.
// Without an answer within the send time-out (default_send_timeout_ms, see
// platform::set_send_message_timeout) the result is 0 with the last error ERROR_TIMEOUT.
LRESULT send_remote(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The window of another process gains or loses activation (see activate_local and
// deactivate_local); waits like send_remote, but at most the link time-out. False when its
// process cannot be reached in time.
bool change_remote_activation(HWND window, bool active, HWND other);

}  // namespace platform::detail
