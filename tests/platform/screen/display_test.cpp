// The screen's sizes from the environment, the size key's cycle, and the choice of display
// driver by name.
#include <gtest/gtest.h>

#include "platform/linux/display/display_driver.h"
#include "tests/support/scoped_environment.h"

namespace screen_tests {
namespace {

using platform::display::ScreenMode;
using testing_support::ScopedEnvironment;

struct SizeCase {
    const char* setting;  // null: unset
    ScreenMode expected;
};

class ScreenSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ScreenSizes, ComeFromTheEnvironmentWithTheirDensity) {
    ScopedEnvironment size("SONBRIX_DISPLAY_SIZE", GetParam().setting);
    auto const mode = platform::display::screen_mode_from_environment();
    EXPECT_EQ(mode.width, GetParam().expected.width);
    EXPECT_EQ(mode.height, GetParam().expected.height);
    EXPECT_EQ(mode.dpi, GetParam().expected.dpi);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScreenSizes,
                         ::testing::Values(SizeCase{"240x320", {240, 320, 96}}, SizeCase{"480x640", {480, 640, 192}},
                                           SizeCase{"480x800", {480, 800, 192}}, SizeCase{nullptr, {480, 640, 192}},
                                           SizeCase{"", {480, 640, 192}}, SizeCase{"320x240", {480, 640, 192}},
                                           SizeCase{"240x320x", {480, 640, 192}}, SizeCase{"240", {480, 640, 192}},
                                           SizeCase{"-240x-320", {480, 640, 192}}));

TEST(ScreenSizeKey, CyclesThroughTheDevicesSizes) {
    ScreenMode mode{240, 320, 96};
    std::vector<int> heights;
    for (int i = 0; i < 4; ++i) {
        mode = platform::display::next_screen_mode(mode);
        heights.push_back(mode.height);
    }
    EXPECT_EQ(heights, (std::vector<int>{640, 800, 320, 640}));
}

struct DriverCase {
    const char* display;   // SONBRIX_DISPLAY
    const char* x_display; // DISPLAY
    const char* expected;
};

class DriverChoice : public ::testing::TestWithParam<DriverCase> {};

TEST_P(DriverChoice, FallsBackToHeadlessWhenTheNamedOneCannotStart) {
    ScopedEnvironment display("SONBRIX_DISPLAY", GetParam().display);
    ScopedEnvironment x_display("DISPLAY", GetParam().x_display);
    ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
    auto const driver = platform::display::open_display({240, 320, 96});
    ASSERT_NE(driver, nullptr);
    EXPECT_STREQ(driver->name(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, DriverChoice,
                         ::testing::Values(DriverCase{nullptr, nullptr, "headless"},
                                           DriverCase{"headless", ":987", "headless"},
                                           DriverCase{"framebuffer", nullptr, "headless"}));
// A desktop that cannot open is tried in the server's process (desktop_window_test.cpp):
// SDL keeps D-Bus memory to the end of a process that tried it.

TEST(DisplayTable, NamesEveryDriverOnce) {
    std::vector<std::string> names;
    for (auto const* entry : platform::display::display_bootstraps()) names.push_back(entry->name);
    EXPECT_EQ(names, (std::vector<std::string>{"sdl", "headless"}));
}

}  // namespace
}  // namespace screen_tests
