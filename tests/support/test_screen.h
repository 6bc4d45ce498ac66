// The device's screen for in-process tests: a headless screen of the size asked for, a
// control link to it, and the checks tests make with it. Make it after the test's device
// (it ends with the device).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/screen/screen_control.h"
#include "tests/support/scoped_environment.h"

namespace testing_support {

class TestScreen {
public:
    // Without the shell unless asked: tests of windows alone see the bare screen.
    explicit TestScreen(const char* size = "240x320", bool shell = false);

    platform::screen::ScreenControl& control() { return control_; }
    bool connected() const { return connected_; }
    // Waits (up to ten seconds) until nothing is left to compose and every process has
    // handled its input; false when that does not come.
    bool wait_idle();
    platform::screen::ScreenPicture screenshot();
    std::vector<platform::screen::ScreenWindow> windows();

private:
    ScopedEnvironment display_;
    ScopedEnvironment size_;
    ScopedEnvironment shell_;
    platform::screen::ScreenControl control_;
    bool connected_ = false;
};

// A picture of the given size filled with background, with the rectangles painted in order.
struct PaintedRect {
    int left, top, right, bottom;
    std::uint32_t colour;
};
platform::screen::ScreenPicture expected_picture(int width, int height, std::uint32_t background,
                                                 const std::vector<PaintedRect>& rects);
// Empty when the pictures are equal, else where they first differ and how.
std::string picture_difference(const platform::screen::ScreenPicture& expected,
                               const platform::screen::ScreenPicture& actual);

}  // namespace testing_support
