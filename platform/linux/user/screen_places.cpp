// Places on the screen: client and screen coordinates, the window under a point, the
// screen's metrics, and hot keys held through the screen.
#include "platform/errors.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/linux/user/window_tree.h"
#include "platform/windows.h"

using namespace platform::detail;

namespace {

bool client_origin(HWND window, POINT& origin) {
    RECT rect{};
    auto const facts = window_facts(window);
    if (!facts || !GetWindowRect(window, &rect)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    origin = POINT{rect.left + facts->client.left, rect.top + facts->client.top};
    return true;
}

bool contains(HWND window, POINT point) {
    RECT rect{};
    return is_window_shown(window) && GetWindowRect(window, &rect) && point.x >= rect.left && point.x < rect.right &&
           point.y >= rect.top && point.y < rect.bottom;
}

HWND deepest_under(HWND window, POINT point) {
    for (HWND child : child_windows(window)) {
        if (contains(child, point)) return deepest_under(child, point);
    }
    return window;
}

}  // namespace

BOOL ClientToScreen(HWND window, POINT* point) {
    POINT origin{};
    if (!point || !client_origin(window, origin)) return FALSE;
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    POINT origin{};
    if (!point || !client_origin(window, origin)) return FALSE;
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

HWND WindowFromPoint(POINT point) {
    for (HWND top : top_level_windows()) {
        if (contains(top, point)) return deepest_under(top, point);
    }
    return nullptr;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return screen_size().width;
    case SM_CYSCREEN: return screen_size().height;
    default: return 0;
    }
}

BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk) {
    if (!window || !is_local_window(window) || !window_facts(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!register_screen_hotkey(window, id, modifiers, vk)) {
        SetLastError(ERROR_HOTKEY_ALREADY_REGISTERED);
        return FALSE;
    }
    return TRUE;
}

BOOL UnregisterHotKey(HWND window, int id) {
    if (!unregister_screen_hotkey(window, id)) {
        SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
        return FALSE;
    }
    return TRUE;
}

BOOL UnregisterFunc1(UINT, UINT) { return TRUE; }
