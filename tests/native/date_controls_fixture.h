// A form-like owner window for the date controls on a headless device screen, a user that
// taps and presses keys on another thread while this thread runs the windows' messages, and
// what the owner was told.
#pragma once

#include <functional>
#include <vector>

#include "platform/common_controls.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace date_controls {

struct Notice {
    HWND from;
    UINT code;
    SYSTEMTIME time;  // the selection or the new value
};

class User {
public:
    explicit User(testing_support::TestScreen& screen) : screen_(screen) {}
    void tap(POINT point);
    void press(std::uint32_t vk);
    testing_support::TestScreen& screen() { return screen_; }

private:
    testing_support::TestScreen& screen_;
};

class DateControlsTest : public testing_support::DeviceTest {
public:
    explicit DateControlsTest(const char* size = "240x320") : screen(size) {}
    void SetUp() override;
    void TearDown() override;

    // A child of the owner, given the focus-free start a form gives it.
    HWND create(LPCWSTR class_name, DWORD style, int x, int y, int width, int height, int id = 7);
    // Runs `act` as the user on another thread while this thread serves the windows, and
    // returns once the screen has handled and painted all of it.
    void as_user(const std::function<void(User&)>& act);
    int scale() { return screen.control().metrics().dpi >= 192 ? 2 : 1; }

    SYSTEMTIME calendar_selection(HWND calendar);
    SYSTEMTIME picker_value(HWND picker);
    std::vector<Notice> notices_of(UINT code) const;
    void clear_notices();
    // The visible top-level windows of a class on the screen.
    std::vector<platform::screen::ScreenRect> shown(const char* class_name);

    testing_support::TestScreen screen;
    HWND owner = nullptr;
};

// Where a calendar of the standard layout has its parts, in screen coordinates.
class CalendarPlaces {
public:
    CalendarPlaces(HWND calendar, int scale);
    POINT previous_arrow() const;
    POINT next_arrow() const;
    // Cell 0 is the top-left one of the grid (a Sunday), 41 the bottom-right one.
    POINT cell(int index) const;
    POINT today_line() const;
    RECT title() const;

private:
    RECT window_{};
    int s_;
    int grid_left_;
    int grid_top_;
};

// The cell of a day of the shown month.
int cell_of(int year, int month, int day);

bool same_date(const SYSTEMTIME& a, const SYSTEMTIME& b);
bool same_date_time(const SYSTEMTIME& a, const SYSTEMTIME& b);

}  // namespace date_controls
