// The date-time picker "SysDateTimePick32": a one-line field showing a date (short or long
// format) or a time, made of parts the user selects (a tap, Left and Right) and steps (Up and
// Down, or the up-down buttons; digits type a number). A date picker without DTS_UPDOWN drops down a month
// calendar (its button, F4), which closes on a chosen day or a tap outside it.
#pragma once

#include <string>
#include <vector>

#include "native/calendar_date.h"
#include "platform/common_controls.h"

namespace native {

void register_date_time_picker_class();

class DateTimePicker {
public:
    DateTimePicker(HWND window, DWORD style);
    ~DateTimePicker();
    DateTimePicker(const DateTimePicker&) = delete;
    DateTimePicker& operator=(const DateTimePicker&) = delete;

    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);

private:
    enum class Field { literal, weekday, month_number, month_name, day, year, hour, minute, second, am_pm };
    struct Part {
        Field field;
        std::u16string text;
        RECT place{};
    };

    bool is_time() const;
    bool has_drop_down() const;
    std::vector<Part> parts() const;
    // The parts placed on one line, in client coordinates.
    std::vector<Part> placed_parts() const;
    RECT button_area() const;
    int border() const;

    void on_create();
    void on_paint();
    void paint_buttons(HDC dc, const RECT& area) const;
    void on_stylus_down(POINT point);
    void on_key(WPARAM key);
    // Digits type the selected number, "a" and "p" choose AM or PM.
    void on_character(char16_t character);
    // Sets the field to a typed value; false when the value does not fit it.
    bool put_typed(Field field, int value);
    void select_part(int index);
    void move_selection(int step);
    // Steps the selected part (the first one when none is) and tells the parent.
    void step_selected(int delta);
    void step(Field field, int delta);
    void notify_change();

    void drop_down();
    void run_drop_down(HWND calendar);
    void on_calendar_choice(const NMSELCHANGE& choice);

    LRESULT get_value(SYSTEMTIME* time) const;
    LRESULT set_value(WPARAM kind, const SYSTEMTIME* time);

    HWND window_;
    DWORD style_;
    int scale_;
    HFONT font_;
    SYSTEMTIME value_{};
    int selected_ = -1;  // index into parts()
    std::u16string typed_;  // the digits typed into the selected part so far
    HWND calendar_ = nullptr;
    bool dropped_ = false;
};

}  // namespace native
