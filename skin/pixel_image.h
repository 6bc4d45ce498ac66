// A 32-bit picture in memory (blue, green, red, alpha in memory order, rows top-down) and the
// blits that skin drawing is made of: copy, stretch, tile, fill, masked drawing and blending.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/windows.h"

namespace skinner {

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    PixelImage() = default;
    PixelImage(int w, int h, std::uint32_t value = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), value) {}

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// How source pixels land on the destination: copied, or (with a mask whose white marks
// opaque pixels) the mask ORed in and then the colour ANDed in.
struct BlitSource {
    const PixelImage* colour = nullptr;
    const PixelImage* mask = nullptr;
};

// Copies the source rectangle 1:1 to the destination rectangle's top-left; both are clipped.
void blit(PixelImage& target, const RECT& destination, const BlitSource& source, int source_x, int source_y);
// Scales the source rectangle onto the destination rectangle (nearest pixel); nothing unless
// all four sizes are positive.
void stretch_blit(PixelImage& target, const RECT& destination, const BlitSource& source, const RECT& from);
// Covers the destination with copies of the source block, left to right and top to bottom
// (through the mask when the source has one).
void tile_blit_masked(PixelImage& target, const RECT& destination, const BlitSource& source, const RECT& from);
// Scales the source rectangle onto the destination rectangle, each destination pixel weighed
// from the four source pixels nearest its centre (all four bytes, alpha too), never reading
// outside the source rectangle; nothing unless all four sizes are positive.
void smooth_stretch_blit(PixelImage& target, const RECT& destination, const PixelImage& source, const RECT& from);
// Fills the destination with the colour pixel at (x, y) unless the mask there is not white.
void fill_from_pixel(PixelImage& target, const RECT& destination, const BlitSource& source, int x, int y);
// Blends the source (alpha in the top byte) over the destination rectangle's pixels, two
// channels at a time.
void blend(PixelImage& target, const RECT& destination, const PixelImage& source);

// Fills a rectangle with a value, clipped.
void fill(PixelImage& target, const RECT& destination, std::uint32_t value);

}  // namespace skinner
