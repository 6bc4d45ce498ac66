// The month calendar on the device's screen, driven by the stylus and the keys.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "native/calendar_date.h"
#include "platform/gdi.h"
#include "tests/native/date_controls_fixture.h"
#include "tests/support/system_time.h"

namespace date_controls {
namespace {

using testing_support::make_time;

class MonthCalendarTest : public DateControlsTest {
protected:
    explicit MonthCalendarTest(const char* size = "240x320") : DateControlsTest(size) {}
    HWND calendar_at(const SYSTEMTIME& selected) {
        HWND const calendar = create(MONTHCAL_CLASSW, 0, 0, 0, 0, 0);
        RECT minimum{};
        EXPECT_TRUE(SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum)));
        SetWindowPos(calendar, nullptr, 10, 10, minimum.right, minimum.bottom, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        EXPECT_TRUE(SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&selected)));
        return calendar;
    }
};

struct PickCase {
    const char* name;
    SYSTEMTIME start;
    std::function<void(User&, const CalendarPlaces&)> act;
    SYSTEMTIME expected;
};

TEST_F(MonthCalendarTest, AUserPicksADayByStylusAndByKeys) {
    std::vector<PickCase> const cases = {
        {"a tap on a day", make_time(2026, 12, 11),
         [](User& user, const CalendarPlaces& at) { user.tap(at.cell(cell_of(2026, 12, 24))); }, make_time(2026, 12, 24)},
        {"a tap on a day of the month before", make_time(2026, 12, 11),
         [](User& user, const CalendarPlaces& at) { user.tap(at.cell(0)); }, make_time(2026, 11, 29)},
        {"a tap on a day of the month after", make_time(2026, 12, 11),
         [](User& user, const CalendarPlaces& at) { user.tap(at.cell(41)); }, make_time(2027, 1, 9)},
        {"the next arrow across the year", make_time(2026, 12, 11),
         [](User& user, const CalendarPlaces& at) { user.tap(at.next_arrow()); }, make_time(2027, 1, 11)},
        {"the previous arrow across the year", make_time(2027, 1, 5),
         [](User& user, const CalendarPlaces& at) { user.tap(at.previous_arrow()); }, make_time(2026, 12, 5)},
        {"the 31st a month on keeps the last day of February", make_time(2027, 1, 31),
         [](User& user, const CalendarPlaces& at) { user.tap(at.next_arrow()); }, make_time(2027, 2, 28)},
        {"the 31st a month on keeps the 29th in a leap year", make_time(2028, 1, 31),
         [](User& user, const CalendarPlaces&) { user.press(VK_NEXT); }, make_time(2028, 2, 29)},
        {"Feb 29 a year back by twelve months", make_time(2028, 2, 29),
         [](User& user, const CalendarPlaces&) { for (int month = 0; month < 12; ++month) user.press(VK_PRIOR); },
         make_time(2027, 2, 28)},
        {"right from the last day of the year", make_time(2026, 12, 31),
         [](User& user, const CalendarPlaces&) { user.press(VK_RIGHT); }, make_time(2027, 1, 1)},
        {"left from the 1st of March in a leap year", make_time(2024, 3, 1),
         [](User& user, const CalendarPlaces&) { user.press(VK_LEFT); }, make_time(2024, 2, 29)},
        {"down and up move by weeks", make_time(2026, 12, 11),
         [](User& user, const CalendarPlaces&) { for (auto vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP}) user.press(vk); },
         make_time(2026, 12, 25)},
        {"end", make_time(2024, 2, 10),
         [](User& user, const CalendarPlaces&) { user.press(VK_END); }, make_time(2024, 2, 29)},
        {"home", make_time(2024, 2, 10), [](User& user, const CalendarPlaces&) { user.press(VK_HOME); },
         make_time(2024, 2, 1)},
    };
    for (auto const& c : cases) {
        HWND const calendar = calendar_at(c.start);
        SetFocus(calendar);
        CalendarPlaces const at(calendar, scale());
        as_user([&](User& user) { c.act(user, at); });
        EXPECT_TRUE(same_date(calendar_selection(calendar), c.expected)) << c.name;
        auto const changes = notices_of(MCN_SELCHANGE);
        ASSERT_FALSE(changes.empty()) << c.name;
        EXPECT_TRUE(same_date(changes.back().time, c.expected)) << c.name;
        EXPECT_EQ(changes.back().from, calendar) << c.name;
        DestroyWindow(calendar);
        as_user([](User&) {});
    }
}

TEST_F(MonthCalendarTest, ATapOnADayOrReturnChoosesIt) {
    HWND const calendar = calendar_at(make_time(2026, 12, 11));
    CalendarPlaces const at(calendar, scale());
    as_user([&](User& user) { user.tap(at.cell(cell_of(2026, 12, 3))); });
    ASSERT_EQ(notices_of(MCN_SELECT).size(), 1u);
    EXPECT_TRUE(same_date(notices_of(MCN_SELECT)[0].time, make_time(2026, 12, 3)));
    EXPECT_EQ(GetFocus(), calendar) << "a tap gives the calendar the focus";

    as_user([&](User& user) {
        user.tap(at.next_arrow());
        user.press(VK_RIGHT);
    });
    EXPECT_EQ(notices_of(MCN_SELECT).size(), 1u) << "moving is no choice";
    as_user([&](User& user) { user.press(VK_RETURN); });
    ASSERT_EQ(notices_of(MCN_SELECT).size(), 2u);
    EXPECT_TRUE(same_date(notices_of(MCN_SELECT)[1].time, make_time(2027, 1, 4)));
}

TEST_F(MonthCalendarTest, TheTodayLineSelectsToday) {
    HWND const calendar = calendar_at(make_time(2026, 3, 1));
    SYSTEMTIME const today = make_time(2031, 7, 15);
    ASSERT_TRUE(SendMessageW(calendar, MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&today)));
    CalendarPlaces const at(calendar, scale());
    as_user([&](User& user) { user.tap(at.today_line()); });
    EXPECT_TRUE(same_date(calendar_selection(calendar), today));
    EXPECT_EQ(notices_of(MCN_SELECT).size(), 1u);
}

TEST_F(MonthCalendarTest, ADayThatDoesNotExistIsRefusedAndTheSelectionKept) {
    HWND const calendar = calendar_at(make_time(2024, 2, 29));
    for (auto const& wrong : {make_time(2023, 2, 29), make_time(2024, 13, 1), make_time(2024, 4, 31), make_time(2024, 0, 10),
                              make_time(2024, 5, 0), make_time(1600, 12, 31), make_time(10000, 1, 1)}) {
        EXPECT_FALSE(SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&wrong)))
            << wrong.wYear << "-" << wrong.wMonth << "-" << wrong.wDay;
    }
    SYSTEMTIME const kept = calendar_selection(calendar);
    EXPECT_TRUE(same_date(kept, make_time(2024, 2, 29)));
    EXPECT_EQ(kept.wDayOfWeek, 4) << "a Thursday";
    EXPECT_EQ(kept.wHour, 0);
    EXPECT_TRUE(notices_of(MCN_SELCHANGE).empty()) << "the program's own settings are not reported";
}

TEST_F(MonthCalendarTest, TheMinimumSizeHoldsAWholeMonth) {
    HWND const calendar = calendar_at(make_time(2026, 5, 31));  // May 2026 needs six weeks
    RECT minimum{};
    ASSERT_TRUE(SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum)));
    EXPECT_EQ(minimum.left, 0);
    EXPECT_EQ(minimum.top, 0);
    EXPECT_GE(minimum.right, 7 * 20 * scale());
    EXPECT_LE(minimum.right, GetSystemMetrics(SM_CXSCREEN) - 20) << "fits the screen with the form's margins";
    EXPECT_LE(minimum.bottom, GetSystemMetrics(SM_CYSCREEN) / 2 + 20 * scale());
    // At that size the last week and the today line answer the stylus.
    SYSTEMTIME const today = make_time(2026, 5, 2);
    SendMessageW(calendar, MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&today));
    CalendarPlaces const at(calendar, scale());
    as_user([&](User& user) { user.tap(at.cell(cell_of(2026, 5, 31))); });
    EXPECT_TRUE(same_date(calendar_selection(calendar), make_time(2026, 5, 31)));
    as_user([&](User& user) { user.tap(at.today_line()); });
    EXPECT_TRUE(same_date(calendar_selection(calendar), today));
}

class LargeMonthCalendarTest : public MonthCalendarTest {
protected:
    LargeMonthCalendarTest() : MonthCalendarTest("480x640") {}
};

TEST_F(LargeMonthCalendarTest, OnADoubleDensityScreenEverythingIsTwiceAsLarge) {
    HWND const calendar = calendar_at(make_time(2026, 12, 11));
    RECT minimum{};
    ASSERT_TRUE(SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum)));
    EXPECT_GE(minimum.right, 7 * 40);
    EXPECT_GE(minimum.bottom, 2 * 150);
    CalendarPlaces const at(calendar, 2);
    as_user([&](User& user) {
        user.tap(at.next_arrow());
        user.tap(at.cell(cell_of(2027, 1, 20)));
    });
    EXPECT_TRUE(same_date(calendar_selection(calendar), make_time(2027, 1, 20)));
}

std::uint32_t screen_colour(COLORREF colour) {
    return 0xFF000000u | GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

TEST_F(MonthCalendarTest, TheColoursSetAreDrawn) {
    HWND const calendar = calendar_at(make_time(2026, 12, 11));
    SYSTEMTIME const today = make_time(2026, 12, 1);
    SendMessageW(calendar, MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&today));
    struct Colour {
        int index;
        COLORREF colour;
    };
    std::vector<Colour> const colours = {{MCSC_TEXT, RGB(200, 0, 0)},
                                         {MCSC_TITLETEXT, RGB(255, 255, 0)},
                                         {MCSC_MONTHBK, RGB(220, 240, 255)},
                                         {MCSC_TITLEBK, RGB(0, 100, 0)}};
    for (auto const& c : colours) {
        LRESULT const previous = SendMessageW(calendar, MCM_SETCOLOR, c.index, static_cast<LPARAM>(c.colour));
        EXPECT_NE(previous, -1) << c.index;
        EXPECT_EQ(SendMessageW(calendar, MCM_GETCOLOR, c.index, 0), static_cast<LRESULT>(c.colour));
    }
    EXPECT_EQ(SendMessageW(calendar, MCM_SETCOLOR, 6, 0), -1) << "no such colour";

    as_user([](User&) {});
    auto const picture = screen.screenshot();
    CalendarPlaces const at(calendar, scale());
    RECT const title = at.title();
    EXPECT_EQ(picture.at(title.left + 30 * scale(), title.top + 2), screen_colour(RGB(0, 100, 0))) << "title";
    POINT const arrow = at.next_arrow();
    EXPECT_EQ(picture.at(arrow.x, arrow.y), screen_colour(RGB(255, 255, 0))) << "the arrow in the title's text colour";
    POINT const plain = at.cell(cell_of(2026, 12, 17));
    EXPECT_EQ(picture.at(plain.x - 9 * scale(), plain.y - 7 * scale()), screen_colour(RGB(220, 240, 255))) << "month";
    POINT const selected = at.cell(cell_of(2026, 12, 11));
    EXPECT_EQ(picture.at(selected.x - 8 * scale(), selected.y), screen_colour(RGB(0, 100, 0))) << "selected day";
    // The day numbers are drawn in the text colour: some pixel of a number has it.
    bool text_found = false;
    for (int y = plain.y - 6 * scale(); y < plain.y + 6 * scale(); ++y) {
        for (int x = plain.x - 8 * scale(); x < plain.x + 8 * scale(); ++x) text_found |= picture.at(x, y) == screen_colour(RGB(200, 0, 0));
    }
    EXPECT_TRUE(text_found);
}

TEST_F(MonthCalendarTest, PrivateMessagesOfTheFormAreIgnored) {
    HWND const calendar = calendar_at(make_time(2026, 12, 11));
    for (UINT message : {WM_USER + 2, WM_USER + 4, WM_USER + 33}) {
        EXPECT_EQ(SendMessageW(calendar, message, 1, 1), 0) << message;
    }
    EXPECT_TRUE(same_date(calendar_selection(calendar), make_time(2026, 12, 11)));
}

// The skin framework replaces the procedure and passes what it does not handle on.
LRESULT counting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
WNDPROC original = nullptr;
int stylus_downs_seen = 0;
LRESULT counting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN) ++stylus_downs_seen;
    return CallWindowProcW(original, window, message, wparam, lparam);
}

TEST_F(MonthCalendarTest, ItsProcedureCanBeSubclassed) {
    HWND const calendar = calendar_at(make_time(2026, 12, 11));
    original = reinterpret_cast<WNDPROC>(GetWindowLongW(calendar, GWL_WNDPROC));
    ASSERT_NE(original, nullptr);
    SetWindowLongW(calendar, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(counting_procedure));
    stylus_downs_seen = 0;
    CalendarPlaces const at(calendar, scale());
    as_user([&](User& user) { user.tap(at.cell(cell_of(2026, 12, 1))); });
    EXPECT_EQ(stylus_downs_seen, 1);
    EXPECT_TRUE(same_date(calendar_selection(calendar), make_time(2026, 12, 1)));
}

struct DateCase {
    int year, month, day;
    int weekday;
};

TEST(CalendarDateTest, WeekdaysLeapYearsAndMonthSteps) {
    for (auto const& c : std::vector<DateCase>{{1601, 1, 1, 1}, {1900, 3, 1, 4}, {2000, 2, 29, 2}, {2024, 2, 29, 4},
                                               {2026, 12, 11, 5}, {9999, 12, 31, 5}}) {
        EXPECT_EQ(native::day_of_week({c.year, c.month, c.day}), c.weekday) << c.year << "-" << c.month << "-" << c.day;
    }
    EXPECT_FALSE(native::is_valid({1900, 2, 29})) << "a century is no leap year";
    EXPECT_TRUE(native::is_valid({2000, 2, 29})) << "but every fourth one is";
    EXPECT_EQ(native::add_months({9999, 12, 5}, 1), (native::CalendarDate{9999, 12, 5})) << "stays inside the years";
    EXPECT_EQ(native::add_days({1601, 1, 1}, -1), (native::CalendarDate{1601, 1, 1}));
    EXPECT_EQ(native::add_days({2023, 12, 31}, 60), (native::CalendarDate{2024, 2, 29}));
}

}  // namespace
}  // namespace date_controls
