#include "platform/linux/gdi/device_context.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "platform/linux/gdi/font.h"

namespace platform::gdi {

DeviceContext::DeviceContext() : Object(Kind::dc) {
    select(stock_bitmap());
    select(static_cast<Brush*>(find<Brush>(stock_object(WHITE_BRUSH))));
    select(static_cast<Pen*>(find<Pen>(stock_object(BLACK_PEN))));
    select(static_cast<Font*>(find<Font>(stock_object(SYSTEM_FONT))));
}

DeviceContext::~DeviceContext() {
    if (bitmap_ != nullptr) {
        bitmap_->drop_selection();
        bitmap_->set_selected_into(nullptr);
    }
    if (brush_ != nullptr) brush_->drop_selection();
    if (pen_ != nullptr) pen_->drop_selection();
    if (font_ != nullptr) font_->drop_selection();
}

void DeviceContext::set_target(PixelSurface* surface, POINT origin, Area visible) {
    target_ = surface;
    origin_ = POINT{bounded(origin.x), bounded(origin.y)};
    visible_ = std::move(visible);
}

PixelSurface& DeviceContext::surface() {
    if (target_ != nullptr) return *target_;
    return *bitmap_;
}

Area DeviceContext::drawable() {
    PixelSurface& target = surface();
    Area area(0, 0, target.width(), target.height());
    if (target_ != nullptr) area.intersect(visible_);
    if (clip) {
        Area clip_area = *clip;
        clip_area.translate(origin_.x, origin_.y);
        area.intersect(clip_area);
    }
    return area;
}

template <class T>
T* DeviceContext::swap_selection(T*& slot, T* object) {
    T* previous = slot;
    if (previous != nullptr) previous->drop_selection();
    slot = object;
    if (object != nullptr) object->add_selection();
    return previous;
}

Bitmap* DeviceContext::select(Bitmap* bitmap) {
    if (bitmap_ != nullptr && !bitmap_->is_stock()) bitmap_->set_selected_into(nullptr);
    if (!bitmap->is_stock()) bitmap->set_selected_into(this);
    return swap_selection(bitmap_, bitmap);
}

Brush* DeviceContext::select(Brush* brush) { return swap_selection(brush_, brush); }
Pen* DeviceContext::select(Pen* pen) { return swap_selection(pen_, pen); }
Font* DeviceContext::select(Font* font) { return swap_selection(font_, font); }

namespace {

Object* make_stock(int index) {
    switch (index) {
    case WHITE_BRUSH: return new Brush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH: return new Brush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH: return new Brush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH: return new Brush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH: return new Brush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH: return new Brush(BS_NULL, 0);
    case WHITE_PEN: return new Pen(PS_SOLID, 1, RGB(255, 255, 255));
    case BLACK_PEN: return new Pen(PS_SOLID, 1, RGB(0, 0, 0));
    case NULL_PEN: return new Pen(PS_NULL, 1, 0);
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: {
        LOGFONTW description{};
        description.lfHeight = -12 * screen_metrics().dots_per_inch / 96;
        description.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
        std::memcpy(description.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
        return Font::create(description);
    }
    default: return nullptr;
    }
}

}  // namespace

HGDIOBJ stock_object(int index) {
    static std::array<Object*, 18> objects{};
    static std::array<bool, 18> made{};
    if (index < 0 || index >= static_cast<int>(objects.size())) return nullptr;
    if (!made[static_cast<std::size_t>(index)]) {
        made[static_cast<std::size_t>(index)] = true;
        Object* object = make_stock(index);
        if (object != nullptr) {
            object->make_stock();
            adopt_object(object);
        }
        objects[static_cast<std::size_t>(index)] = object;
    }
    Object* const object = objects[static_cast<std::size_t>(index)];
    return object != nullptr ? object->handle() : nullptr;
}

Bitmap* stock_bitmap() {
    static Bitmap* bitmap = [] {
        Bitmap* made = Bitmap::create(1, 1);
        made->make_stock();
        adopt_object(made);
        return made;
    }();
    return bitmap;
}

namespace {

std::atomic<std::uint64_t> told_metrics{0};  // width, height and dpi in 21 bits each; 0: none

}  // namespace

void set_screen_metrics(ScreenMetrics metrics) {
    auto const field = [](int value) { return static_cast<std::uint64_t>(value) & 0x1FFFFF; };
    told_metrics = field(metrics.width) << 42 | field(metrics.height) << 21 | field(metrics.dots_per_inch);
}

ScreenMetrics screen_metrics() {
    if (std::uint64_t const told = told_metrics.load(); told != 0) {
        return {static_cast<int>(told >> 42), static_cast<int>((told >> 21) & 0x1FFFFF), static_cast<int>(told & 0x1FFFFF)};
    }
    char const* size = std::getenv("SONBRIX_DISPLAY_SIZE");
    if (size != nullptr) {
        if (std::strcmp(size, "240x320") == 0) return {240, 320, 96};
        if (std::strcmp(size, "480x800") == 0) return {480, 800, 192};
    }
    return {480, 640, 192};
}

}  // namespace platform::gdi
