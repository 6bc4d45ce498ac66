// BitBlt, StretchBlt and PatBlt.
#include <algorithm>
#include <vector>

#include "platform/linux/gdi/device_context.h"
#include "platform/linux/gdi/raster.h"

using namespace platform::gdi;

namespace {

constexpr unsigned code_srccopy = 0xCC;
constexpr unsigned code_patcopy = 0xF0;
constexpr unsigned code_blackness = 0x00;
constexpr unsigned code_whiteness = 0xFF;

unsigned code_of(DWORD raster_operation) { return raster_operation >> 16 & 0xFF; }

std::uint32_t pattern_of(DeviceContext& dc) {
    Brush const* brush = dc.brush();
    return brush != nullptr && !brush->is_null() ? pixel_of(brush->colour) : 0;
}

// A rectangle in surface coordinates.
struct Box {
    int x;
    int y;
    int width;
    int height;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Writes into the destination's pixels, bringing them up to date first and storing them
// back after.
template <class Work>
void write_to(PixelSurface& surface, Work work) {
    surface.before_read();
    work();
    surface.after_write();
}

void copy_with_pixman(PixelSurface& destination, Area& area, Box to, PixelSurface& source, int source_x,
                      int source_y) {
    pixman_image_t* destination_image = image_of(destination);
    pixman_image_t* source_image = image_of(source);
    pixman_image_set_clip_region32(destination_image, area.raw());
    pixman_image_composite32(PIXMAN_OP_SRC, source_image, nullptr, destination_image, source_x, source_y, 0, 0,
                             to.x, to.y, to.width, to.height);
    pixman_image_unref(source_image);
    pixman_image_unref(destination_image);
}

std::vector<std::uint32_t> copy_block(PixelSurface& source, Box from) {
    std::vector<std::uint32_t> block(static_cast<std::size_t>(from.width) * from.height);
    for (int row = 0; row < from.height; ++row) {
        std::uint32_t const* in = source.pixels() + static_cast<std::ptrdiff_t>(from.y + row) * source.stride() + from.x;
        std::copy_n(in, from.width, block.begin() + static_cast<std::ptrdiff_t>(row) * from.width);
    }
    return block;
}

// Shrinks a source box to the source surface, moving the destination box with it.
void fit_source(PixelSurface const& source, Box& from, Box& to) {
    int const left = std::max(0, -from.x);
    int const top = std::max(0, -from.y);
    int const right = std::max(0, from.x + from.width - source.width());
    int const bottom = std::max(0, from.y + from.height - source.height());
    from = Box{from.x + left, from.y + top, from.width - left - right, from.height - top - bottom};
    to = Box{to.x + left, to.y + top, from.width, from.height};
}

BOOL pattern_blit(DeviceContext& dc, int x, int y, int width, int height, unsigned code) {
    if (width <= 0 || height <= 0) return TRUE;
    if (uses_pattern(code) && (dc.brush() == nullptr || dc.brush()->is_null())) return TRUE;
    PixelSurface& surface = dc.surface();
    Area area = dc.drawable();
    int const left = x + dc.origin().x;
    int const top = y + dc.origin().y;
    area.intersect(Area(left, top, left + width, top + height));
    write_to(surface, [&] {
        if (code == code_patcopy || code == code_blackness || code == code_whiteness) {
            std::uint32_t const value = code == code_patcopy ? pattern_of(dc) : code == code_blackness ? 0 : 0xFFFFFF;
            fill_area(surface, area, value);
            return;
        }
        RECT const box = area.bounds();
        if (area.empty()) return;
        std::uint32_t const* start = surface.pixels() + static_cast<std::ptrdiff_t>(box.top) * surface.stride() + box.left;
        combine_block(surface, area, box.left, box.top, box.right - box.left, box.bottom - box.top, start,
                      surface.stride(), code, pattern_of(dc));
    });
    return TRUE;
}

BOOL stretch(DeviceContext& destination, Box to, DeviceContext& source, Box from, unsigned code) {
    PixelSurface& target = destination.surface();
    PixelSurface& origin = source.surface();
    Area area = destination.drawable();
    area.intersect(Area(to.x, to.y, to.x + to.width, to.y + to.height));
    if (area.empty()) return TRUE;
    RECT const bounds = area.bounds();
    Box const part{bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
    origin.before_read();
    std::vector<std::uint32_t> block(static_cast<std::size_t>(part.width) * part.height);
    pixman_image_t* block_image = pixman_image_create_bits(PIXMAN_a8r8g8b8, part.width, part.height, block.data(),
                                                           part.width * 4);
    pixman_image_t* source_image = image_of(origin);
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(static_cast<double>(from.width) / to.width),
                                pixman_double_to_fixed(static_cast<double>(from.height) / to.height));
    transform.matrix[0][2] = pixman_int_to_fixed(from.x);
    transform.matrix[1][2] = pixman_int_to_fixed(from.y);
    pixman_image_set_transform(source_image, &transform);
    pixman_image_set_filter(source_image, PIXMAN_FILTER_NEAREST, nullptr, 0);
    pixman_image_composite32(PIXMAN_OP_SRC, source_image, nullptr, block_image, part.x - to.x, part.y - to.y, 0, 0,
                             0, 0, part.width, part.height);
    pixman_image_unref(source_image);
    pixman_image_unref(block_image);
    write_to(target, [&] {
        combine_block(target, area, part.x, part.y, part.width, part.height, block.data(), part.width, code,
                      pattern_of(destination));
    });
    return TRUE;
}

}  // namespace

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD raster_operation) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return FALSE;
    return pattern_blit(*context, bounded(x), bounded(y), bounded(width), bounded(height), code_of(raster_operation));
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int source_x, int source_y,
            DWORD raster_operation) {
    auto lock = lock_drawing();
    x = bounded(x);
    y = bounded(y);
    width = bounded(width);
    height = bounded(height);
    source_x = bounded(source_x);
    source_y = bounded(source_y);
    unsigned const code = code_of(raster_operation);
    DeviceContext* target = find<DeviceContext>(destination);
    if (target == nullptr) return FALSE;
    if (!uses_source(code)) return pattern_blit(*target, x, y, width, height, code);
    DeviceContext* origin = find<DeviceContext>(source);
    if (origin == nullptr) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    PixelSurface& from_surface = origin->surface();
    PixelSurface& to_surface = target->surface();
    Box from{source_x + origin->origin().x, source_y + origin->origin().y, width, height};
    Box to{x + target->origin().x, y + target->origin().y, width, height};
    fit_source(from_surface, from, to);
    if (from.empty()) return TRUE;
    Area area = target->drawable();
    area.intersect(Area(to.x, to.y, to.x + to.width, to.y + to.height));
    if (area.empty()) return TRUE;
    from_surface.before_read();
    bool const same = &from_surface == &to_surface;
    write_to(to_surface, [&] {
        if (code == code_srccopy && !same) {
            copy_with_pixman(to_surface, area, to, from_surface, from.x, from.y);
            return;
        }
        std::vector<std::uint32_t> const block = copy_block(from_surface, from);
        combine_block(to_surface, area, to.x, to.y, to.width, to.height, block.data(), from.width, code,
                      pattern_of(*target));
    });
    return TRUE;
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int source_x, int source_y,
                int source_width, int source_height, DWORD raster_operation) {
    auto lock = lock_drawing();
    if (width == source_width && height == source_height) {
        return BitBlt(destination, x, y, width, height, source, source_x, source_y, raster_operation);
    }
    x = bounded(x);
    y = bounded(y);
    width = bounded(width);
    height = bounded(height);
    source_x = bounded(source_x);
    source_y = bounded(source_y);
    source_width = bounded(source_width);
    source_height = bounded(source_height);
    unsigned const code = code_of(raster_operation);
    DeviceContext* target = find<DeviceContext>(destination);
    DeviceContext* origin = find<DeviceContext>(source);
    if (target == nullptr) return FALSE;
    if (!uses_source(code)) return pattern_blit(*target, x, y, width, height, code);
    if (origin == nullptr || width <= 0 || height <= 0 || source_width <= 0 || source_height <= 0) return FALSE;
    Box const to{x + target->origin().x, y + target->origin().y, width, height};
    Box const from{source_x + origin->origin().x, source_y + origin->origin().y, source_width, source_height};
    return stretch(*target, to, *origin, from, code);
}
