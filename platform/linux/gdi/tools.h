// Brushes and pens, and the colour conversions between COLORREF values and pixels.
#pragma once

#include <cstdint>

#include "platform/linux/gdi/object.h"

namespace platform::gdi {

// A colour value (red in the low byte) as a pixel (red in bits 16-23), alpha 0.
constexpr std::uint32_t pixel_of(COLORREF colour) {
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}
constexpr COLORREF colour_of(std::uint32_t pixel) {
    return (pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16;
}

class Brush : public Object {
public:
    static constexpr Kind object_kind = Kind::brush;
    Brush(UINT style, COLORREF colour) : Object(Kind::brush), style(style), colour(colour & 0xFFFFFF) {}
    bool is_null() const { return style == BS_NULL; }
    UINT style;
    COLORREF colour;
};

class Pen : public Object {
public:
    static constexpr Kind object_kind = Kind::pen;
    Pen(int style, int width, COLORREF colour)
        : Object(Kind::pen), style(style), width(width < 1 ? 1 : width), colour(colour & 0xFFFFFF) {}
    bool is_null() const { return style == PS_NULL; }
    int style;
    int width;
    COLORREF colour;
};

}  // namespace platform::gdi
