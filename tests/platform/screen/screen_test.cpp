// Windows of two processes on one headless screen: composition in z-order, moves, what a
// dead or stopped process leaves, and where stylus and keys go.
#include <signal.h>

#include <cstdlib>

#include <algorithm>
#include <set>

#include "tests/platform/screen/screen_fixture.h"
#include "tests/support/eventually.h"

namespace screen_tests {
namespace {

using testing_support::eventually;
using testing_support::expected_picture;
using testing_support::picture_difference;
using testing_support::PaintedRect;

constexpr std::uint32_t red = 0xFF0000, blue = 0x0000FF, green = 0x00FF00, black = 0;

// Two processes: A's red window 11 under B's blue window 22.
class TwoProcesses : public ScreenTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        ASSERT_TRUE(a.run("surface 11 20 20 120 120 FF0000"));
        ASSERT_TRUE(b.run("surface 22 60 60 160 160 0000FF"));
        ASSERT_TRUE(screen.wait_idle());
    }

    std::string screen_differs_from(const std::vector<PaintedRect>& rects) {
        return picture_difference(expected_picture(240, 320, black, rects), screen.screenshot());
    }

    ScreenProcess a;
    ScreenProcess b;
};

TEST_F(TwoProcesses, TheLaterWindowIsComposedOverTheEarlierOne) {
    EXPECT_EQ(screen_differs_from({{20, 20, 120, 120, red}, {60, 60, 160, 160, blue}}), "");
    auto const windows = screen.windows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0].window, 22u);
    EXPECT_EQ(windows[0].pid, b.process().pid());
    EXPECT_EQ(windows[1].window, 11u);
    EXPECT_EQ(windows[1].pid, a.process().pid());
    EXPECT_EQ(windows[1].class_name, "TestClass");
    EXPECT_EQ(windows[1].rect.right, 120);
}

TEST_F(TwoProcesses, MovingAWindowRecomposesOnlyWhereItWasAndWhereItWent) {
    std::vector<platform::screen::ScreenRect> area;
    ASSERT_TRUE(screen.control().composed_area(area));
    ASSERT_TRUE(b.run("move 22 100 100 200 200"));
    ASSERT_TRUE(screen.wait_idle());
    ASSERT_TRUE(screen.control().composed_area(area));
    std::set<std::pair<int, int>> composed;
    for (auto const& rect : area) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) composed.insert({x, y});
        }
    }
    auto const in = [](int x, int y, int l, int t, int r, int bottom) { return x >= l && x < r && y >= t && y < bottom; };
    std::size_t expected_count = 0;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            bool const expected = in(x, y, 60, 60, 160, 160) || in(x, y, 100, 100, 200, 200);
            expected_count += expected;
            ASSERT_EQ(composed.count({x, y}) == 1, expected) << x << "," << y;
        }
    }
    EXPECT_EQ(composed.size(), expected_count);
    // A drew nothing again: the red it had drawn shows where B's window was.
    EXPECT_EQ(screen_differs_from({{20, 20, 120, 120, red}, {100, 100, 200, 200, blue}}), "");
    EXPECT_TRUE(a.events().empty());
}

TEST_F(TwoProcesses, ZOrderHidingAndResizingShowInThePicture) {
    ASSERT_TRUE(b.run("below 22 11"));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(screen_differs_from({{60, 60, 160, 160, blue}, {20, 20, 120, 120, red}}), "");
    ASSERT_TRUE(a.run("hide 11"));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(screen_differs_from({{60, 60, 160, 160, blue}}), "");
    ASSERT_TRUE(b.run("move 22 0 0 30 40"));
    ASSERT_TRUE(b.run("fill 22 00FF00"));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(screen_differs_from({{0, 0, 30, 40, green}}), "");
}

TEST_F(TwoProcesses, AKilledProcessesWindowsVanish) {
    b.process().kill_hard();
    ASSERT_TRUE(eventually([&] { return screen.windows().size() == 1; }));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(screen_differs_from({{20, 20, 120, 120, red}}), "");
}

TEST_F(TwoProcesses, AStoppedProcessDoesNotStopTheOthersPresenting) {
    ASSERT_TRUE(a.run("foreground 11"));
    ::kill(a.process().pid(), SIGSTOP);
    // Input for the stopped process piles up at the screen, not in front of B.
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(screen.control().drag(30, 30, 40, 40));
    ASSERT_TRUE(b.run("fill 22 00FF00"));
    EXPECT_TRUE(eventually([&] { return screen_differs_from({{20, 20, 120, 120, red}, {60, 60, 160, 160, green}}).empty(); }));
    ASSERT_TRUE(screen.control().tap(100, 100));
    EXPECT_FALSE(screen.control().wait_idle(200));  // A has not handled its input
    ::kill(a.process().pid(), SIGCONT);
    EXPECT_TRUE(screen.wait_idle());
    auto const events = b.events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], "1 22 100 100 0 0");
}

struct RoutingCase {
    const char* name;
    std::vector<std::string> a_commands;  // run by A before the input
    char input;                           // t: tap at (x, y), k: key 'Q', b: button 3
    int x, y;
    std::vector<std::string> a_events;
    std::vector<std::string> b_events;
};

class InputRouting : public TwoProcesses, public ::testing::WithParamInterface<RoutingCase> {};

TEST_P(InputRouting, GoesToTheRightProcessAtScreenCoordinates) {
    auto const& c = GetParam();
    for (auto const& command : c.a_commands) ASSERT_TRUE(a.run(command)) << command;
    auto& control = screen.control();
    bool const sent = c.input == 't'   ? control.tap(c.x, c.y)
                      : c.input == 'k' ? control.press('Q', u'q')
                                       : control.button(3);
    ASSERT_TRUE(sent);
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(a.events(), c.a_events);
    EXPECT_EQ(b.events(), c.b_events);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InputRouting,
    ::testing::Values(
        RoutingCase{"tap_on_the_upper_window", {}, 't', 70, 70, {}, {"1 22 70 70 0 0", "3 22 70 70 0 0"}},
        RoutingCase{"tap_on_the_lower_window_where_it_shows", {}, 't', 30, 110, {"1 11 30 110 0 0", "3 11 30 110 0 0"}, {}},
        RoutingCase{"tap_where_no_window_is", {}, 't', 200, 300, {}, {}},
        RoutingCase{"capture_takes_the_stylus_anywhere", {"capture 11"}, 't', 150, 150,
                    {"1 11 150 150 0 0", "3 11 150 150 0 0"}, {}},
        RoutingCase{"released_capture", {"capture 11", "release"}, 't', 150, 150, {}, {"1 22 150 150 0 0", "3 22 150 150 0 0"}},
        RoutingCase{"hidden_windows_are_passed_through", {"hide 11"}, 't', 30, 30, {}, {}},
        RoutingCase{"disabled_windows_get_no_tap", {"disable 11"}, 't', 30, 30, {}, {}},
        RoutingCase{"keys_go_to_the_foreground_window", {"foreground 11"}, 'k', 0, 0, {"4 11 0 0 81 113", "5 11 0 0 81 0"}, {}},
        RoutingCase{"no_foreground_no_key", {}, 'k', 0, 0, {}, {}},
        RoutingCase{"hardware_buttons_are_keys", {"foreground 11"}, 'b', 0, 0, {"4 11 0 0 195 0", "5 11 0 0 195 0"}, {}},
        RoutingCase{"disabled_foreground_gets_no_key", {"foreground 11", "disable 11"}, 'k', 0, 0, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TwoProcesses, HotKeysGoToTheirHolderWhicheverWindowIsInFront) {
    ASSERT_TRUE(b.run("foreground 22"));
    ASSERT_TRUE(a.run("hotkey 11 195 8 C3"));
    EXPECT_FALSE(b.run("hotkey 22 1 8 C3"));  // held by A's window
    EXPECT_TRUE(a.run("hotkey 11 195 8 C3"));  // the same window and id again
    ASSERT_TRUE(a.run("hotkey 11 81 1006 51"));  // Ctrl+Shift+Q, releases too
    auto& control = screen.control();
    ASSERT_TRUE(control.button(3));
    ASSERT_TRUE(control.button(4));
    ASSERT_TRUE(control.press('Q', u'q'));
    ASSERT_TRUE(control.key(0x11, true) && control.key(0x10, true) && control.press('Q') && control.key(0x10, false) &&
                control.key(0x11, false));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(a.events(), (std::vector<std::string>{"101 11 0 0 195 0 195 8", "101 11 0 0 81 0 81 6",
                                                    "101 11 0 0 81 0 81 4102"}));
    EXPECT_EQ(b.events(), (std::vector<std::string>{"4 22 0 0 196 0", "5 22 0 0 196 0", "4 22 0 0 81 113", "5 22 0 0 81 0",
                                                    "4 22 0 0 17 0", "4 22 0 0 16 0", "5 22 0 0 16 0", "5 22 0 0 17 0"}));
    // Unregistered, or gone with its process, the button is a key again and free to take.
    ASSERT_TRUE(a.run("unhotkey 11 195"));
    ASSERT_TRUE(control.button(3));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(b.events(), (std::vector<std::string>{"4 22 0 0 195 0", "5 22 0 0 195 0"}));
    a.process().kill_hard();
    ASSERT_TRUE(eventually([&] { return screen.windows().size() == 1; }));
    EXPECT_TRUE(b.run("hotkey 22 1 1006 51"));
}

TEST_F(TwoProcesses, AfterTheServerDiedTheNextCallBringsTheWindowsBack) {
    std::string const lock = testing_support::read_host_file(device.folder() + "/run/screen/server.lock");
    int const server = std::atoi(lock.c_str());
    ASSERT_GT(server, 0) << lock;
    ASSERT_EQ(::kill(server, SIGKILL), 0);
    ASSERT_TRUE(eventually([&] { return server_lock_is_free(device.folder()); }));
    ASSERT_TRUE(b.run("fill 22 00FF00"));
    ASSERT_TRUE(a.run("fill 11 FF0000"));
    platform::screen::ScreenControl control;
    ASSERT_TRUE(control.connect());
    ASSERT_TRUE(control.wait_idle(10000));
    platform::screen::ScreenPicture picture;
    ASSERT_TRUE(control.screenshot(picture));
    // A's window came back last, so it is on top now.
    EXPECT_EQ(picture_difference(expected_picture(240, 320, black, {{60, 60, 160, 160, green}, {20, 20, 120, 120, red}}),
                                 picture),
              "");
}

TEST_F(TwoProcesses, ADragStaysWithTheWindowItStartedOn) {
    ASSERT_TRUE(screen.control().drag(70, 70, 10, 300));
    ASSERT_TRUE(screen.wait_idle());
    auto const events = b.events();
    ASSERT_EQ(events.size(), 10u);
    EXPECT_EQ(events.front(), "1 22 70 70 0 0");
    EXPECT_EQ(events.back(), "3 22 10 300 0 0");
    EXPECT_TRUE(a.events().empty());
}

TEST_F(TwoProcesses, TextArrivesAsKeysWithTheirCharacters) {
    ASSERT_TRUE(b.run("foreground 22"));
    ASSERT_TRUE(screen.control().text(u"aB"));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(b.events(), (std::vector<std::string>{"4 22 0 0 65 97", "5 22 0 0 65 0", "4 22 0 0 16 0", "4 22 0 0 66 66",
                                                    "5 22 0 0 66 0", "5 22 0 0 16 0"}));
}

TEST_F(TwoProcesses, ASizeChangeReachesEveryProcess) {
    ASSERT_TRUE(screen.control().set_size(480, 800));
    EXPECT_FALSE(screen.control().set_size(300, 300));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(a.events(), std::vector<std::string>{"100 0 0 0 0 0 480x800@192"});
    EXPECT_EQ(b.events(), std::vector<std::string>{"100 0 0 0 0 0 480x800@192"});
    auto const picture = screen.screenshot();
    EXPECT_EQ(picture.width, 480);
    EXPECT_EQ(picture.height, 800);
    EXPECT_EQ(picture.at(70, 70), 0xFF0000FFu);
}

class ScreenServerLife : public testing_support::DeviceTest {
protected:
    testing_support::ScopedEnvironment display{"SONBRIX_DISPLAY", "headless"};
};

TEST_F(ScreenServerLife, EndsOnceNoWindowAndNoControlLinkIsLeft) {
    {
        ScreenProcess a;
        ASSERT_TRUE(a.run("surface 5 0 0 10 10 FF0000"));
        EXPECT_FALSE(server_lock_is_free(device.folder()));
    }
    EXPECT_TRUE(eventually([&] { return server_lock_is_free(device.folder()); }));
}

TEST_F(ScreenServerLife, ANewProcessStartsItAgain) {
    for (int round = 0; round < 2; ++round) {
        ScreenProcess a;
        ASSERT_TRUE(a.run("surface 5 0 0 10 10 FF0000")) << round;
        ASSERT_TRUE(a.run("destroy 5"));
        a.process().kill_hard();
        ASSERT_TRUE(eventually([&] { return server_lock_is_free(device.folder()); })) << round;
    }
}

}  // namespace
}  // namespace screen_tests
