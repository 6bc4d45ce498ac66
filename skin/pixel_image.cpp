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

void tile_blit_masked(PixelImage& target, const RECT& destination, const BlitSource& source, const RECT& from) {
    long long sw = from.right - from.left, sh = from.bottom - from.top;
    if (sw < 1 || sh < 1 || destination.right <= destination.left || destination.bottom <= destination.top) return;
    RECT r = clipped_to(target, destination);
    for (int y = r.top; y < r.bottom; ++y) {
        int sy = static_cast<int>(from.top + (y - destination.top) % sh);
        for (int x = r.left; x < r.right; ++x)
            put(target.at(x, y), source, static_cast<int>(from.left + (x - destination.left) % sw), sy);
    }
}

namespace {

// Where a destination pixel's centre falls in a source span, in 1/256 of a source pixel,
// kept between the first and the last source pixel.
long long source_position(long long offset, long long destination_size, long long source_size) {
    long long position = (2 * offset + 1) * source_size * 256 / (2 * destination_size) - 128;
    return std::clamp(position, 0LL, (source_size - 1) * 256);
}

std::uint32_t weighed(std::uint32_t p00, std::uint32_t p10, std::uint32_t p01, std::uint32_t p11, std::uint32_t fx,
                      std::uint32_t fy) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        auto byte = [shift](std::uint32_t p) -> std::uint64_t { return (p >> shift) & 0xFF; };
        std::uint64_t sum = byte(p00) * (256 - fx) * (256 - fy) + byte(p10) * fx * (256 - fy) +
                            byte(p01) * (256 - fx) * fy + byte(p11) * fx * fy;
        result |= static_cast<std::uint32_t>((sum + 32768) >> 16) << shift;
    }
    return result;
}

}  // namespace

void smooth_stretch_blit(PixelImage& target, const RECT& destination, const PixelImage& source, const RECT& from) {
    long long dw = destination.right - destination.left, dh = destination.bottom - destination.top;
    RECT inside_source = clipped_to(source, from);
    long long sw = inside_source.right - inside_source.left, sh = inside_source.bottom - inside_source.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || from.right - from.left != sw || from.bottom - from.top != sh) {
        if (dw > 0 && dh > 0) stretch_blit(target, destination, {&source, nullptr}, from);
        return;
    }
    RECT r = clipped_to(target, destination);
    for (int y = r.top; y < r.bottom; ++y) {
        long long py = source_position(y - destination.top, dh, sh);
        int y0 = static_cast<int>(from.top + py / 256);
        int y_next = std::min<int>(y0 + 1, static_cast<int>(from.bottom - 1));
        auto fy = static_cast<std::uint32_t>(py % 256);
        for (int x = r.left; x < r.right; ++x) {
            long long px = source_position(x - destination.left, dw, sw);
            int x0 = static_cast<int>(from.left + px / 256);
            int x_next = std::min<int>(x0 + 1, static_cast<int>(from.right - 1));
            target.at(x, y) = weighed(source.at(x0, y0), source.at(x_next, y0), source.at(x0, y_next), source.at(x_next, y_next),
                                      static_cast<std::uint32_t>(px % 256), fy);
        }
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
