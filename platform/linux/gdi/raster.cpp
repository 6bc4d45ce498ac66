#include "platform/linux/gdi/raster.h"

#include <algorithm>

namespace platform::gdi {
namespace {

constexpr unsigned code_srccopy = 0xCC;
constexpr unsigned code_srcpaint = 0xEE;
constexpr unsigned code_srcand = 0x88;
constexpr unsigned code_srcinvert = 0x66;

template <class Operation>
void combine_rows(std::uint32_t* destination, int destination_stride, std::uint32_t const* source, int source_stride,
                  int width, int height, Operation operation) {
    for (int row = 0; row < height; ++row) {
        std::uint32_t* out = destination + static_cast<std::ptrdiff_t>(row) * destination_stride;
        std::uint32_t const* in = source + static_cast<std::ptrdiff_t>(row) * source_stride;
        for (int column = 0; column < width; ++column) out[column] = operation(in[column], out[column]);
    }
}

void combine_box(std::uint32_t* destination, int destination_stride, std::uint32_t const* source, int source_stride,
                 int width, int height, unsigned code, std::uint32_t pattern) {
    switch (code) {
    case code_srccopy:
        combine_rows(destination, destination_stride, source, source_stride, width, height,
                     [](std::uint32_t s, std::uint32_t) { return s; });
        break;
    case code_srcpaint:
        combine_rows(destination, destination_stride, source, source_stride, width, height,
                     [](std::uint32_t s, std::uint32_t d) { return s | d; });
        break;
    case code_srcand:
        combine_rows(destination, destination_stride, source, source_stride, width, height,
                     [](std::uint32_t s, std::uint32_t d) { return s & d; });
        break;
    case code_srcinvert:
        combine_rows(destination, destination_stride, source, source_stride, width, height,
                     [](std::uint32_t s, std::uint32_t d) { return s ^ d; });
        break;
    default:
        combine_rows(destination, destination_stride, source, source_stride, width, height,
                     [code, pattern](std::uint32_t s, std::uint32_t d) { return apply_rop3(code, pattern, s, d); });
        break;
    }
}

}  // namespace

void fill_area(PixelSurface& surface, Area const& area, std::uint32_t value) {
    int count = 0;
    pixman_box32_t const* boxes = area.boxes(&count);
    for (int i = 0; i < count; ++i) {
        pixman_fill(surface.pixels(), surface.stride(), 32, boxes[i].x1, boxes[i].y1, boxes[i].x2 - boxes[i].x1,
                    boxes[i].y2 - boxes[i].y1, value);
    }
}

pixman_image_t* image_of(PixelSurface& surface) {
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, surface.width(), surface.height(), surface.pixels(),
                                    surface.stride() * 4);
}

std::uint32_t apply_rop3(unsigned code, std::uint32_t pattern, std::uint32_t source, std::uint32_t destination) {
    std::uint32_t result = 0;
    for (unsigned term = 0; term < 8; ++term) {
        if ((code >> term & 1) == 0) continue;
        result |= (term & 4 ? pattern : ~pattern) & (term & 2 ? source : ~source) &
                  (term & 1 ? destination : ~destination);
    }
    return result;
}

void combine_block(PixelSurface& destination, Area const& area, int x, int y, int width, int height,
                   std::uint32_t const* source, int source_stride, unsigned code, std::uint32_t pattern) {
    Area target(x, y, x + width, y + height);
    target.intersect(area);
    int count = 0;
    pixman_box32_t const* boxes = target.boxes(&count);
    for (int i = 0; i < count; ++i) {
        pixman_box32_t const& box = boxes[i];
        std::uint32_t* out = destination.pixels() + static_cast<std::ptrdiff_t>(box.y1) * destination.stride() + box.x1;
        std::uint32_t const* in = source + static_cast<std::ptrdiff_t>(box.y1 - y) * source_stride + (box.x1 - x);
        combine_box(out, destination.stride(), in, source_stride, box.x2 - box.x1, box.y2 - box.y1, code, pattern);
    }
}

}  // namespace platform::gdi
