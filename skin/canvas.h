// The drawing handle that controls paint through: a device context and a stack of clip
// rectangles, the bottom one given at construction and the top one in force.
#pragma once

#include <vector>

#include "foundation/nocopy.h"
#include "platform/gdi.h"

namespace skinner {

class CanvasImpl : liba::Nocopy {
public:
    // Draws on the context (not owned) and clips to the rectangle at position with size.
    CanvasImpl(HDC dc, POINT position, POINT size);
    virtual ~CanvasImpl() = default;

    // Colours are red | green << 8 | blue << 16.
    void fill_rect(POINT position, POINT size, COLORREF colour);
    // A one-pixel line; the end point is not drawn.
    void draw_line(POINT from, POINT to, COLORREF colour);
    // Clips to the overlap of the rectangle with the clip in force (empty when none).
    void push_clip(POINT position, POINT size);
    void pop_clip();

    HDC get_dc() const { return dc_; }
    const RECT& get_clip() const { return clips_.back(); }

private:
    void apply_clip();

    HDC dc_;
    std::vector<RECT> clips_;
};

class Canvas {
public:
    explicit Canvas(CanvasImpl* impl) : impl_(impl) {}

    void fill_rect(POINT position, POINT size, COLORREF colour) { impl_->fill_rect(position, size, colour); }
    void draw_line(POINT from, POINT to, COLORREF colour) { impl_->draw_line(from, to, colour); }
    void push_clip(POINT position, POINT size) { impl_->push_clip(position, size); }
    void pop_clip() { impl_->pop_clip(); }
    HDC get_dc() const { return impl_->get_dc(); }
    const RECT& get_clip() const { return impl_->get_clip(); }

private:
    CanvasImpl* impl_;
};

}  // namespace skinner
