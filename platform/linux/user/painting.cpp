// Update regions and the device context of a paint.
#include "platform/linux/user/painting.h"

#include <vector>

#include "platform/errors.h"
#include "platform/gdi.h"
#include "platform/linux/gdi/surface_dc.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/window_tree.h"

using namespace platform::detail;

namespace {

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

bool is_own_window(HWND window) { return is_local_window(window) && window_facts(window); }

POINT screen_origin_of_client(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    auto const facts = window_facts(window);
    return POINT{rect.left + (facts ? facts->client.left : 0), rect.top + (facts ? facts->client.top : 0)};
}

// The window's own surface, or the nearest one of the windows it lies in, and where the
// window's client area starts on it.
std::shared_ptr<platform::gdi::PixelSurface> surface_for(HWND window, POINT& origin) {
    for (HWND holder = window; holder;) {
        if (auto surface = window_surface(holder)) {
            POINT const client = screen_origin_of_client(window);
            RECT holder_rect{};
            GetWindowRect(holder, &holder_rect);
            origin = POINT{client.x - holder_rect.left, client.y - holder_rect.top};
            return surface;
        }
        auto const facts = window_facts(holder);
        holder = facts && facts->is_child() ? facts->parent : nullptr;
    }
    return nullptr;
}

HDC surface_paint_dc(platform::gdi::PixelSurface& surface, POINT origin, const platform::gdi::Area& area) {
    int count = 0;
    auto const* const boxes = area.boxes(&count);
    std::vector<RECT> visible;
    for (int i = 0; i < count; ++i) {
        visible.push_back(RECT{boxes[i].x1 + origin.x, boxes[i].y1 + origin.y, boxes[i].x2 + origin.x,
                               boxes[i].y2 + origin.y});
    }
    return platform::gdi::create_surface_dc(surface, origin, visible);
}

// Until the screen gives the window a surface, a paint draws on a memory context whose clip
// is the region being painted.
HDC memory_paint_dc(const platform::gdi::Area& area) {
    HDC const dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    HRGN const clip = CreateRectRgn(0, 0, 0, 0);
    int count = 0;
    auto const* const boxes = area.boxes(&count);
    for (int i = 0; i < count; ++i) {
        HRGN const box = CreateRectRgn(boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2);
        CombineRgn(clip, clip, box, RGN_OR);
        DeleteObject(box);
    }
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
    return dc;
}

}  // namespace

namespace platform::detail {

LRESULT erase_background(HWND window, HDC dc) {
    auto const facts = window_facts(window);
    if (!facts || !dc || !facts->window_class->background) return 0;
    RECT client{};
    GetClientRect(window, &client);
    return FillRect(dc, &client, facts->window_class->background) ? 1 : 0;
}

}  // namespace platform::detail

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    if (!window) {
        for (HWND top : top_level_windows()) InvalidateRect(top, nullptr, erase);
        return TRUE;
    }
    if (!is_local_window(window) || !invalidate_window(window, rect, erase != FALSE)) {
        return fail(ERROR_INVALID_WINDOW_HANDLE);
    }
    wake_window_thread(window);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    if (!is_local_window(window) || !validate_window(window, rect)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    return TRUE;
}

BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL) {
    auto const bounds = is_local_window(window) ? update_bounds(window) : std::nullopt;
    if (!bounds) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (rect) *rect = *bounds;
    return bounds->right > bounds->left && bounds->bottom > bounds->top ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    RECT bounds{};
    if (!is_own_window(window)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (GetUpdateRect(window, &bounds, FALSE) && is_window_shown(window)) SendMessageW(window, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (!paint || !is_own_window(window)) {
        SetLastError(paint ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto const taken = take_update(window);
    if (!taken) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    POINT origin{};
    auto const surface = surface_for(window, origin);
    HDC const dc = surface ? surface_paint_dc(*surface, origin, taken->area) : memory_paint_dc(taken->area);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = taken->area.bounds();
    if (taken->erase) paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (paint && paint->hdc) DeleteDC(paint->hdc);
    return TRUE;
}
