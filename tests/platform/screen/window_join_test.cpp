// Windows of this process on the device's screen: painting into the picture, the stylus and
// keys from the screen as messages at the right windows and coordinates, hot keys, sizes.
#include <signal.h>

#include <cstdio>
#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/module.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/windows.h"
#include "tests/platform/screen/screen_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/message_loop.h"

namespace screen_tests {
namespace {

using testing_support::expected_picture;
using testing_support::picture_difference;
using testing_support::pump_messages_until;

struct Seen {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> seen;

bool is_recorded(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE:
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_HOTKEY: case WM_SETTINGCHANGE:
    case WM_SIZE: case WM_PAINT:
        return true;
    default: return false;
    }
}

LRESULT record(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (is_recorded(message)) seen.push_back({window, message, wparam, lparam});
    return DefWindowProcW(window, message, wparam, lparam);
}

LPARAM at(int x, int y) { return static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) | (x & 0xFFFF)); }

class WindowsOnScreen : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        ASSERT_TRUE(screen.connected());
        seen.clear();
        add_class(u"JoinPlain", 0, RGB(255, 0, 0));
        add_class(u"JoinDouble", CS_DBLCLKS, RGB(0, 0, 255));
    }

    void TearDown() override {
        for (HWND window : made_) DestroyWindow(window);
        UnregisterClassW(u"JoinPlain", nullptr);
        UnregisterClassW(u"JoinDouble", nullptr);
        for (HBRUSH brush : brushes_) DeleteObject(brush);
        ScreenTest::TearDown();
    }

    void add_class(LPCWSTR name, UINT style, COLORREF colour) {
        brushes_.push_back(CreateSolidBrush(colour));
        WNDCLASSW window_class{};
        window_class.style = style;
        window_class.lpfnWndProc = record;
        window_class.hbrBackground = brushes_.back();
        window_class.lpszClassName = name;
        RegisterClassW(&window_class);
    }

    HWND make(LPCWSTR class_name, RECT rect, HWND parent = nullptr, DWORD style = WS_VISIBLE) {
        HWND const window = CreateWindowExW(0, class_name, u"", style | (parent ? WS_CHILD : 0), rect.left, rect.top,
                                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, nullptr,
                                            nullptr);
        if (!parent) made_.insert(made_.begin(), window);
        return window;
    }

    // Paints what needs painting, then waits until the screen has composed it.
    platform::screen::ScreenPicture painted_picture() {
        pump_messages_until([] { return false; }, 50);
        EXPECT_TRUE(platform::detail::sync_screen());
        EXPECT_TRUE(screen.wait_idle());
        return screen.screenshot();
    }

    std::vector<Seen> seen_after(const std::function<bool()>& action, std::size_t count) {
        seen.clear();
        EXPECT_TRUE(action());
        auto const input = [] {
            std::vector<Seen> found;
            for (auto const& entry : seen) {
                if (entry.message != WM_PAINT && entry.message != WM_SIZE) found.push_back(entry);
            }
            return found;
        };
        EXPECT_TRUE(pump_messages_until([&] { return input().size() >= count; })) << input().size() << " messages";
        pump_messages_until([] { return false; }, 30);  // nothing more comes
        return input();
    }

    std::vector<HWND> made_;
    std::vector<HBRUSH> brushes_;
};

TEST_F(WindowsOnScreen, WindowsPaintTheirBackgroundsAndMovingOneShowsWhatItUncovered) {
    make(u"JoinPlain", {20, 30, 120, 90});
    HWND const over = make(u"JoinDouble", {60, 60, 160, 140});
    EXPECT_EQ(picture_difference(expected_picture(240, 320, 0, {{20, 30, 120, 90, 0xFF0000}, {60, 60, 160, 140, 0x0000FF}}),
                                 painted_picture()),
              "");

    seen.clear();
    ASSERT_TRUE(MoveWindow(over, 100, 200, 120, 100, TRUE));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), (Seen{over, WM_SIZE, SIZE_RESTORED, at(120, 100)})) << "WM_SIZE inside MoveWindow";
    EXPECT_EQ(picture_difference(expected_picture(240, 320, 0, {{20, 30, 120, 90, 0xFF0000}, {100, 200, 220, 300, 0x0000FF}}),
                                 painted_picture()),
              "");
}

TEST_F(WindowsOnScreen, TapsReachTheWindowUnderTheStylusInItsClientCoordinates) {
    HWND const top = make(u"JoinPlain", {20, 30, 200, 230});
    HWND const child = make(u"JoinPlain", {10, 10, 60, 50}, top, WS_VISIBLE);
    HWND const disabled = make(u"JoinPlain", {100, 100, 150, 150}, top, WS_VISIBLE | WS_DISABLED);
    HWND const doubles = make(u"JoinDouble", {10, 100, 60, 150}, top, WS_VISIBLE);
    painted_picture();
    auto& control = screen.control();

    struct Case {
        const char* name;
        std::function<bool()> action;
        std::vector<Seen> expected;
    };
    std::vector<Case> const cases = {
        {"a tap on a child", [&] { return control.tap(35, 45); },
         {{child, WM_LBUTTONDOWN, 1, at(5, 5)}, {child, WM_LBUTTONUP, 0, at(5, 5)}}},
        {"a tap on the top-level window", [&] { return control.tap(170, 40); },
         {{top, WM_LBUTTONDOWN, 1, at(150, 10)}, {top, WM_LBUTTONUP, 0, at(150, 10)}}},
        {"a double tap on a class with double clicks",
         [&] { return control.tap(40, 140) && control.tap(42, 141); },
         {{doubles, WM_LBUTTONDOWN, 1, at(10, 10)}, {doubles, WM_LBUTTONUP, 0, at(10, 10)},
          {doubles, WM_LBUTTONDBLCLK, 1, at(12, 11)}, {doubles, WM_LBUTTONUP, 0, at(12, 11)}}},
        {"a double tap on a class without", [&] { return control.tap(35, 45) && control.tap(35, 45); },
         {{child, WM_LBUTTONDOWN, 1, at(5, 5)}, {child, WM_LBUTTONUP, 0, at(5, 5)},
          {child, WM_LBUTTONDOWN, 1, at(5, 5)}, {child, WM_LBUTTONUP, 0, at(5, 5)}}},
        {"a disabled child gets nothing, nor does its parent",
         [&] { return control.tap(145, 145) && control.tap(170, 40); },
         {{top, WM_LBUTTONDOWN, 1, at(150, 10)}, {top, WM_LBUTTONUP, 0, at(150, 10)}}},
    };
    for (auto const& test : cases) {
        Sleep(600);  // past the double-tap time of the case before
        EXPECT_EQ(seen_after(test.action, test.expected.size()), test.expected) << test.name;
    }
    (void)disabled;
}

TEST_F(WindowsOnScreen, ATapBringsItsWindowToTheFrontUnlessItAsksNotToBeActivated) {
    HWND const lower = make(u"JoinPlain", {20, 30, 120, 130});
    HWND const upper = make(u"JoinDouble", {60, 60, 160, 160});
    HWND const aside = CreateWindowExW(WS_EX_NOACTIVATE, u"JoinDouble", u"", WS_VISIBLE, 150, 250, 60, 40, nullptr,
                                       nullptr, nullptr, nullptr);
    made_.push_back(aside);
    painted_picture();
    SetForegroundWindow(upper);

    ASSERT_TRUE(screen.control().tap(30, 40));
    EXPECT_TRUE(pump_messages_until([&] { return GetForegroundWindow() == lower; }));
    EXPECT_EQ(GetActiveWindow(), lower);
    EXPECT_EQ(picture_difference(expected_picture(240, 320, 0,
                                                  {{60, 60, 160, 160, 0x0000FF},
                                                   {20, 30, 120, 130, 0xFF0000},
                                                   {150, 250, 210, 290, 0x0000FF}}),
                                 painted_picture()),
              "")
        << "the tapped window is on top";

    EXPECT_EQ(seen_after([&] { return screen.control().tap(160, 260); }, 2),
              (std::vector<Seen>{{aside, WM_LBUTTONDOWN, 1, at(10, 10)}, {aside, WM_LBUTTONUP, 0, at(10, 10)}}));
    EXPECT_EQ(GetForegroundWindow(), lower) << "a window that asks not to be activated is only tapped";
}

TEST_F(WindowsOnScreen, TheCaptureTakesTheStylusOutsideItAndHearsWhenItLosesIt) {
    HWND const top = make(u"JoinPlain", {20, 30, 200, 230});
    HWND const child = make(u"JoinPlain", {10, 10, 60, 50}, top, WS_VISIBLE);
    painted_picture();
    SetCapture(child);
    EXPECT_EQ(seen_after([&] { return screen.control().tap(170, 200); }, 2),
              (std::vector<Seen>{{child, WM_LBUTTONDOWN, 1, at(140, 160)}, {child, WM_LBUTTONUP, 0, at(140, 160)}}));
    ReleaseCapture();
    EXPECT_EQ(seen_after([&] { return screen.control().tap(170, 200); }, 2),
              (std::vector<Seen>{{top, WM_LBUTTONDOWN, 1, at(150, 170)}, {top, WM_LBUTTONUP, 0, at(150, 170)}}));
}

TEST_F(WindowsOnScreen, KeysGoToTheFocusAndTranslateMessagePostsTheCharacter) {
    HWND const top = make(u"JoinPlain", {0, 0, 200, 200});
    HWND const child = make(u"JoinPlain", {10, 10, 60, 50}, top, WS_VISIBLE);
    painted_picture();
    SetForegroundWindow(top);
    SetFocus(child);
    platform::detail::sync_screen();  // the screen knows before the key comes
    EXPECT_EQ(seen_after([&] { return screen.control().press('A', u'a'); }, 3),
              (std::vector<Seen>{{child, WM_KEYDOWN, 'A', 1},
                                 {child, WM_CHAR, u'a', 1},
                                 {child, WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001u)}}));
}

// Keys that wait in the queue keep their characters, whatever keys without one come between.
TEST_F(WindowsOnScreen, AKeyWithoutACharacterLeavesTheCharactersOfTheKeysAfterIt) {
    HWND const top = make(u"JoinPlain", {0, 0, 200, 200});
    painted_picture();
    SetForegroundWindow(top);
    platform::detail::sync_screen();
    auto const keys = [&] {
        return screen.control().press('A', u'a') && screen.control().press(VK_LEFT) && screen.control().press('B', u'b');
    };
    auto const up = static_cast<LPARAM>(0xC0000001u);
    EXPECT_EQ(seen_after(keys, 8), (std::vector<Seen>{{top, WM_KEYDOWN, 'A', 1},
                                                      {top, WM_CHAR, u'a', 1},
                                                      {top, WM_KEYUP, 'A', up},
                                                      {top, WM_KEYDOWN, VK_LEFT, 1},
                                                      {top, WM_KEYUP, VK_LEFT, up},
                                                      {top, WM_KEYDOWN, 'B', 1},
                                                      {top, WM_CHAR, u'b', 1},
                                                      {top, WM_KEYUP, 'B', up}}));
}

TEST_F(WindowsOnScreen, AHotKeyComesToItsHolderWhateverIsInFront) {
    HWND const holder = make(u"JoinPlain", {0, 0, 100, 100}, nullptr, 0);
    HWND const front = make(u"JoinPlain", {0, 0, 200, 200});
    HWND const other = make(u"JoinDouble", {0, 0, 10, 10}, nullptr, 0);
    painted_picture();
    SetForegroundWindow(front);
    platform::detail::sync_screen();
    // As a program takes a hardware button from the shell first.
    HMODULE const system = LoadLibraryW(u"coredll.dll");
    ASSERT_NE(system, nullptr);
    auto const take_from_shell = reinterpret_cast<BOOL (*)(UINT, UINT)>(GetProcAddressW(system, u"UnregisterFunc1"));
    ASSERT_NE(take_from_shell, nullptr);
    EXPECT_TRUE(take_from_shell(MOD_WIN, 0xC3));
    EXPECT_EQ(GetProcAddressW(system, u"NoSuchFunction"), nullptr);
    FreeLibrary(system);
    ASSERT_TRUE(RegisterHotKey(holder, 7, MOD_WIN, 0xC3));
    EXPECT_FALSE(RegisterHotKey(other, 8, MOD_WIN, 0xC3)) << "held by another window";
    EXPECT_EQ(seen_after([&] { return screen.control().button(3); }, 1),
              (std::vector<Seen>{{holder, WM_HOTKEY, 7, at(MOD_WIN, 0xC3)}}));
    ASSERT_TRUE(UnregisterHotKey(holder, 7));
    EXPECT_EQ(seen_after([&] { return screen.control().button(3); }, 2),
              (std::vector<Seen>{{front, WM_KEYDOWN, 0xC3, 1}, {front, WM_KEYUP, 0xC3, static_cast<LPARAM>(0xC0000001u)}}));
}

// A program chooses its skin by the screen's size before it makes its first window: it must
// learn the size of the screen that runs, not the one its environment would start.
TEST_F(ScreenTest, AProcessWithoutWindowsLearnsTheSizeOfTheRunningScreen) {
    ASSERT_TRUE(screen.connected());
    ASSERT_TRUE(screen.control().set_size(480, 640));
    EXPECT_EQ((std::vector<int>{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}),
              (std::vector<int>{480, 640}));
}

TEST_F(WindowsOnScreen, MetricsComeFromTheScreenAndASizeChangeIsAnnounced) {
    HWND const window = CreateWindowExW(0, u"JoinPlain", u"", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    made_.push_back(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{0, 0, 240, 320}))
        << "CW_USEDEFAULT gives the work area";
    painted_picture();
    HDC const screen_dc = GetDC(nullptr);
    EXPECT_EQ((std::vector<int>{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                GetDeviceCaps(screen_dc, HORZRES), GetDeviceCaps(screen_dc, LOGPIXELSX),
                                GetDeviceCaps(screen_dc, BITSPIXEL)}),
              (std::vector<int>{240, 320, 240, 96, 32}));
    EXPECT_EQ(seen_after([&] { return screen.control().set_size(480, 640); }, 1),
              (std::vector<Seen>{{window, WM_SETTINGCHANGE, 0x3002, 0}}));
    EXPECT_EQ((std::vector<int>{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                GetDeviceCaps(screen_dc, HORZRES), GetDeviceCaps(screen_dc, LOGPIXELSX)}),
              (std::vector<int>{480, 640, 480, 192}));
    ReleaseDC(nullptr, screen_dc);
}


// A window of another process on the same screen (the helper's "painted" mode).
class PaintedProcess {
public:
    PaintedProcess(RECT rect, const char* colour)
        : child_({"painted", std::to_string(rect.left), std::to_string(rect.top), std::to_string(rect.right),
                  std::to_string(rect.bottom), colour}) {
        void* handle = nullptr;
        std::sscanf(child_.read_line().c_str(), "ready %p", &handle);
        window_ = static_cast<HWND>(handle);
    }
    ~PaintedProcess() {
        kill(child_.pid(), SIGCONT);
    }
    HWND window() const { return window_; }
    testing_support::ChildProcess& child() { return child_; }
    // The lines the process printed until it handled a mark posted now.
    std::vector<std::string> lines_until_mark() {
        PostMessageW(window_, WM_USER + 5, 0, 0);
        std::vector<std::string> lines;
        for (std::string line = child_.read_line(); !line.empty() && line != "mark"; line = child_.read_line()) {
            lines.push_back(line);
        }
        return lines;
    }
    // The next line that starts with prefix.
    std::string next(const std::string& prefix) {
        for (std::string line = child_.read_line(); !line.empty(); line = child_.read_line()) {
            if (line.rfind(prefix, 0) == 0) return line;
        }
        return "";
    }

private:
    testing_support::ChildProcess child_;
    HWND window_ = nullptr;
};

bool has_paint(const std::vector<std::string>& lines) {
    return std::find(lines.begin(), lines.end(), "paint") != lines.end();
}

TEST_F(WindowsOnScreen, AnotherProcessesWindowUnderOursIsRecomposedNotRepaintedWhenUncovered) {
    PaintedProcess under({20, 20, 120, 120}, "ff0000");
    ASSERT_NE(under.window(), nullptr);
    // Its first paint comes when its queue is empty, so a mark posted at once can overtake it.
    ASSERT_EQ(under.next("paint"), "paint");
    under.lines_until_mark();
    HWND const over = make(u"JoinDouble", {60, 60, 160, 160});
    EXPECT_EQ(picture_difference(expected_picture(240, 320, 0, {{20, 20, 120, 120, 0xFF0000}, {60, 60, 160, 160, 0x0000FF}}),
                                 painted_picture()),
              "");
    std::vector<platform::screen::ScreenRect> composed;
    screen.control().composed_area(composed);

    ASSERT_TRUE(MoveWindow(over, 130, 130, 100, 100, TRUE));
    EXPECT_EQ(picture_difference(expected_picture(240, 320, 0, {{20, 20, 120, 120, 0xFF0000}, {130, 130, 230, 230, 0x0000FF}}),
                                 painted_picture()),
              "");
    EXPECT_FALSE(has_paint(under.lines_until_mark())) << "the uncovered part comes from the other process's surface";
    ASSERT_TRUE(screen.control().composed_area(composed));
    auto const inside = [](int x, int y, int left, int top) { return x >= left && y >= top && x < left + 100 && y < top + 100; };
    int outside = 0;
    for (auto const& rect : composed) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) outside += inside(x, y, 60, 60) || inside(x, y, 130, 130) ? 0 : 1;
        }
    }
    EXPECT_EQ(outside, 0) << "pixels composed outside where the window was and is";
}

TEST_F(WindowsOnScreen, AKilledProcessesWindowVanishesAndAStoppedOneDoesNotStopOurPainting) {
    PaintedProcess killed({20, 20, 120, 120}, "ff0000");
    PaintedProcess stopped({140, 20, 220, 100}, "00ff00");
    killed.lines_until_mark();
    stopped.lines_until_mark();
    ASSERT_TRUE(screen.wait_idle());
    kill(stopped.child().pid(), SIGSTOP);
    killed.child().kill_hard();
    HWND const ours = make(u"JoinDouble", {20, 200, 100, 280});
    EXPECT_TRUE(testing_support::eventually([&] {
        pump_messages_until([] { return false; }, 5);
        return picture_difference(expected_picture(240, 320, 0, {{140, 20, 220, 100, 0x00FF00}, {20, 200, 100, 280, 0x0000FF}}),
                                  screen.screenshot())
            .empty();
    }));
    (void)ours;
}

TEST_F(WindowsOnScreen, TheForegroundGoesAcrossProcessesAndTakesTheKeysAndTapsWithIt) {
    PaintedProcess other({100, 100, 200, 200}, "00ff00");
    HWND const ours = make(u"JoinPlain", {0, 0, 90, 90});
    painted_picture();
    SetForegroundWindow(ours);
    seen.clear();
    ASSERT_TRUE(SetForegroundWindow(other.window()));
    EXPECT_EQ(other.next("activate"), "activate 1");
    EXPECT_TRUE(testing_support::eventually([&] {
        for (auto const& line : screen.windows()) {
            if (line.foreground) return line.window == reinterpret_cast<std::uintptr_t>(other.window());
        }
        return false;
    })) << "the screen has the other process's window in front";
    EXPECT_EQ(seen_after([&] { return screen.control().press('K'); }, 0), std::vector<Seen>{}) << "ours gets no key";
    EXPECT_EQ(other.next("key"), "key 75");
    ASSERT_TRUE(screen.control().tap(130, 150));
    EXPECT_EQ(other.next("down"), "down 30 50");
    PostMessageW(other.window(), WM_USER + 2, 0, 0);
}


TEST_F(WindowsOnScreen, AThreadsEndTakesItsWindowsOffTheScreen) {
    std::size_t while_running = 0;
    std::thread([&] {
        CreateWindowExW(0, u"JoinPlain", u"gone", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        platform::detail::sync_screen();
        while_running = screen.windows().size();
    }).join();
    EXPECT_EQ(while_running, 1u);
    platform::detail::sync_screen();
    EXPECT_TRUE(screen.windows().empty());
}


TEST_F(WindowsOnScreen, WhereAChildWasIsPaintedAgainWhenItLeaves) {
    using testing_support::PaintedRect;
    struct Case {
        const char* name;
        std::function<void(HWND child)> leave;
        std::vector<PaintedRect> expected;
    };
    PaintedRect const parent{0, 0, 100, 100, 0xFF0000};
    std::vector<Case> const cases = {
        {"hidden", [](HWND child) { ShowWindow(child, SW_HIDE); }, {parent}},
        {"moved", [](HWND child) { MoveWindow(child, 50, 50, 30, 30, TRUE); }, {parent, {50, 50, 80, 80, 0x0000FF}}},
        {"destroyed", [](HWND child) { DestroyWindow(child); }, {parent}},
        {"made top-level",
         [](HWND child) {
             SetParent(child, nullptr);
             MoveWindow(child, 150, 150, 30, 30, TRUE);
         },
         {parent, {150, 150, 180, 180, 0x0000FF}}},
    };
    for (auto const& test : cases) {
        HWND const top = make(u"JoinPlain", {0, 0, 100, 100});
        HWND const child = make(u"JoinDouble", {10, 10, 40, 40}, top, WS_VISIBLE);
        EXPECT_EQ(picture_difference(expected_picture(240, 320, 0, {parent, {10, 10, 40, 40, 0x0000FF}}), painted_picture()),
                  "")
            << test.name;
        test.leave(child);
        EXPECT_EQ(picture_difference(expected_picture(240, 320, 0, test.expected), painted_picture()), "") << test.name;
        DestroyWindow(child);
        DestroyWindow(top);
        made_.clear();
    }
}

}  // namespace
}  // namespace screen_tests
