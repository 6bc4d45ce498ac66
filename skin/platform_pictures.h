// Pictures through the platform: its image decompressor for GIF, BMP and JPEG, and the
// transfer of 32-bit pictures to and from device contexts.
#pragma once

#include <optional>
#include <vector>

#include "platform/gdi.h"
#include "skin/pixel_image.h"

namespace skinner {

// DecompressImageIndirect with a 4096-byte read buffer, scale 100, at most 10000 x 10000
// pixels, at the depth (the screen's when 0).
std::optional<PixelImage> decode_with_platform(const std::vector<std::uint8_t>& bytes, int depth);

// The screen's bits per pixel.
int get_screen_depth();

// The pixels of a rectangle of a device context, and their way back.
PixelImage read_pixels(HDC dc, const RECT& area);
void write_pixels(HDC dc, const RECT& area, const PixelImage& image);

}  // namespace skinner
