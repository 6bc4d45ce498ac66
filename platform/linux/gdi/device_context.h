// A device context: the surface it draws on, the selected objects, the clip and the text
// settings.
#pragma once

#include <optional>

#include "platform/linux/gdi/area.h"
#include "platform/linux/gdi/bitmap.h"
#include "platform/linux/gdi/object.h"
#include "platform/linux/gdi/tools.h"

namespace platform::gdi {

class Font;

class DeviceContext : public Object {
public:
    static constexpr Kind object_kind = Kind::dc;

    // A memory device context with the stock objects selected.
    DeviceContext();
    ~DeviceContext() override;

    // The hook for device contexts of other surfaces (a window's): draws on the surface,
    // with the context's (0, 0) at the origin in surface coordinates, never outside the
    // visible area (surface coordinates). A memory context draws on its selected bitmap.
    void set_target(PixelSurface* surface, POINT origin, Area visible);
    bool is_memory() const { return target_ == nullptr; }

    PixelSurface& surface();
    POINT origin() const { return origin_; }
    // What the next drawing call may touch, in surface coordinates: the surface, the
    // visible area and the clip.
    Area drawable();

    Bitmap* bitmap() const { return bitmap_; }
    Brush* brush() const { return brush_; }
    Pen* pen() const { return pen_; }
    Font* font() const { return font_; }
    // Each returns the object it replaced.
    Bitmap* select(Bitmap* bitmap);
    Brush* select(Brush* brush);
    Pen* select(Pen* pen);
    Font* select(Font* font);

    std::optional<Area> clip;  // context coordinates
    COLORREF text_colour = 0;
    COLORREF background_colour = 0xFFFFFF;
    int background_mode = OPAQUE;
    POINT position{0, 0};

private:
    template <class T>
    T* swap_selection(T*& slot, T* object);

    PixelSurface* target_ = nullptr;
    POINT origin_{0, 0};
    Area visible_;
    Bitmap* bitmap_ = nullptr;
    Brush* brush_ = nullptr;
    Pen* pen_ = nullptr;
    Font* font_ = nullptr;
};

// The stock objects, made at first use and never deleted.
HGDIOBJ stock_object(int index);
Bitmap* stock_bitmap();

// The screen's size and density (SONBRIX_DISPLAY_SIZE).
struct ScreenMetrics {
    int width;
    int height;
    int dots_per_inch;
};
ScreenMetrics screen_metrics();
// The window system tells the drawing layer the screen's metrics once it knows them (and
// after a size change); until then they come from SONBRIX_DISPLAY_SIZE.
void set_screen_metrics(ScreenMetrics metrics);

}  // namespace platform::gdi
