#include "skin/pixel_image.h"

#include <algorithm>

namespace skinner {

namespace {

constexpr std::uint32_t colour_bits = 0x00FFFFFF;

RECT clipped_to(const PixelImage& image, const RECT& r) {
    return {std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, image.width),
            std::min<LONG>(r.bottom, image.height)};
}

bool inside(const PixelImage& image, int x, int y) { return x >= 0 && y >= 0 && x < image.width && y < image.height; }

// The value that lands on a destination pixel from source pixel (x, y).
void put(std::uint32_t& out, const BlitSource& source, int x, int y) {
    if (!inside(*source.colour, x, y)) return;
    std::uint32_t colour = source.colour->at(x, y);
    if (source.mask == nullptr) {
        out = colour;
        return;
    }
    std::uint32_t mask = inside(*source.mask, x, y) ? source.mask->at(x, y) : 0;
    out = (out | mask) & colour;
}

}  // namespace

void blit(PixelImage& target, const RECT& destination, const BlitSource& source, int source_x, int source_y) {
    RECT r = clipped_to(target, destination);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            put(target.at(x, y), source, source_x + x - destination.left, source_y + y - destination.top);
}

void stretch_blit(PixelImage& target, const RECT& destination, const BlitSource& source, const RECT& from) {
    long long dw = destination.right - destination.left, dh = destination.bottom - destination.top;
    long long sw = from.right - from.left, sh = from.bottom - from.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    RECT r = clipped_to(target, destination);
    for (int y = r.top; y < r.bottom; ++y) {
        int sy = static_cast<int>(from.top + (y - destination.top) * sh / dh);
        for (int x = r.left; x < r.right; ++x) {
            int sx = static_cast<int>(from.left + (x - destination.left) * sw / dw);
            put(target.at(x, y), source, sx, sy);
        }
    }
}

void tile_blit(PixelImage& target, const RECT& destination, const BlitSource& source, const RECT& from) {
    long long sw = from.right - from.left, sh = from.bottom - from.top;
    if (sw < 1 || sh < 1 || destination.right <= destination.left || destination.bottom <= destination.top) return;
    RECT r = clipped_to(target, destination);
    for (int y = r.top; y < r.bottom; ++y) {
        int sy = static_cast<int>(from.top + (y - destination.top) % sh);
        for (int x = r.left; x < r.right; ++x)
            put(target.at(x, y), source, static_cast<int>(from.left + (x - destination.left) % sw), sy);
    }
}

void fill_from_pixel(PixelImage& target, const RECT& destination, const BlitSource& source, int x, int y) {
    if (!inside(*source.colour, x, y)) return;
    if (source.mask != nullptr && (!inside(*source.mask, x, y) || (source.mask->at(x, y) & colour_bits) != colour_bits))
        return;
    fill(target, destination, source.colour->at(x, y));
}

void blend(PixelImage& target, const RECT& destination, const PixelImage& source) {
    RECT r = clipped_to(target, destination);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            int sx = x - destination.left, sy = y - destination.top;
            if (!inside(source, sx, sy)) continue;
            std::uint32_t s = source.at(sx, sy), d = target.at(x, y), a = s >> 24;
            auto pair = [a](std::uint32_t s2, std::uint32_t d2) {
                return ((((s2 - d2) * a) + (d2 << 8)) >> 8) & 0x00FF00FF;
            };
            std::uint32_t red_blue = pair(s & 0x00FF00FF, d & 0x00FF00FF);
            std::uint32_t green_alpha = pair((s >> 8) & 0x00FF00FF, (d >> 8) & 0x00FF00FF);
            target.at(x, y) = red_blue | green_alpha << 8;
        }
}

void fill(PixelImage& target, const RECT& destination, std::uint32_t value) {
    RECT r = clipped_to(target, destination);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) target.at(x, y) = value;
}

}  // namespace skinner
