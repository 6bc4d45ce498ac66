#include <cstdio>
#include <cstdlib>

#include "platform/linux/display/display_driver.h"

namespace platform::display {
namespace {

const ScreenMode device_modes[] = {{240, 320, 96}, {480, 640, 192}, {480, 800, 192}};
constexpr int default_mode = 1;

}  // namespace

bool screen_mode_of_size(int width, int height, ScreenMode& mode) {
    for (auto const& candidate : device_modes) {
        if (candidate.width == width && candidate.height == height) {
            mode = candidate;
            return true;
        }
    }
    return false;
}

ScreenMode screen_mode_from_environment() {
    ScreenMode mode = device_modes[default_mode];
    char const* text = std::getenv("SONBRIX_DISPLAY_SIZE");
    int width = 0;
    int height = 0;
    char extra = 0;
    if (text && std::sscanf(text, "%dx%d%c", &width, &height, &extra) == 2) screen_mode_of_size(width, height, mode);
    return mode;
}

ScreenMode next_screen_mode(const ScreenMode& mode) {
    constexpr int count = static_cast<int>(sizeof device_modes / sizeof device_modes[0]);
    for (int i = 0; i < count; ++i) {
        if (device_modes[i].width == mode.width && device_modes[i].height == mode.height)
            return device_modes[(i + 1) % count];
    }
    return device_modes[default_mode];
}

}  // namespace platform::display
