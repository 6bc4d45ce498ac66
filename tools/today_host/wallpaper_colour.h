// The start screen's own wallpaper, a pure function of the place: a teal-to-slate gradient
// from top to bottom with a soft light streak across it. Tests compute what they expect
// from it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace today_host {

// 0xRRGGBB of the pixel (x, y) of a wallpaper of width by height pixels.
inline std::uint32_t wallpaper_colour(int x, int y, int width, int height) {
    constexpr int top[3] = {0x2E, 0x6F, 0x68};
    constexpr int bottom[3] = {0x16, 0x1A, 0x1F};
    int const span = std::max(1, height - 1);
    int const along = std::clamp(y, 0, span);
    // The streak: brightest on a diagonal line that leaves the top right corner.
    int const distance = std::abs(x + along / 2 - width);
    int const glow = std::max(0, 40 - distance) / 4;
    std::uint32_t colour = 0;
    for (int channel = 0; channel < 3; ++channel) {
        int const value = top[channel] + (bottom[channel] - top[channel]) * along / span + glow;
        colour = colour << 8 | static_cast<std::uint32_t>(std::clamp(value, 0, 255));
    }
    return colour;
}

}  // namespace today_host
