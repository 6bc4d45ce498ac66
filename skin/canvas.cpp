#include "skin/canvas.h"

#include <algorithm>

namespace skinner {

CanvasImpl::CanvasImpl(HDC dc, POINT position, POINT size) : dc_(dc) {
    clips_.push_back({position.x, position.y, position.x + size.x, position.y + size.y});
    apply_clip();
}

void CanvasImpl::fill_rect(POINT position, POINT size, COLORREF colour) {
    RECT rect{position.x, position.y, position.x + size.x, position.y + size.y};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void CanvasImpl::draw_line(POINT from, POINT to, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 0, colour);
    HGDIOBJ previous = SelectObject(dc_, pen);
    const POINT points[2] = {from, to};
    Polyline(dc_, points, 2);
    SelectObject(dc_, previous);
    DeleteObject(pen);
}

void CanvasImpl::push_clip(POINT position, POINT size) {
    const RECT& current = clips_.back();
    RECT clip{std::max<LONG>(current.left, position.x), std::max<LONG>(current.top, position.y),
              std::min<LONG>(current.right, position.x + size.x), std::min<LONG>(current.bottom, position.y + size.y)};
    if (clip.right < clip.left || clip.bottom < clip.top) {
        clip.right = clip.left;
        clip.bottom = clip.top;
    }
    clips_.push_back(clip);
    apply_clip();
}

// The base rectangle stays: painting code pairs every push with one pop.
void CanvasImpl::pop_clip() {
    if (clips_.size() > 1) clips_.pop_back();
    apply_clip();
}

void CanvasImpl::apply_clip() {
    const RECT& clip = clips_.back();
    SelectClipRgn(dc_, nullptr);
    IntersectClipRect(dc_, clip.left, clip.top, clip.right, clip.bottom);
}

}  // namespace skinner
