// The 32-bit pixels of a canvas rectangle, for drawing in memory: the part of the rectangle
// inside the canvas clip is read when made and written back on request.
#pragma once

#include "foundation/nocopy.h"
#include "skin/canvas.h"
#include "skin/pixel_image.h"

namespace skinner {

class Pixels32 : liba::Nocopy {
public:
    Pixels32(Canvas& canvas, const RECT& rectangle);

    // True when nothing of the rectangle is visible (or it could not be read).
    bool empty() const { return pixels_.empty(); }
    PixelImage& get_pixels() { return pixels_; }
    // The canvas point that pixel (0, 0) shows.
    POINT get_origin() const { return {area_.left, area_.top}; }
    void write_back() const;

private:
    Canvas& canvas_;
    RECT area_;
    PixelImage pixels_;
};

}  // namespace skinner
