#pragma once

#include <string>

// x limited to [lo, hi].
double clamp(double x, double lo, double hi);

namespace liba {

// The value as signed decimal text ("%d").
std::u16string int_to_wstring(int value);

}  // namespace liba
