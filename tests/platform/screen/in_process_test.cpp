// The screen used from the test's own process, as the window layer will: a surface drawn
// through a device context, resizing that keeps what was drawn, metrics and size changes.
#include <atomic>

#include "platform/gdi.h"
#include "platform/linux/gdi/surface_dc.h"
#include "platform/linux/screen/screen_client.h"
#include "tests/platform/screen/screen_fixture.h"
#include "tests/support/eventually.h"

namespace screen_tests {
namespace {

using platform::screen::ScreenClient;
using testing_support::expected_picture;
using testing_support::picture_difference;

HWND window_of(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

void fill(HDC dc, RECT rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

TEST_F(ScreenTest, ADeviceContextOnASurfaceDrawsOnTheScreen) {
    ScreenClient client;
    platform::screen::SurfaceSettings settings;
    settings.rect = {40, 50, 140, 110};
    settings.visible = true;
    auto* surface = client.create_surface(window_of(0x51), settings);
    ASSERT_NE(surface, nullptr);
    HDC dc = platform::gdi::create_surface_dc(*surface, {0, 0}, {RECT{0, 0, 100, 60}});
    fill(dc, {0, 0, 100, 60}, RGB(255, 255, 255));
    fill(dc, {10, 10, 30, 20}, RGB(0, 128, 0));
    ASSERT_TRUE(client.present(window_of(0x51), {RECT{0, 0, 100, 60}}));
    ASSERT_TRUE(client.sync());
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(picture_difference(expected_picture(240, 320, 0, {{40, 50, 140, 110, 0xFFFFFF}, {50, 60, 70, 70, 0x008000}}),
                                 screen.screenshot()),
              "");

    // Larger: what was drawn stays, the new part is drawn after the device context follows.
    ASSERT_TRUE(client.move_surface(window_of(0x51), {40, 50, 160, 130}));
    ASSERT_TRUE(platform::gdi::retarget_surface_dc(dc, *client.surface(window_of(0x51)), {0, 0}, {RECT{0, 0, 120, 80}}));
    fill(dc, {100, 0, 120, 80}, RGB(0, 0, 255));
    fill(dc, {0, 60, 100, 80}, RGB(0, 0, 255));
    ASSERT_TRUE(client.present(window_of(0x51)));
    ASSERT_TRUE(client.sync());
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(picture_difference(expected_picture(240, 320, 0,
                                                  {{40, 50, 160, 130, 0x0000FF}, {40, 50, 140, 110, 0xFFFFFF},
                                                   {50, 60, 70, 70, 0x008000}}),
                                 screen.screenshot()),
              "");
    DeleteDC(dc);
}

TEST_F(ScreenTest, MetricsFollowTheScreensSize) {
    ScreenClient client;
    EXPECT_EQ(client.metrics().width, 240);
    EXPECT_EQ(client.metrics().dpi, 96);
    std::atomic<int> changes{0};
    client.set_event_handler([&](const platform::screen::ScreenEvent& event) {
        if (event.kind == platform::screen::ScreenEventKind::size_changed && event.metrics.width == 480) ++changes;
    });
    ASSERT_TRUE(screen.control().set_size(480, 640));
    EXPECT_TRUE(testing_support::eventually([&] { return changes == 1; }));
    EXPECT_EQ(client.metrics().height, 640);
    EXPECT_EQ(client.metrics().dpi, 192);
}

TEST_F(ScreenTest, SurfacesThatCannotBeAreRefusedByTheClient) {
    ScreenClient client;
    platform::screen::SurfaceSettings settings;
    settings.visible = true;
    for (RECT rect : {RECT{0, 0, 0, 10}, RECT{10, 10, 5, 20}, RECT{0, 0, 5000, 10}}) {
        settings.rect = rect;
        EXPECT_EQ(client.create_surface(window_of(0x60), settings), nullptr);
    }
    settings.rect = {0, 0, 10, 10};
    EXPECT_EQ(client.create_surface(nullptr, settings), nullptr);
    ASSERT_NE(client.create_surface(window_of(0x60), settings), nullptr);
    EXPECT_EQ(client.create_surface(window_of(0x60), settings), nullptr);
    EXPECT_FALSE(client.move_surface(window_of(0x61), {0, 0, 5, 5}));
    // Damage outside the surface is cut to it rather than refused by the screen.
    EXPECT_TRUE(client.present(window_of(0x60), {RECT{-100, -100, 2000000000, 5}}));
    EXPECT_TRUE(client.sync());
    EXPECT_EQ(screen.windows().size(), 1u);
}

}  // namespace
}  // namespace screen_tests
