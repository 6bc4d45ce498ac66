#include "foundation/small_helpers.h"

#include <cstdio>

double clamp(double x, double lo, double hi) {
    if (x < lo) return lo;
    if (x > hi) return hi;
    return x;
}

namespace liba {

std::u16string int_to_wstring(int value) {
    char text[16];
    int const length = std::snprintf(text, sizeof text, "%d", value);
    return std::u16string(text, text + length);
}

}  // namespace liba
