// Pixel work shared by the drawing calls: fills, raster operations and pixman images.
#pragma once

#include <pixman.h>

#include <cstdint>

#include "platform/linux/gdi/area.h"
#include "platform/linux/gdi/surface.h"

namespace platform::gdi {

// Writes the pixel value into every pixel of the area (surface coordinates).
void fill_area(PixelSurface& surface, Area const& area, std::uint32_t value);

// A pixman view of the surface's pixels (alpha included); the caller unrefs it.
pixman_image_t* image_of(PixelSurface& surface);

// A ternary raster operation's code (bits 16-23 of its value) applied bitwise to
// pattern, source and destination.
std::uint32_t apply_rop3(unsigned code, std::uint32_t pattern, std::uint32_t source, std::uint32_t destination);

// Whether the operation's result depends on the source.
constexpr bool uses_source(unsigned code) { return ((code >> 2) ^ code) & 0x33; }
// Whether the operation's result depends on the destination.
constexpr bool uses_destination(unsigned code) { return ((code >> 1) ^ code) & 0x55; }
// Whether the operation's result depends on the pattern.
constexpr bool uses_pattern(unsigned code) { return ((code >> 4) ^ code) & 0x0F; }

// Combines a block of source pixels into the destination at (x, y) by the operation, only
// inside the area (surface coordinates). Source rows are `source_stride` pixels apart.
void combine_block(PixelSurface& destination, Area const& area, int x, int y, int width, int height,
                   std::uint32_t const* source, int source_stride, unsigned code, std::uint32_t pattern);

}  // namespace platform::gdi
