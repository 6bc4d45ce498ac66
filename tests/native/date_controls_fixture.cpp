#include "tests/native/date_controls_fixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "native/calendar_date.h"
#include "platform/gdi.h"
#include "tests/support/message_loop.h"

namespace date_controls {
namespace {

std::vector<Notice> notices;

LRESULT owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NOTIFY) {
        auto const* const header = reinterpret_cast<const NMHDR*>(lparam);
        Notice notice{header->hwndFrom, header->code, {}};
        if (header->code == MCN_SELCHANGE || header->code == MCN_SELECT) {
            notice.time = reinterpret_cast<const NMSELCHANGE*>(lparam)->stSelStart;
        } else if (header->code == DTN_DATETIMECHANGE) {
            notice.time = reinterpret_cast<const NMDATETIMECHANGE*>(lparam)->st;
        }
        notices.push_back(notice);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void User::tap(POINT point) { EXPECT_TRUE(screen_.control().tap(point.x, point.y)); }

void User::press(std::uint32_t vk) { EXPECT_TRUE(screen_.control().press(vk)); }

void DateControlsTest::SetUp() {
    ASSERT_TRUE(screen.connected());
    notices.clear();
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = owner_procedure;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = u"DateOwner";
    RegisterClassW(&window_class);
    owner = CreateWindowExW(0, u"DateOwner", u"", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SetForegroundWindow(owner);
}

void DateControlsTest::TearDown() {
    DestroyWindow(owner);
    UnregisterClassW(u"DateOwner", nullptr);
}

HWND DateControlsTest::create(LPCWSTR class_name, DWORD style, int x, int y, int width, int height, int id) {
    HWND const window = CreateWindowExW(0, class_name, u"DateTime", WS_CHILD | WS_BORDER | WS_VISIBLE | style, x, y,
                                        width, height, owner, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)),
                                        nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    return window;
}

void DateControlsTest::as_user(const std::function<void(User&)>& act) {
    std::atomic<bool> done{false};
    std::thread user_thread([&] {
        User user(screen);
        user.screen().wait_idle();
        act(user);
        user.screen().wait_idle();
        done = true;
    });
    EXPECT_TRUE(testing_support::pump_messages_until([&] { return done.load(); }, 60000));
    user_thread.join();
    // What the last input posted (a typed character) is handled too.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

SYSTEMTIME DateControlsTest::calendar_selection(HWND calendar) {
    SYSTEMTIME time{};
    EXPECT_TRUE(SendMessageW(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&time)));
    return time;
}

SYSTEMTIME DateControlsTest::picker_value(HWND picker) {
    SYSTEMTIME time{};
    EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)), static_cast<LRESULT>(GDT_VALID));
    return time;
}

std::vector<Notice> DateControlsTest::notices_of(UINT code) const {
    std::vector<Notice> found;
    for (auto const& notice : notices) {
        if (notice.code == code) found.push_back(notice);
    }
    return found;
}

void DateControlsTest::clear_notices() { notices.clear(); }

std::vector<platform::screen::ScreenRect> DateControlsTest::shown(const char* class_name) {
    std::vector<platform::screen::ScreenRect> found;
    for (auto const& window : screen.windows()) {
        if (window.class_name == class_name && window.visible) found.push_back(window.rect);
    }
    return found;
}

// The layout at 96 dpi: a one-pixel border, a 22-pixel title, a 2-pixel gap, a 16-pixel row
// of day names and a one-pixel line, six weeks of 20 x 16 cells centred across, then an
// 18-pixel line with today's date.
CalendarPlaces::CalendarPlaces(HWND calendar, int scale) : s_(scale) {
    GetWindowRect(calendar, &window_);
    int const inner_width = window_.right - window_.left - 2;
    grid_left_ = window_.left + 1 + (inner_width - 140 * s_) / 2;
    grid_top_ = window_.top + 1 + 41 * s_;
}

POINT CalendarPlaces::previous_arrow() const { return {window_.left + 1 + 11 * s_, window_.top + 1 + 11 * s_}; }

POINT CalendarPlaces::next_arrow() const { return {window_.right - 2 - 11 * s_, window_.top + 1 + 11 * s_}; }

POINT CalendarPlaces::cell(int index) const {
    return {grid_left_ + (index % 7) * 20 * s_ + 10 * s_, grid_top_ + (index / 7) * 16 * s_ + 8 * s_};
}

POINT CalendarPlaces::today_line() const { return {(window_.left + window_.right) / 2, grid_top_ + 96 * s_ + 9 * s_}; }

RECT CalendarPlaces::title() const { return {window_.left + 1, window_.top + 1, window_.right - 1, window_.top + 1 + 22 * s_}; }

int cell_of(int year, int month, int day) { return native::day_of_week({year, month, 1}) + day - 1; }

bool same_date(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

bool same_date_time(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return same_date(a, b) && a.wHour == b.wHour && a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

}  // namespace date_controls
