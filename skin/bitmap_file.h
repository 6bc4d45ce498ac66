// Uncompressed bitmap files (the 14-byte file header, the 40-byte info header, a colour table
// and the rows) read from untrusted bytes into a 32-bit picture.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "skin/pixel_image.h"

namespace skinner {

// The picture, or nothing when the file is not an uncompressed (BI_RGB) bitmap of 1, 4, 8, 16,
// 24 or 32 bits whose colour table and rows lie inside the bytes. Bottom-up and top-down files
// are both read; pixels come out with alpha 0, as the drawing layer's bitmaps hold them.
std::optional<PixelImage> read_bitmap_file(const std::vector<std::uint8_t>& bytes);

}  // namespace skinner
