// A set of pixels as rectangles (a pixman region), copyable.
#pragma once

#include <pixman.h>

#include "platform/gdi.h"

namespace platform::gdi {

// Coordinates beyond this reach no surface; clamping to it keeps sums from overflowing.
constexpr int coordinate_limit = 1 << 28;
constexpr int bounded(int value) {
    return value < -coordinate_limit ? -coordinate_limit : value > coordinate_limit ? coordinate_limit : value;
}
constexpr RECT bounded(RECT const& rect) {
    return RECT{bounded(rect.left), bounded(rect.top), bounded(rect.right), bounded(rect.bottom)};
}

class Area {
public:
    Area();
    // The rectangle from (left, top) to (right, bottom), right and bottom excluded; empty
    // when inverted.
    Area(int left, int top, int right, int bottom);
    Area(Area const& other);
    Area& operator=(Area const& other);
    ~Area();

    static Area of(RECT const& rect) { return Area(rect.left, rect.top, rect.right, rect.bottom); }

    void intersect(Area const& other);
    void unite(Area const& other);
    void subtract(Area const& other);
    void exclusive_or(Area const& other);
    void translate(int dx, int dy);

    bool empty() const;
    bool contains(int x, int y) const;
    bool operator==(Area const& other) const;
    RECT bounds() const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int complexity() const;

    // The disjoint rectangles that make up the area.
    pixman_box32_t const* boxes(int* count) const;

    pixman_region32_t* raw() { return &region_; }

private:
    pixman_region32_t region_;
};

}  // namespace platform::gdi
