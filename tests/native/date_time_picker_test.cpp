// The date-time pickers on the device's screen: a date dropped down as a month calendar, a
// time stepped field by field, by stylus and by keys.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "tests/native/date_controls_fixture.h"
#include "tests/support/system_time.h"

namespace date_controls {
namespace {

using platform::screen::ScreenRect;
using testing_support::make_time;

constexpr char calendar_class[] = "SysMonthCal32";

class DateTimePickerTest : public DateControlsTest {
public:
    HWND picker_at(DWORD style, const SYSTEMTIME& value, int y = 40) {
        HWND const picker = create(DATETIMEPICK_CLASSW, style, 20, y, 180, 20 * scale());
        EXPECT_TRUE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value)));
        return picker;
    }
    // The picker's parts as a user finds them: its buttons at the right, its text at the left.
    POINT drop_button(HWND picker) {
        RECT rect{};
        GetWindowRect(picker, &rect);
        return {rect.right - 1 - 8 * scale(), (rect.top + rect.bottom) / 2};
    }
    POINT up_button(HWND picker) {
        RECT rect{};
        GetWindowRect(picker, &rect);
        return {rect.right - 1 - 8 * scale(), rect.top + 4 * scale()};
    }
    POINT down_button(HWND picker) {
        RECT rect{};
        GetWindowRect(picker, &rect);
        return {rect.right - 1 - 8 * scale(), rect.bottom - 4 * scale()};
    }
    POINT first_part(HWND picker) {
        RECT rect{};
        GetWindowRect(picker, &rect);
        return {rect.left + 5 * scale(), (rect.top + rect.bottom) / 2};
    }
    POINT blank_after_text(HWND picker) {
        RECT rect{};
        GetWindowRect(picker, &rect);
        return {rect.right - 30 * scale(), (rect.top + rect.bottom) / 2};
    }
    // The open drop-down, waited for.
    ScreenRect drop_down(User& user) {
        for (int attempt = 0; attempt < 500; ++attempt) {
            user.screen().wait_idle();
            auto const found = shown(calendar_class);
            if (!found.empty()) return found[0];
        }
        ADD_FAILURE() << "no drop-down";
        return {};
    }
    void expect_closed() {
        EXPECT_TRUE(shown(calendar_class).empty()) << "the drop-down is closed";
    }
};

struct DateCase {
    const char* name;
    std::function<void(DateTimePickerTest&, User&, HWND)> act;
    SYSTEMTIME expected;
    bool changed;
};

TEST_F(DateTimePickerTest, ADateIsPickedFromTheDropDownByStylusAndByKeys) {
    SYSTEMTIME const start = make_time(2026, 12, 11, 18, 3, 42);
    std::vector<DateCase> const cases = {
        {"a tap on a day",
         [](DateTimePickerTest& test, User& user, HWND picker) {
             user.tap(test.drop_button(picker));
             ScreenRect const open = test.drop_down(user);
             EXPECT_GE(open.top, 40 + 20 * test.scale()) << "below the field";
             HWND const calendar = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
             user.tap(CalendarPlaces(calendar, test.scale()).cell(cell_of(2026, 12, 24)));
         },
         make_time(2026, 12, 24, 18, 3, 42), true},
        {"a month on by the arrow, then a day",
         [](DateTimePickerTest& test, User& user, HWND picker) {
             user.tap(test.drop_button(picker));
             test.drop_down(user);
             HWND const calendar = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
             CalendarPlaces const at(calendar, test.scale());
             user.tap(at.next_arrow());
             user.screen().wait_idle();
             EXPECT_FALSE(test.shown(calendar_class).empty()) << "an arrow is no choice";
             user.tap(at.cell(cell_of(2027, 1, 2)));
         },
         make_time(2027, 1, 2, 18, 3, 42), true},
        {"keys: F4, two days on, Return",
         [](DateTimePickerTest& test, User& user, HWND) {
             user.press(VK_F4);
             test.drop_down(user);
             for (auto vk : {VK_RIGHT, VK_RIGHT, VK_RETURN}) user.press(vk);
         },
         make_time(2026, 12, 13, 18, 3, 42), true},
        {"a tap outside closes it unchanged",
         [](DateTimePickerTest& test, User& user, HWND picker) {
             user.tap(test.drop_button(picker));
             test.drop_down(user);
             user.press(VK_RIGHT);
             user.tap({230, 310});
         },
         start, false},
        {"escape closes it unchanged",
         [](DateTimePickerTest& test, User& user, HWND) {
             user.press(VK_F4);
             test.drop_down(user);
             user.press(VK_DOWN);
             user.press(VK_ESCAPE);
         },
         start, false},
    };
    for (auto const& c : cases) {
        HWND const picker = picker_at(DTS_SHORTDATEFORMAT, start);
        SetFocus(picker);
        as_user([&](User& user) { c.act(*this, user, picker); });
        expect_closed();
        EXPECT_TRUE(same_date_time(picker_value(picker), c.expected)) << c.name;
        auto const changes = notices_of(DTN_DATETIMECHANGE);
        EXPECT_EQ(changes.size(), c.changed ? 1u : 0u) << c.name;
        if (!changes.empty()) {
            EXPECT_TRUE(same_date_time(changes.back().time, c.expected)) << c.name;
        }
        EXPECT_EQ(notices_of(DTN_DROPDOWN).size(), notices_of(DTN_CLOSEUP).size()) << c.name;
        DestroyWindow(picker);
        as_user([](User&) {});
        clear_notices();
    }
}

struct StepCase {
    const char* name;
    DWORD style;
    SYSTEMTIME start;
    std::function<void(DateTimePickerTest&, User&, HWND)> act;
    SYSTEMTIME expected;
};

TEST_F(DateTimePickerTest, PartsAreSelectedAndSteppedByStylusAndByKeys) {
    std::vector<StepCase> const cases = {
        {"minutes up by the button", DTS_TIMEFORMAT, make_time(2026, 12, 11, 6, 3, 42),
         [](DateTimePickerTest& test, User& user, HWND picker) {
             user.tap(test.first_part(picker));
             user.press(VK_RIGHT);
             user.tap(test.up_button(picker));
             user.tap(test.up_button(picker));
         },
         make_time(2026, 12, 11, 6, 5, 42)},
        {"seconds wrap without carrying", DTS_TIMEFORMAT, make_time(2026, 12, 11, 6, 3, 59),
         [](DateTimePickerTest&, User& user, HWND) { for (auto vk : {VK_RIGHT, VK_RIGHT, VK_UP}) user.press(vk); },
         make_time(2026, 12, 11, 6, 3, 0)},
        {"hours down past midnight", DTS_TIMEFORMAT, make_time(2026, 12, 11, 0, 30, 0),
         [](DateTimePickerTest& test, User& user, HWND picker) {
             user.tap(test.first_part(picker));
             user.tap(test.down_button(picker));
         },
         make_time(2026, 12, 11, 23, 30, 0)},
        {"a tap after the text selects AM/PM, up turns it", DTS_TIMEFORMAT, make_time(2026, 12, 11, 9, 15, 0),
         [](DateTimePickerTest& test, User& user, HWND picker) {
             user.tap(test.blank_after_text(picker));
             user.tap(test.up_button(picker));
         },
         make_time(2026, 12, 11, 21, 15, 0)},
        {"left wraps to the last part", DTS_TIMEFORMAT, make_time(2026, 12, 11, 21, 15, 0),
         [](DateTimePickerTest&, User& user, HWND) { for (auto vk : {VK_LEFT, VK_DOWN}) user.press(vk); },
         make_time(2026, 12, 11, 9, 15, 0)},
        {"a month on from the 31st keeps the day in range", DTS_SHORTDATEFORMAT | DTS_UPDOWN, make_time(2024, 1, 31, 7, 0, 0),
         [](DateTimePickerTest&, User& user, HWND) { user.press(VK_UP); },
         make_time(2024, 2, 29, 7, 0, 0)},
        {"December up gives January of the same year", DTS_SHORTDATEFORMAT | DTS_UPDOWN, make_time(2024, 12, 5),
         [](DateTimePickerTest&, User& user, HWND) { user.press(VK_UP); }, make_time(2024, 1, 5)},
        {"Feb 29 a year on", DTS_SHORTDATEFORMAT | DTS_UPDOWN, make_time(2024, 2, 29),
         [](DateTimePickerTest& test, User& user, HWND picker) {
             user.tap(test.blank_after_text(picker));
             user.tap(test.up_button(picker));
         },
         make_time(2025, 2, 28)},
        {"day wraps inside February", DTS_SHORTDATEFORMAT | DTS_UPDOWN, make_time(2023, 2, 28),
         [](DateTimePickerTest&, User& user, HWND) { for (auto vk : {VK_RIGHT, VK_UP}) user.press(vk); },
         make_time(2023, 2, 1)},
        {"the long format's weekday steps the day", DTS_LONGDATEFORMAT | DTS_UPDOWN, make_time(2026, 12, 31),
         [](DateTimePickerTest&, User& user, HWND) { user.press(VK_UP); }, make_time(2027, 1, 1)},
        {"typing a time", DTS_TIMEFORMAT, make_time(2026, 12, 11, 18, 3, 42),
         [](DateTimePickerTest&, User& user, HWND) { EXPECT_TRUE(user.screen().control().text(u"1030")); },
         make_time(2026, 12, 11, 22, 30, 42)},
        {"typing AM", DTS_TIMEFORMAT, make_time(2026, 12, 11, 18, 3, 42),
         [](DateTimePickerTest&, User& user, HWND) {
             user.press(VK_LEFT);
             user.screen().wait_idle();  // an arrow's key-down handled before the typing starts
             EXPECT_TRUE(user.screen().control().text(u"a"));
         },
         make_time(2026, 12, 11, 6, 3, 42)},
        {"typing a date, the day kept in range", DTS_SHORTDATEFORMAT | DTS_UPDOWN, make_time(2024, 2, 29),
         [](DateTimePickerTest&, User& user, HWND) { EXPECT_TRUE(user.screen().control().text(u"12252028")); },
         make_time(2028, 12, 25)},
        {"a day the month lacks is not taken", DTS_SHORTDATEFORMAT | DTS_UPDOWN, make_time(2023, 2, 14),
         [](DateTimePickerTest&, User& user, HWND) {
             user.press(VK_RIGHT);
             user.screen().wait_idle();
             EXPECT_TRUE(user.screen().control().text(u"30"));  // "3" sets the 3rd, "30" does not fit
         },
         make_time(2023, 2, 3)},
        {"the long format's month name", DTS_LONGDATEFORMAT | DTS_UPDOWN, make_time(2026, 3, 31),
         [](DateTimePickerTest&, User& user, HWND) { for (auto vk : {VK_RIGHT, VK_DOWN}) user.press(vk); },
         make_time(2026, 2, 28)},
    };
    for (auto const& c : cases) {
        HWND const picker = picker_at(c.style, c.start);
        SetFocus(picker);
        as_user([&](User& user) { c.act(*this, user, picker); });
        SYSTEMTIME const value = picker_value(picker);
        EXPECT_TRUE(same_date_time(value, c.expected))
            << c.name << ": " << value.wYear << "-" << value.wMonth << "-" << value.wDay << " " << value.wHour << ":"
            << value.wMinute << ":" << value.wSecond;
        auto const changes = notices_of(DTN_DATETIMECHANGE);
        ASSERT_FALSE(changes.empty()) << c.name;
        EXPECT_TRUE(same_date_time(changes.back().time, c.expected)) << c.name;
        EXPECT_EQ(changes.back().from, picker) << c.name;
        DestroyWindow(picker);
        as_user([](User&) {});
    }
}

TEST_F(DateTimePickerTest, AValueThatDoesNotExistIsRefusedAndTheValueKept) {
    SYSTEMTIME const start = make_time(2024, 2, 29, 23, 59, 59);
    HWND const picker = picker_at(DTS_TIMEFORMAT, start);
    for (auto const& wrong : {make_time(2023, 2, 29), make_time(2024, 13, 1), make_time(2024, 6, 31), make_time(2024, 1, 1, 24),
                              make_time(2024, 1, 1, 0, 60), make_time(2024, 1, 1, 0, 0, 60), make_time(1600, 1, 1)}) {
        EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&wrong)));
    }
    EXPECT_FALSE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0)) << "there is always a value";
    SYSTEMTIME const kept = picker_value(picker);
    EXPECT_TRUE(same_date_time(kept, start));
    EXPECT_EQ(kept.wDayOfWeek, 4);
    EXPECT_TRUE(notices_of(DTN_DATETIMECHANGE).empty()) << "the program's own settings are not reported";
}

TEST_F(DateTimePickerTest, OnlyADatePickerWithoutUpDownHasAMonthCalendar) {
    HWND const date = picker_at(DTS_SHORTDATEFORMAT, make_time(2026, 1, 1));
    HWND const long_date = picker_at(DTS_LONGDATEFORMAT, make_time(2026, 1, 1), 70);
    HWND const time = picker_at(DTS_TIMEFORMAT, make_time(2026, 1, 1), 100);
    HWND const up_down = picker_at(DTS_UPDOWN, make_time(2026, 1, 1), 130);
    for (HWND picker : {date, long_date}) {
        HWND const calendar = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
        ASSERT_NE(calendar, nullptr);
        WCHAR name[32]{};
        GetClassNameW(calendar, name, 32);
        EXPECT_EQ(std::u16string(name), u"SysMonthCal32");
    }
    EXPECT_EQ(SendMessageW(time, DTM_GETMONTHCAL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(up_down, DTM_GETMONTHCAL, 0, 0), 0);
}

TEST_F(DateTimePickerTest, TheColoursSetOnItsCalendarAreTheDropDownsColours) {
    HWND const picker = picker_at(DTS_SHORTDATEFORMAT, make_time(2026, 12, 11));
    HWND const calendar = reinterpret_cast<HWND>(SendMessageW(picker, DTM_GETMONTHCAL, 0, 0));
    SendMessageW(calendar, MCM_SETCOLOR, MCSC_TITLEBK, static_cast<LPARAM>(RGB(128, 0, 64)));
    SendMessageW(calendar, MCM_SETCOLOR, MCSC_MONTHBK, static_cast<LPARAM>(RGB(255, 255, 200)));
    as_user([&](User& user) {
        user.tap(drop_button(picker));
        ScreenRect const open = drop_down(user);
        auto const picture = user.screen().screenshot();
        EXPECT_EQ(picture.at(open.left + 30 * scale(), open.top + 2), 0xFF800040u) << "title";
        EXPECT_EQ(picture.at(open.left + 3, open.top + 43 * scale()), 0xFFFFFFC8u) << "month";
        user.press(VK_ESCAPE);
    });
    expect_closed();
}

TEST_F(DateTimePickerTest, NearTheBottomOfTheScreenTheDropDownOpensAboveTheField) {
    int const top = GetSystemMetrics(SM_CYSCREEN) - 30 * scale();
    HWND const picker = picker_at(DTS_SHORTDATEFORMAT, make_time(2026, 12, 11), top);
    as_user([&](User& user) {
        user.tap(drop_button(picker));
        ScreenRect const open = drop_down(user);
        EXPECT_LE(open.bottom, top);
        EXPECT_GE(open.top, 0);
        user.press(VK_ESCAPE);
    });
    expect_closed();
}

TEST_F(DateTimePickerTest, PrivateMessagesOfTheFormAreIgnored) {
    SYSTEMTIME const start = make_time(2026, 12, 11, 6, 3, 42);
    HWND const picker = picker_at(DTS_TIMEFORMAT, start);
    for (UINT message : {WM_USER + 2, WM_USER + 4, WM_USER + 33}) {
        EXPECT_EQ(SendMessageW(picker, message, 1, 1), 0) << message;
    }
    EXPECT_TRUE(same_date_time(picker_value(picker), start));
}

WNDPROC original = nullptr;
int keys_seen = 0;
LRESULT counting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_KEYDOWN) ++keys_seen;
    return CallWindowProcW(original, window, message, wparam, lparam);
}

TEST_F(DateTimePickerTest, ItsProcedureCanBeSubclassed) {
    HWND const picker = picker_at(DTS_TIMEFORMAT, make_time(2026, 12, 11, 6, 3, 42));
    original = reinterpret_cast<WNDPROC>(GetWindowLongW(picker, GWL_WNDPROC));
    ASSERT_NE(original, nullptr);
    SetWindowLongW(picker, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(counting_procedure));
    keys_seen = 0;
    SetFocus(picker);
    as_user([](User& user) { user.press(VK_UP); });
    EXPECT_EQ(keys_seen, 1);
    EXPECT_EQ(picker_value(picker).wHour, 7);
}

}  // namespace
}  // namespace date_controls
