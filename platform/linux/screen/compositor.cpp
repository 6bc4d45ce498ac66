#include "platform/linux/screen/compositor.h"

#include <pixman.h>

#include <algorithm>

namespace platform::screen {

struct Compositor::Damage {
    Damage() { pixman_region32_init(&region); }
    ~Damage() { pixman_region32_fini(&region); }
    pixman_region32_t region;
};

namespace {

std::vector<ScreenRect> rectangles_of(pixman_region32_t* region) {
    int count = 0;
    pixman_box32_t const* boxes = pixman_region32_rectangles(region, &count);
    std::vector<ScreenRect> rects;
    rects.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) rects.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    return rects;
}

// Composes the layer into the part of area it covers and takes that part out of area, so
// that every damaged pixel is written once, by the topmost layer over it.
void compose_layer(pixman_image_t* frame, pixman_region32_t* area, const Layer& layer) {
    auto const& rect = layer.rect;
    auto const& source = *layer.pixels;
    int const width = std::min(rect.right - rect.left, source.width());
    int const height = std::min(rect.bottom - rect.top, source.height());
    pixman_region32_t covered;
    pixman_region32_init_rect(&covered, rect.left, rect.top, static_cast<unsigned>(width), static_cast<unsigned>(height));
    pixman_region32_intersect(&covered, &covered, area);
    if (pixman_region32_not_empty(&covered)) {
        // pixman wants a writable pointer, but a source image is only read.
        pixman_image_t* image = pixman_image_create_bits(PIXMAN_x8r8g8b8, source.width(), source.height(),
                                                         const_cast<std::uint32_t*>(source.pixels()), source.stride() * 4);
        if (image) {
            pixman_image_set_clip_region32(frame, &covered);
            pixman_image_composite32(PIXMAN_OP_SRC, image, nullptr, frame, 0, 0, 0, 0, rect.left, rect.top, width, height);
            pixman_image_unref(image);
        }
        pixman_region32_subtract(area, area, &covered);
    }
    pixman_region32_fini(&covered);
}

void blend_overlay(pixman_image_t* frame, pixman_region32_t* area, const Layer& overlay) {
    auto const& rect = overlay.rect;
    auto const& source = *overlay.pixels;
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, source.width(), source.height(),
                                                     const_cast<std::uint32_t*>(source.pixels()), source.stride() * 4);
    if (!image) return;
    pixman_image_set_clip_region32(frame, area);
    pixman_image_composite32(PIXMAN_OP_OVER, image, nullptr, frame, 0, 0, 0, 0, rect.left, rect.top,
                             std::min(rect.right - rect.left, source.width()), std::min(rect.bottom - rect.top, source.height()));
    pixman_image_unref(image);
}

}  // namespace

Compositor::Compositor(int width, int height) : damage_(std::make_unique<Damage>()) { resize(width, height); }

Compositor::~Compositor() = default;

void Compositor::resize(int width, int height) {
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background);
    damage_all();
}

void Compositor::damage(const ScreenRect& rect) {
    pixman_region32_union_rect(&damage_->region, &damage_->region, rect.left, rect.top,
                               static_cast<unsigned>(rect.right - rect.left), static_cast<unsigned>(rect.bottom - rect.top));
    pixman_region32_intersect_rect(&damage_->region, &damage_->region, 0, 0, static_cast<unsigned>(width_),
                                   static_cast<unsigned>(height_));
}

void Compositor::damage_all() { damage({0, 0, width_, height_}); }

bool Compositor::has_damage() const { return pixman_region32_not_empty(&damage_->region) != 0; }

std::vector<ScreenRect> Compositor::compose(const std::vector<Layer>& layers, const std::vector<Layer>& overlays) {
    if (!has_damage()) return {};
    auto rects = rectangles_of(&damage_->region);
    pixman_image_t* frame = pixman_image_create_bits(PIXMAN_x8r8g8b8, width_, height_, pixels_.data(), width_ * 4);
    pixman_region32_t whole_damage;
    pixman_region32_init(&whole_damage);
    pixman_region32_copy(&whole_damage, &damage_->region);
    // Top layer first; what no layer covers gets the background.
    for (auto layer = layers.rbegin(); layer != layers.rend(); ++layer) {
        if (!pixman_region32_not_empty(&damage_->region)) break;
        compose_layer(frame, &damage_->region, *layer);
    }
    if (pixman_region32_not_empty(&damage_->region)) {
        pixman_image_set_clip_region32(frame, &damage_->region);
        pixman_color_t const black{0, 0, 0, 0xFFFF};
        pixman_rectangle16_t const whole{0, 0, static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_)};
        pixman_image_fill_rectangles(PIXMAN_OP_SRC, frame, &black, 1, &whole);
    }
    for (auto const& overlay : overlays) blend_overlay(frame, &whole_damage, overlay);
    pixman_region32_fini(&whole_damage);
    pixman_image_unref(frame);
    pixman_region32_clear(&damage_->region);
    return rects;
}

display::Frame Compositor::frame() const { return {pixels_.data(), width_, height_, width_}; }

}  // namespace platform::screen
