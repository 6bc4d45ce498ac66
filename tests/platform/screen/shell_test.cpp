// The shell on the device's screen, driven through the screen's stylus as a user drives it:
// the task bar with the foreground window's title and OK button, full screen, the input
// panel typing into the focus window, tap-and-hold, and broadcasts to every process.

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/gdi.h"
#include "platform/linux/screen/shell_layout.h"
#include "platform/linux/screen/soft_keyboard.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/messages.h"
#include "platform/shell_ui.h"
#include "platform/windows.h"
#include "tests/support/expected_image.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace {

using platform::screen::ScreenPicture;
using platform::screen::ScreenRect;
using testing_support::ChildProcess;
using testing_support::pump_messages_until;

struct Seen {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> seen;
std::vector<DWORD> gestures;

LRESULT record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        seen.push_back({window, message, wparam, lparam});
        SHRGINFO info{sizeof(SHRGINFO), window, {static_cast<SHORT>(lparam & 0xFFFF), static_cast<SHORT>(lparam >> 16)},
                      SHRG_RETURNCMD};
        if (GetWindowLongW(window, GWL_USERDATA) != 0) gestures.push_back(SHRecognizeGesture(&info));
        return 0;
    }
    case WM_LBUTTONUP: case WM_MOUSEMOVE: case WM_KEYDOWN: case WM_CHAR: case WM_COMMAND: case WM_SETTINGCHANGE:
        seen.push_back({window, message, wparam, lparam});
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

std::vector<Seen> seen_of(UINT message) {
    std::vector<Seen> found;
    std::copy_if(seen.begin(), seen.end(), std::back_inserter(found), [&](const Seen& s) { return s.message == message; });
    return found;
}

POINT middle(const ScreenRect& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

RECT rect_of(const ScreenRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

bool same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string text_of(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
           std::to_string(rect.bottom);
}

// ---- Expected pictures ------------------------------------------------------------------

std::string compare_with_expected(const ScreenPicture& actual, const std::string& name) {
    return testing_support::compare_with_expected(actual, SONBRIX_SCREEN_EXPECTED, name);
}

// ---- The fixture ------------------------------------------------------------------------

class ShellTest : public testing_support::DeviceTest {
protected:
    explicit ShellTest(const char* size = "240x320") : screen(size, true) {}

    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        seen.clear();
        gestures.clear();
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = record;
        window_class.hbrBackground = brush_;
        window_class.lpszClassName = u"ShellPlain";
        RegisterClassW(&window_class);
        auto const metrics = screen.control().metrics();
        layout = platform::screen::shell_layout(metrics.width, metrics.height, metrics.dpi, true);
    }

    void TearDown() override {
        for (HWND window : made_) DestroyWindow(window);
        UnregisterClassW(u"ShellPlain", nullptr);
        DeleteObject(brush_);
    }

    // A shown window in front; CW_USEDEFAULT places it on the work area.
    HWND make(LPCWSTR title, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int width = CW_USEDEFAULT,
              int height = CW_USEDEFAULT) {
        HWND const window =
            CreateWindowExW(0, u"ShellPlain", title, WS_VISIBLE, x, y, width, height, nullptr, nullptr, nullptr, nullptr);
        made_.insert(made_.begin(), window);
        SetForegroundWindow(window);
        return window;
    }

    ScreenPicture painted_picture() {
        pump_messages_until([] { return false; }, 50);
        EXPECT_TRUE(platform::detail::sync_screen());
        EXPECT_TRUE(screen.wait_idle());
        return screen.screenshot();
    }

    void tap(POINT point) { ASSERT_TRUE(screen.control().tap(point.x, point.y)); }

    // The task bar with a title and the OK button, then with the input panel up.
    void expect_pictures(const std::string& size) {
        HWND const window = make(u"Notes");
        ASSERT_TRUE(SHDoneButton(window, SHDB_SHOW));
        EXPECT_EQ(compare_with_expected(painted_picture(), "task_bar_" + size), "");
        ASSERT_TRUE(SHSipPreference(window, SIP_UP));
        EXPECT_EQ(compare_with_expected(painted_picture(), "input_panel_" + size), "");
    }

    // Taps the window at a point of its own, then handles messages until that tap came: what
    // the taps before it sent has come by then.
    void tap_and_settle(POINT point, HWND window, POINT inside) {
        tap(point);
        ASSERT_TRUE(screen.control().tap(inside.x, inside.y));
        ASSERT_TRUE(pump_messages_until([&] {
            return std::any_of(seen.begin(), seen.end(), [&](const Seen& s) { return s.window == window && s.message == WM_LBUTTONUP; });
        }));
    }

    testing_support::TestScreen screen;
    platform::screen::ShellLayout layout;
    HBRUSH brush_ = CreateSolidBrush(RGB(255, 255, 255));
    std::vector<HWND> made_;
};

class LargeShellTest : public ShellTest {
protected:
    LargeShellTest() : ShellTest("480x640") {}
};

// ---- The bars and the work area ---------------------------------------------------------

void expect_work_area_between_the_bars(HWND window, int bar, int width, int height) {
    RECT const area{0, bar, width, height - bar};
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_TRUE(same(placed, area)) << "CW_USEDEFAULT: " << text_of(placed);
    RECT asked{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &asked, 0));
    EXPECT_TRUE(same(asked, area)) << "SPI_GETWORKAREA: " << text_of(asked);
    EXPECT_EQ(shell_bar_height(), bar);
}

TEST_F(ShellTest, TheWorkAreaLiesBetweenTheBars) { expect_work_area_between_the_bars(make(u"Notes"), 26, 240, 320); }

TEST_F(LargeShellTest, TheWorkAreaLiesBetweenTheBars) { expect_work_area_between_the_bars(make(u"Notes"), 52, 480, 640); }

TEST(ShellWithoutScreen, WrongWindowsAndSizesAreRefused) {
    SIPINFO wrong{};
    wrong.cbSize = 12;
    SHRGINFO gesture{sizeof(SHRGINFO), reinterpret_cast<HWND>(0x4321), {1, 1}, SHRG_RETURNCMD};
    struct Case {
        const char* name;
        std::function<BOOL()> call;
        DWORD error;
    };
    std::vector<Case> const cases = {
        {"OK button for no window", [] { return SHDoneButton(reinterpret_cast<HWND>(0x4321), SHDB_SHOW); },
         ERROR_INVALID_WINDOW_HANDLE},
        {"full screen for no window", [] { return SHFullScreen(nullptr, SHFS_HIDETASKBAR); }, ERROR_INVALID_WINDOW_HANDLE},
        {"input panel information of a wrong size", [&] { return SHSipInfo(SPI_GETSIPINFO, 0, &wrong, 0); },
         ERROR_INVALID_PARAMETER},
        {"no input panel information", [] { return SHSipInfo(SPI_GETSIPINFO, 0, nullptr, 0); }, ERROR_INVALID_PARAMETER},
        {"an unknown system parameter", [] { return SystemParametersInfoW(12345, 0, nullptr, 0); }, ERROR_INVALID_PARAMETER},
    };
    for (auto const& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_EQ(SHRecognizeGesture(&gesture), 0u) << "a gesture on no window";
    EXPECT_EQ(SHRecognizeGesture(nullptr), 0u);
}

// ---- The OK button ----------------------------------------------------------------------

TEST_F(ShellTest, TheOkButtonSendsIdokToTheWindowInFrontWhileItIsShown) {
    HWND const window = make(u"Notes");
    POINT const inside{100, 100};
    ASSERT_TRUE(SHDoneButton(window, SHDB_SHOW));
    painted_picture();
    tap_and_settle(middle(layout.ok_button), window, inside);
    EXPECT_EQ(seen_of(WM_COMMAND), (std::vector<Seen>{{window, WM_COMMAND, IDOK, 0}}));

    seen.clear();
    ASSERT_TRUE(SHDoneButton(window, SHDB_HIDE));
    painted_picture();
    tap_and_settle(middle(layout.ok_button), window, inside);
    EXPECT_TRUE(seen_of(WM_COMMAND).empty()) << "a hidden button is only the task bar";

    EXPECT_FALSE(SHDoneButton(window, 3));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ShellTest, TheOkButtonOfAnotherProgramsWindowReachesThatProgram) {
    HWND const local = make(u"Mine");
    ChildProcess helper({"painted", "0", "26", "240", "294", "00ff00"});
    std::string const ready = helper.read_line();
    ASSERT_EQ(ready.rfind("ready ", 0), 0u) << ready;
    HWND const remote = reinterpret_cast<HWND>(std::strtoull(ready.c_str() + 6, nullptr, 16));
    EXPECT_EQ(SendMessageW(remote, WM_USER + 6, SHDB_SHOW, 0), TRUE);
    ASSERT_TRUE(SetForegroundWindow(remote));
    painted_picture();
    tap(middle(layout.ok_button));
    std::string line;
    for (int lines = 0; lines < 50 && line.rfind("command", 0) != 0; ++lines) line = helper.read_line();
    EXPECT_EQ(line, "command 1");
    EXPECT_TRUE(seen_of(WM_COMMAND).empty());
    PostMessageW(remote, WM_USER + 2, 0, 0);
    (void)local;
}

// ---- Full screen ------------------------------------------------------------------------

TEST_F(ShellTest, FullScreenHidesTheBarsWhileItsWindowIsInFront) {
    HWND const full = make(u"Full", 0, 0, 240, 320);
    POINT const in_task_bar{5, 5};
    POINT const in_button = middle(layout.input_panel_button);
    auto const white = 0xFFFFFFFFu;
    auto picture = painted_picture();
    EXPECT_NE(picture.at(in_task_bar.x, in_task_bar.y), white) << "the task bar is over the window";
    EXPECT_NE(picture.at(in_button.x, in_button.y), white) << "so is the input-panel button";

    ASSERT_TRUE(SHFullScreen(full, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON));
    picture = painted_picture();
    EXPECT_EQ(picture.at(in_task_bar.x, in_task_bar.y), white);
    EXPECT_EQ(picture.at(in_button.x, in_button.y), white);
    seen.clear();
    tap(in_task_bar);
    ASSERT_TRUE(pump_messages_until([] { return !seen_of(WM_LBUTTONUP).empty(); }));
    EXPECT_EQ(seen_of(WM_LBUTTONDOWN).front().window, full) << "a tap where the bar was reaches the window";

    HWND const other = make(u"Other", 20, 60, 100, 100);
    picture = painted_picture();
    EXPECT_NE(picture.at(in_task_bar.x, in_task_bar.y), white) << "another window in front has the bars";
    ASSERT_TRUE(SetForegroundWindow(full));
    picture = painted_picture();
    EXPECT_EQ(picture.at(in_task_bar.x, in_task_bar.y), white) << "and they go again with the full-screen one";

    ASSERT_TRUE(SHFullScreen(full, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON));
    picture = painted_picture();
    EXPECT_NE(picture.at(in_task_bar.x, in_task_bar.y), white);
    EXPECT_NE(picture.at(in_button.x, in_button.y), white);
    (void)other;
}

// ---- The input panel --------------------------------------------------------------------

SIPINFO sip_info() {
    SIPINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &info, 0));
    return info;
}

TEST_F(ShellTest, TheInputPanelTypesIntoTheFocusWindowAndNarrowsTheVisibleDesktop) {
    HWND const window = make(u"Notes");
    painted_picture();
    EXPECT_EQ(sip_info().fdwFlags & SIPF_ON, 0u);
    EXPECT_TRUE(same(sip_info().rcVisibleDesktop, rect_of(layout.work_area)));

    ASSERT_TRUE(SHSipPreference(window, SIP_UP));
    auto const raised = sip_info();
    EXPECT_EQ(raised.fdwFlags & SIPF_ON, SIPF_ON);
    EXPECT_TRUE(same(raised.rcVisibleDesktop, RECT{0, 26, 240, 214})) << text_of(raised.rcVisibleDesktop);
    EXPECT_TRUE(same(raised.rcSipRect, RECT{0, 214, 240, 294})) << text_of(raised.rcSipRect);
    ASSERT_TRUE(pump_messages_until([] { return !seen_of(WM_SETTINGCHANGE).empty(); }));
    EXPECT_EQ(seen_of(WM_SETTINGCHANGE), (std::vector<Seen>{{window, WM_SETTINGCHANGE, SPI_SETSIPINFO, 0}}));
    painted_picture();

    platform::screen::SoftKeyboard keyboard;
    keyboard.lay_out(layout.input_panel);
    auto const key_of = [&](char16_t lower, platform::screen::SoftKey::Kind kind = platform::screen::SoftKey::Kind::plain) {
        for (auto const& key : keyboard.keys()) {
            if (key.kind == kind && (kind != platform::screen::SoftKey::Kind::plain || key.lower == lower))
                return middle(key.rect);
        }
        ADD_FAILURE() << "no key " << static_cast<int>(lower);
        return POINT{};
    };
    seen.clear();
    tap(key_of(0, platform::screen::SoftKey::Kind::shift));
    for (char16_t c : std::u16string(u"hello")) tap(key_of(c));
    ASSERT_TRUE(pump_messages_until([] { return seen_of(WM_CHAR).size() >= 5; }));
    std::u16string typed;
    for (auto const& s : seen_of(WM_CHAR)) typed += static_cast<char16_t>(s.wparam);
    EXPECT_EQ(typed, u"Hello");
    auto const keys = seen_of(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0].wparam, static_cast<WPARAM>('H'));
    EXPECT_EQ(keys[0].window, window);

    seen.clear();
    tap(middle(layout.input_panel_button));
    ASSERT_TRUE(pump_messages_until([] { return !seen_of(WM_SETTINGCHANGE).empty(); }));
    EXPECT_EQ(sip_info().fdwFlags & SIPF_ON, 0u) << "the button lowers it";
    EXPECT_TRUE(same(sip_info().rcVisibleDesktop, rect_of(layout.work_area)));
    ASSERT_TRUE(SHSipPreference(window, SIP_DOWN));
    pump_messages_until([] { return false; }, 30);
    EXPECT_EQ(seen_of(WM_SETTINGCHANGE).size(), 1u) << "lowering a lowered panel changes nothing";
}

TEST_F(ShellTest, TheInputPanelChangeReachesEveryProgram) {
    make(u"Mine");
    ChildProcess helper({"window", "ShellRemote"});
    ASSERT_EQ(helper.read_line().rfind("ready ", 0), 0u);
    ASSERT_TRUE(SHSipPreference(nullptr, SIP_UP));
    EXPECT_EQ(helper.read_line(), "wininichange 224 0");
    ASSERT_TRUE(SHSipPreference(nullptr, SIP_DOWN));
    EXPECT_EQ(helper.read_line(), "wininichange 224 0");
}

// ---- Tap and hold -----------------------------------------------------------------------

// A window whose taps ask for the gesture; the tap at (50, 50) of the screen.
class GestureTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        window = make(u"Hold");
        SetWindowLongW(window, GWL_USERDATA, 1);
        painted_picture();
    }
    bool stylus(std::uint32_t kind, int x, int y) { return screen.control().stylus(kind, x, y); }
    static constexpr std::uint32_t down = 1, move = 2, up = 3;
    HWND window = nullptr;
};

TEST_F(GestureTest, AHeldTapIsAContextMenuGesture) {
    ASSERT_TRUE(stylus(down, 50, 50));
    ASSERT_TRUE(pump_messages_until([] { return !gestures.empty(); }));
    EXPECT_EQ(gestures, (std::vector<DWORD>{GN_CONTEXTMENU}));
    ASSERT_TRUE(stylus(up, 50, 50));
    ASSERT_TRUE(pump_messages_until([] { return !seen_of(WM_LBUTTONUP).empty(); }));
}

TEST_F(GestureTest, AQuickTapOrAMoveIsNoGestureAndItsMessagesFollow) {
    struct Case {
        const char* name;
        std::vector<std::array<int, 3>> stylus;
        UINT last;
    };
    std::vector<Case> const cases = {
        {"a quick tap", {{down, 50, 50}, {up, 50, 50}}, WM_LBUTTONUP},
        {"a move away", {{down, 50, 50}, {move, 90, 50}}, WM_MOUSEMOVE},
    };
    for (auto const& c : cases) {
        seen.clear();
        gestures.clear();
        for (auto const& [kind, x, y] : c.stylus) ASSERT_TRUE(stylus(static_cast<std::uint32_t>(kind), x, y)) << c.name;
        // Both are queued before the gesture starts, so it sees them at once.
        MSG waiting{};
        ASSERT_TRUE(testing_support::eventually([&] { return PeekMessageW(&waiting, nullptr, c.last, c.last, PM_NOREMOVE) != 0; }))
            << c.name;
        ASSERT_TRUE(pump_messages_until([&] { return !gestures.empty() && !seen_of(c.last).empty(); })) << c.name;
        EXPECT_EQ(gestures, (std::vector<DWORD>{0})) << c.name;
        EXPECT_EQ(seen.back().message, c.last) << c.name << ": delivered after the gesture";
        if (c.last != WM_LBUTTONUP) {
            ASSERT_TRUE(stylus(up, 90, 50));
        }
        pump_messages_until([] { return !seen_of(WM_LBUTTONUP).empty(); });
    }
}

// ---- Broadcasts -------------------------------------------------------------------------

TEST_F(ShellTest, ABroadcastReachesTheTopLevelWindowsOfEveryProcess) {
    HWND const local = make(u"Mine");
    ChildProcess first({"window", "BroadcastFirst"});
    ChildProcess second({"window", "BroadcastSecond"});
    ASSERT_EQ(first.read_line().rfind("ready ", 0), 0u);
    ASSERT_EQ(second.read_line().rfind("ready ", 0), 0u);

    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, WM_WININICHANGE, 0xF2, 0));
    EXPECT_EQ(first.read_line(), "wininichange 242 0");
    EXPECT_EQ(second.read_line(), "wininichange 242 0");
    ASSERT_TRUE(pump_messages_until([] { return !seen_of(WM_SETTINGCHANGE).empty(); }));
    EXPECT_EQ(seen_of(WM_SETTINGCHANGE), (std::vector<Seen>{{local, WM_WININICHANGE, 0xF2, 0}}));

    SendMessageW(HWND_BROADCAST, WM_WININICHANGE, 7, 0);
    EXPECT_EQ(first.read_line(), "wininichange 7 0") << "sent: handled before the call returned";
    EXPECT_EQ(second.read_line(), "wininichange 7 0");
}

// ---- Screenshots ------------------------------------------------------------------------

TEST_F(ShellTest, TheTaskBarAndTheInputPanelLookAsExpected) { expect_pictures("240x320"); }

TEST_F(LargeShellTest, TheTaskBarAndTheInputPanelLookAsExpected) { expect_pictures("480x640"); }

}  // namespace
