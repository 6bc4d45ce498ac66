#include "skin/pixels32.h"

#include <algorithm>

#include "skin/platform_pictures.h"

namespace skinner {

Pixels32::Pixels32(Canvas& canvas, const RECT& rectangle) : canvas_(canvas) {
    const RECT& clip = canvas.get_clip();
    area_ = {std::max(clip.left, rectangle.left), std::max(clip.top, rectangle.top),
             std::min(clip.right, rectangle.right), std::min(clip.bottom, rectangle.bottom)};
    if (area_.right > area_.left && area_.bottom > area_.top) pixels_ = read_pixels(canvas.get_dc(), area_);
}

void Pixels32::write_back() const {
    if (!empty()) write_pixels(canvas_.get_dc(), area_, pixels_);
}

}  // namespace skinner
