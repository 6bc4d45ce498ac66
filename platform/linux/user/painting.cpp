// Update regions and the device context of a paint.
#include "platform/linux/user/painting.h"

#include <vector>

#include "platform/errors.h"
#include "platform/gdi.h"
#include "platform/linux/gdi/surface_dc.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/screen_windows.h"
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

// What of the client area (client coordinates) the window may draw on: not outside its
// parents' client areas, not under its siblings above it, and not under its own shown
// children when it has WS_CLIPCHILDREN.
platform::gdi::Area drawable_area(HWND window) {
    using platform::gdi::Area;
    RECT client{};
    GetClientRect(window, &client);
    Area area = Area::of(client);
    POINT const origin = screen_origin_of_client(window);
    auto const cut = [&](HWND other) {
        RECT rect{};
        if (!is_window_shown(other) || !GetWindowRect(other, &rect)) return;
        area.subtract(Area::of(RECT{rect.left - origin.x, rect.top - origin.y, rect.right - origin.x,
                                    rect.bottom - origin.y}));
    };
    auto const facts = window_facts(window);
    if (facts && (facts->style & WS_CLIPCHILDREN)) {
        for (HWND child : child_windows(window)) cut(child);
    }
    for (HWND below = window; below;) {
        auto const below_facts = window_facts(below);
        if (!below_facts || !below_facts->is_child()) break;
        HWND const parent = below_facts->parent;
        for (HWND sibling : child_windows(parent)) {
            if (sibling == below) break;
            cut(sibling);
        }
        RECT parent_client{};
        GetClientRect(parent, &parent_client);
        POINT const parent_origin = screen_origin_of_client(parent);
        area.intersect(Area::of(RECT{parent_origin.x - origin.x, parent_origin.y - origin.y,
                                     parent_origin.x - origin.x + parent_client.right,
                                     parent_origin.y - origin.y + parent_client.bottom}));
        below = parent;
    }
    return area;
}

std::vector<RECT> moved_boxes(const platform::gdi::Area& area, POINT by) {
    int count = 0;
    auto const* const boxes = area.boxes(&count);
    std::vector<RECT> moved;
    for (int i = 0; i < count; ++i) {
        moved.push_back(RECT{boxes[i].x1 + by.x, boxes[i].y1 + by.y, boxes[i].x2 + by.x, boxes[i].y2 + by.y});
    }
    return moved;
}

HDC surface_paint_dc(platform::gdi::PixelSurface& surface, POINT origin, const platform::gdi::Area& area) {
    return platform::gdi::create_surface_dc(surface, origin, moved_boxes(area, origin));
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
    platform::gdi::Area area = taken->area;
    if (surface) area.intersect(drawable_area(window));
    HDC const dc = surface ? surface_paint_dc(*surface, origin, area) : memory_paint_dc(taken->area);
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = taken->area.bounds();
    if (taken->erase) paint->fErase = SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (!paint || !paint->hdc) return TRUE;
    DeleteDC(paint->hdc);
    POINT origin{};
    if (is_own_window(window) && surface_for(window, origin)) {
        RECT const& painted = paint->rcPaint;
        present_screen_window(top_level_of(window), {RECT{painted.left + origin.x, painted.top + origin.y,
                                                          painted.right + origin.x, painted.bottom + origin.y}});
    }
    return TRUE;
}

HDC GetDC(HWND window) {
    if (!window) return CreateCompatibleDC(nullptr);
    if (!is_own_window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    POINT origin{};
    auto const surface = surface_for(window, origin);
    if (!surface) {
        RECT client{};
        GetClientRect(window, &client);
        return memory_paint_dc(platform::gdi::Area::of(client));
    }
    return platform::gdi::create_surface_dc(*surface, origin, moved_boxes(drawable_area(window), origin));
}

int ReleaseDC(HWND window, HDC dc) {
    if (!dc) return 0;
    DeleteDC(dc);
    POINT origin{};
    if (window && is_own_window(window) && surface_for(window, origin)) {
        RECT client{};
        GetClientRect(window, &client);
        present_screen_window(top_level_of(window), {RECT{origin.x, origin.y, origin.x + client.right,
                                                          origin.y + client.bottom}});
    }
    return 1;
}
