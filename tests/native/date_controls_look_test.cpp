// How the calendar and the pickers look on the small and the large screen, kept as expected
// images.
#include <gtest/gtest.h>

#include "tests/native/date_controls_fixture.h"
#include "tests/native/expected_image.h"
#include "tests/support/system_time.h"

namespace date_controls {
namespace {

using testing_support::make_time;

class DateControlsLook : public DateControlsTest, public ::testing::WithParamInterface<const char*> {
protected:
    DateControlsLook() : DateControlsTest(GetParam()) {}
};

TEST_P(DateControlsLook, TheCalendarAndThePickersLookAsKept) {
    int const s = scale();
    // As a form lays them out: the calendar at its minimum size, a date and a time below it.
    HWND const calendar = create(MONTHCAL_CLASSW, 0, 0, 0, 0, 0);
    RECT minimum{};
    SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
    int const left = 12 * s;
    SetWindowPos(calendar, nullptr, left, 10 * s, minimum.right, minimum.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    SYSTEMTIME const today = make_time(2026, 12, 8);
    SYSTEMTIME const chosen = make_time(2026, 12, 11, 18, 3, 42);
    SendMessageW(calendar, MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&today));
    SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&chosen));

    int const below = 10 * s + minimum.bottom + 10 * s;
    HWND const date = create(DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT, left, below, 150 * s, 20 * s);
    HWND const long_date = create(DATETIMEPICK_CLASSW, DTS_LONGDATEFORMAT, left, below + 26 * s, 200 * s, 20 * s);
    HWND const time = create(DATETIMEPICK_CLASSW, DTS_TIMEFORMAT, left, below + 52 * s, 150 * s, 20 * s);
    for (HWND picker : {date, long_date, time}) SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    SetFocus(time);  // its first part shows selected

    as_user([](User&) {});
    EXPECT_EQ(compare_with_expected(screen.screenshot(), std::string("date-controls-") + GetParam()), "");
}

TEST_P(DateControlsLook, TheDroppedDownCalendarLooksAsKept) {
    int const s = scale();
    HWND const date = create(DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT, 12 * s, 40 * s, 150 * s, 20 * s);
    SYSTEMTIME const chosen = make_time(2027, 2, 14, 9, 30, 0);
    SendMessageW(date, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    HWND const calendar = reinterpret_cast<HWND>(SendMessageW(date, DTM_GETMONTHCAL, 0, 0));
    SYSTEMTIME const today = make_time(2027, 2, 3);
    SendMessageW(calendar, MCM_SETTODAY, 0, reinterpret_cast<LPARAM>(&today));
    RECT place{};
    GetWindowRect(date, &place);
    as_user([&](User& user) {
        user.tap({place.right - 1 - 8 * s, (place.top + place.bottom) / 2});
        for (int attempt = 0; attempt < 500 && shown("SysMonthCal32").empty(); ++attempt) user.screen().wait_idle();
        user.screen().wait_idle();
        EXPECT_EQ(compare_with_expected(user.screen().screenshot(), std::string("date-drop-down-") + GetParam()), "");
        user.press(VK_ESCAPE);
    });
}

INSTANTIATE_TEST_SUITE_P(Screens, DateControlsLook, ::testing::Values("240x320", "480x640"),
                         [](const auto& info) { return std::string(info.param) == "240x320" ? "Small" : "Large"; });

}  // namespace
}  // namespace date_controls
