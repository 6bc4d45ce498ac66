// An off-screen 32-bit top-down bitmap with direct access to its rows: a skin picture
// rendered at a target size with its mask as alpha, or a snapshot of a canvas region.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/nocopy.h"
#include "platform/gdi.h"
#include "skin/canvas.h"
#include "skin/picture_ref.h"

namespace skinner {

class PictureSurface : liba::Nocopy {
public:
    // The picture part rendered at the target size (each side rounded up to a power of two
    // with the flag; the pixels outside the target size are 0).
    PictureSurface(const PictureRef& picture, POINT target_size, bool power_of_two);
    // A copy of the canvas region at the point, fully opaque.
    PictureSurface(Canvas& canvas, POINT source, POINT size);
    ~PictureSurface() { release(); }

    void blit_to(Canvas& canvas, POINT point) const;
    // Frees the rows and deletes the bitmap.
    void release();

    HBITMAP get_bitmap() const { return bitmap_; }
    int get_width() const { return width_; }
    int get_height() const { return height_; }
    std::uint32_t* row(int y) const { return rows_[std::size_t(y)]; }

private:
    // A DIB section of the size with its row table; false when it could not be made.
    bool create_dib(POINT size);

    HBITMAP bitmap_ = nullptr;
    std::vector<std::uint32_t*> rows_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace skinner
