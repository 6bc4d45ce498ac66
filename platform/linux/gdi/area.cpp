#include "platform/linux/gdi/area.h"

#include <algorithm>
#include <limits>

namespace platform::gdi {
namespace {

int clamp_coordinate(int value) { return bounded(value); }

}  // namespace

Area::Area() { pixman_region32_init(&region_); }

Area::Area(int left, int top, int right, int bottom) {
    left = clamp_coordinate(left);
    top = clamp_coordinate(top);
    right = clamp_coordinate(right);
    bottom = clamp_coordinate(bottom);
    if (right <= left || bottom <= top) {
        pixman_region32_init(&region_);
    } else {
        pixman_region32_init_rect(&region_, left, top, static_cast<unsigned>(right - left),
                                  static_cast<unsigned>(bottom - top));
    }
}

Area::Area(Area const& other) {
    pixman_region32_init(&region_);
    pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
}

Area& Area::operator=(Area const& other) {
    if (this != &other) pixman_region32_copy(&region_, const_cast<pixman_region32_t*>(&other.region_));
    return *this;
}

Area::~Area() { pixman_region32_fini(&region_); }

void Area::intersect(Area const& other) {
    pixman_region32_intersect(&region_, &region_, const_cast<pixman_region32_t*>(&other.region_));
}

void Area::unite(Area const& other) {
    pixman_region32_union(&region_, &region_, const_cast<pixman_region32_t*>(&other.region_));
}

void Area::subtract(Area const& other) {
    pixman_region32_subtract(&region_, &region_, const_cast<pixman_region32_t*>(&other.region_));
}

void Area::exclusive_or(Area const& other) {
    Area both = *this;
    both.intersect(other);
    unite(other);
    subtract(both);
}

void Area::translate(int dx, int dy) {
    RECT box = bounds();
    if (empty()) return;
    long long const limit = coordinate_limit;
    if (box.left + static_cast<long long>(dx) < -limit || box.right + static_cast<long long>(dx) > limit ||
        box.top + static_cast<long long>(dy) < -limit || box.bottom + static_cast<long long>(dy) > limit) {
        pixman_region32_clear(&region_);
        return;
    }
    pixman_region32_translate(&region_, dx, dy);
}

bool Area::empty() const {
    return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&region_));
}

bool Area::contains(int x, int y) const {
    return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&region_), x, y, nullptr);
}

bool Area::operator==(Area const& other) const {
    return pixman_region32_equal(const_cast<pixman_region32_t*>(&region_),
                                 const_cast<pixman_region32_t*>(&other.region_));
}

RECT Area::bounds() const {
    if (empty()) return RECT{0, 0, 0, 0};
    pixman_box32_t const* box = pixman_region32_extents(const_cast<pixman_region32_t*>(&region_));
    return RECT{box->x1, box->y1, box->x2, box->y2};
}

int Area::complexity() const {
    if (empty()) return NULLREGION;
    return pixman_region32_n_rects(const_cast<pixman_region32_t*>(&region_)) == 1 ? SIMPLEREGION
                                                                                  : COMPLEXREGION;
}

pixman_box32_t const* Area::boxes(int* count) const {
    return pixman_region32_rectangles(const_cast<pixman_region32_t*>(&region_), count);
}

}  // namespace platform::gdi
