#include "tests/support/test_screen.h"

#include <algorithm>
#include <cstdio>

namespace testing_support {

TestScreen::TestScreen(const char* size, bool shell)
    : display_("SONBRIX_DISPLAY", "headless"), size_("SONBRIX_DISPLAY_SIZE", size),
      shell_("SONBRIX_SHELL", shell ? "on" : "off") {
    connected_ = control_.connect();
}

bool TestScreen::wait_idle() { return connected_ && control_.wait_idle(10000); }

platform::screen::ScreenPicture TestScreen::screenshot() {
    platform::screen::ScreenPicture picture;
    if (connected_) control_.screenshot(picture);
    return picture;
}

std::vector<platform::screen::ScreenWindow> TestScreen::windows() {
    std::vector<platform::screen::ScreenWindow> list;
    if (connected_) control_.windows(list);
    return list;
}

platform::screen::ScreenPicture expected_picture(int width, int height, std::uint32_t background,
                                                 const std::vector<PaintedRect>& rects) {
    platform::screen::ScreenPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<std::size_t>(width) * height, background | 0xFF000000u);
    for (auto const& rect : rects) {
        for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, height); ++y) {
            for (int x = std::max(rect.left, 0); x < std::min(rect.right, width); ++x)
                picture.pixels[static_cast<std::size_t>(y) * width + x] = rect.colour | 0xFF000000u;
        }
    }
    return picture;
}

std::string picture_difference(const platform::screen::ScreenPicture& expected,
                               const platform::screen::ScreenPicture& actual) {
    char text[160];
    if (expected.width != actual.width || expected.height != actual.height) {
        std::snprintf(text, sizeof text, "size %dx%d, expected %dx%d", actual.width, actual.height, expected.width,
                      expected.height);
        return text;
    }
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            if (expected.at(x, y) == actual.at(x, y)) continue;
            std::snprintf(text, sizeof text, "pixel (%d, %d) is %08X, expected %08X", x, y, actual.at(x, y),
                          expected.at(x, y));
            return text;
        }
    }
    return {};
}

}  // namespace testing_support
