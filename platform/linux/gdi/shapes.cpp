// Brushes, pens, rectangles, lines and single pixels.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/linux/gdi/device_context.h"
#include "platform/linux/gdi/raster.h"

using namespace platform::gdi;

namespace {

// Draws one point of a line with the pen (surface coordinates) within the area.
void plot(PixelSurface& surface, Area const& area, int x, int y, Pen const& pen) {
    std::uint32_t const value = pixel_of(pen.colour);
    if (pen.width <= 1) {
        if (area.contains(x, y)) surface.pixels()[static_cast<std::ptrdiff_t>(y) * surface.stride() + x] = value;
        return;
    }
    int const left = x - pen.width / 2;
    int const top = y - pen.width / 2;
    Area square(left, top, left + pen.width, top + pen.width);
    square.intersect(area);
    fill_area(surface, square, value);
}

// The points from the start up to, not including, the end (Bresenham).
template <class Plot>
void walk_line(int x0, int y0, int x1, int y1, Plot plot_point) {
    int const dx = std::abs(x1 - x0);
    int const dy = -std::abs(y1 - y0);
    int const step_x = x0 < x1 ? 1 : -1;
    int const step_y = y0 < y1 ? 1 : -1;
    long long error = static_cast<long long>(dx) + dy;
    while (x0 != x1 || y0 != y1) {
        plot_point(x0, y0);
        long long const doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x0 += step_x;
        }
        if (doubled <= dx) {
            error += dx;
            y0 += step_y;
        }
    }
}

// Lines within this distance of the surface are drawn exactly; longer ones are first cut
// to it, so that a line to a far point costs no more than one across the surface.
constexpr int line_margin = 4096;

// Cuts the segment to the rectangle (Liang-Barsky); false when none of it lies inside.
bool cut_to(RECT const& box, POINT& from, POINT& to) {
    double const dx = static_cast<double>(to.x) - from.x;
    double const dy = static_cast<double>(to.y) - from.y;
    double enter = 0;
    double leave = 1;
    auto edge = [&](double p, double q) {
        if (p == 0) return q >= 0;
        double const r = q / p;
        if (p < 0) enter = std::max(enter, r);
        else leave = std::min(leave, r);
        return enter <= leave;
    };
    if (!edge(-dx, from.x - static_cast<double>(box.left)) || !edge(dx, box.right - static_cast<double>(from.x)) ||
        !edge(-dy, from.y - static_cast<double>(box.top)) || !edge(dy, box.bottom - static_cast<double>(from.y))) {
        return false;
    }
    POINT const start = from;
    if (leave < 1) to = POINT{static_cast<LONG>(std::lround(start.x + leave * dx)), static_cast<LONG>(std::lround(start.y + leave * dy))};
    if (enter > 0) from = POINT{static_cast<LONG>(std::lround(start.x + enter * dx)), static_cast<LONG>(std::lround(start.y + enter * dy))};
    return true;
}

bool within(RECT const& box, POINT point) {
    return point.x >= box.left && point.x <= box.right && point.y >= box.top && point.y <= box.bottom;
}

void draw_line(DeviceContext& dc, POINT from, POINT to) {
    Pen const* pen = dc.pen();
    if (pen == nullptr || pen->is_null()) return;
    PixelSurface& surface = dc.surface();
    Area const area = dc.drawable();
    if (area.empty()) return;
    POINT const origin = dc.origin();
    from = POINT{bounded(from.x) + origin.x, bounded(from.y) + origin.y};
    to = POINT{bounded(to.x) + origin.x, bounded(to.y) + origin.y};
    RECT const box{-line_margin - pen->width, -line_margin - pen->width, surface.width() + line_margin + pen->width,
                   surface.height() + line_margin + pen->width};
    if ((!within(box, from) || !within(box, to)) && !cut_to(box, from, to)) return;
    surface.before_read();
    walk_line(from.x, from.y, to.x, to.y, [&](int x, int y) { plot(surface, area, x, y, *pen); });
    surface.after_write();
}

void fill_rect(DeviceContext& dc, RECT const& rect, Brush const& brush) {
    if (brush.is_null()) return;
    PixelSurface& surface = dc.surface();
    Area area = Area::of(rect);
    area.translate(dc.origin().x, dc.origin().y);
    area.intersect(dc.drawable());
    if (area.empty()) return;
    surface.before_read();
    fill_area(surface, area, pixel_of(brush.colour));
    surface.after_write();
}

bool inside(DeviceContext& dc, int x, int y) {
    if (x != bounded(x) || y != bounded(y)) return false;
    return dc.drawable().contains(x + dc.origin().x, y + dc.origin().y);
}

std::uint32_t& pixel_at(DeviceContext& dc, int x, int y) {
    PixelSurface& surface = dc.surface();
    return surface.pixels()[static_cast<std::ptrdiff_t>(y + dc.origin().y) * surface.stride() + x + dc.origin().x];
}

}  // namespace

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto lock = lock_drawing();
    return adopt<HBRUSH>(new Brush(BS_SOLID, colour));
}

int FillRect(HDC dc, RECT const* rect, HBRUSH brush) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    Brush* fill = find<Brush>(brush);
    if (context == nullptr || fill == nullptr || rect == nullptr) return 0;
    fill_rect(*context, *rect, *fill);
    return 1;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    auto lock = lock_drawing();
    if (style != PS_SOLID && style != PS_DASH && style != PS_NULL) return nullptr;
    return adopt<HPEN>(new Pen(style, width, colour));
}

BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return FALSE;
    if (previous != nullptr) *previous = context->position;
    context->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return FALSE;
    draw_line(*context, context->position, POINT{x, y});
    context->position = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC dc, POINT const* points, int count) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || points == nullptr || count < 2) return FALSE;
    for (int i = 1; i < count; ++i) draw_line(*context, points[i - 1], points[i]);
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return FALSE;
    left = bounded(left);
    top = bounded(top);
    right = bounded(right);
    bottom = bounded(bottom);
    if (right <= left || bottom <= top) return TRUE;
    if (context->brush() != nullptr) fill_rect(*context, RECT{left, top, right, bottom}, *context->brush());
    POINT const corners[] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top}};
    for (int i = 1; i < 5; ++i) draw_line(*context, corners[i - 1], corners[i]);
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || !inside(*context, x, y)) return CLR_INVALID;
    context->surface().before_read();
    pixel_at(*context, x, y) = pixel_of(colour);
    context->surface().after_write();
    return colour & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || !inside(*context, x, y)) return CLR_INVALID;
    context->surface().before_read();
    return colour_of(pixel_at(*context, x, y));
}
