#pragma once

#include <cmath>
#include <cstdint>

namespace audio {

// The integer part of a non-negative value, held to the 32-bit range (a negative value or
// one that is not a number gives 0).
inline std::uint32_t whole_units(double value) {
    if (!(value > 0.0)) return 0;
    if (value >= 4294967295.0) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(value);
}

inline std::uint32_t clamp_to_u32(std::uint64_t value) {
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

}  // namespace audio
