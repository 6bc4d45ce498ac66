// The cursor: kept in the process and given to the screen, which holds it for the device.
#include "platform/cursors.h"

#include <algorithm>
#include <array>
#include <atomic>

#include "platform/linux/user/screen_windows.h"

namespace {

std::atomic<HCURSOR> current_cursor{nullptr};

constexpr std::array<std::uintptr_t, 14> system_cursors = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                                           32644, 32645, 32646, 32648, 32649, 32650, 32651};

bool is_system_cursor(LPCWSTR name) {
    auto const id = reinterpret_cast<std::uintptr_t>(name);
    return std::find(system_cursors.begin(), system_cursors.end(), id) != system_cursors.end();
}

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (instance || !is_system_cursor(name)) return nullptr;
    return reinterpret_cast<HCURSOR>(const_cast<WCHAR*>(name));
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR const previous = current_cursor.exchange(cursor);
    auto const id = reinterpret_cast<std::uintptr_t>(cursor);
    // A handle that is no system cursor shows none.
    bool const known = is_system_cursor(reinterpret_cast<LPCWSTR>(cursor));
    if (previous != cursor) platform::detail::screen_cursor_changed(known ? static_cast<std::uint32_t>(id) : 0);
    return previous;
}

HCURSOR GetCursor() { return current_cursor.load(); }
