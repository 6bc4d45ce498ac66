// The month calendar "SysMonthCal32": a title with the month and year between a previous and
// a next arrow, the day names, six weeks of days with the selected day and today marked, and
// a line with today's date. The stylus picks a day, changes the month by the arrows or goes
// to today; the arrows move the day, Page Up and Page Down the month, Home and End to the
// month's first and last day, Return chooses.
#pragma once

#include <array>

#include "native/calendar_date.h"
#include "platform/common_controls.h"

namespace native {

void register_month_calendar_class();

class MonthCalendar {
public:
    explicit MonthCalendar(HWND window);
    ~MonthCalendar();
    MonthCalendar(const MonthCalendar&) = delete;
    MonthCalendar& operator=(const MonthCalendar&) = delete;

    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);

private:
    struct Layout {
        RECT title, previous, next, names, grid, today;
        int cell_width, cell_height;
    };
    Layout layout() const;
    SIZE minimum_size() const;
    CalendarDate first_shown_day() const;
    CalendarDate today() const;

    void on_paint();
    void paint_title(HDC dc, const Layout& places) const;
    void paint_days(HDC dc, const Layout& places) const;
    void paint_today(HDC dc, const Layout& places) const;
    void on_stylus_down(POINT point);
    void on_stylus_up();
    void on_key(WPARAM key);
    // Selects the day, tells the parent when it changed and repaints.
    void select(const CalendarDate& date);
    void notify(UINT code);

    LRESULT get_selection(SYSTEMTIME* time) const;
    LRESULT set_selection(const SYSTEMTIME* time);
    LRESULT set_colour(WPARAM index, COLORREF colour);

    HWND window_;
    int scale_;
    HFONT font_;
    HFONT bold_font_;
    std::array<COLORREF, 6> colours_;
    CalendarDate selected_;
    bool today_fixed_ = false;
    CalendarDate fixed_today_;
    bool choosing_ = false;  // a day was pressed; lifting the stylus chooses it
};

}  // namespace native
