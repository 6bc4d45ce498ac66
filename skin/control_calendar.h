// A skinned control that hosts one native date control: a month calendar or a date-time
// picker, chosen by the skin's "Appearance". The native window follows the control's
// position, visibility and focus; Tab inside it moves the skin's focus on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/date_time.h"
#include "skin/control.h"
#include "skin/control_subclass.h"

namespace skinner {

class ControlCalendar;

// The native window of a calendar control, created as a child of the form's window and
// hooked; destroying the object destroys the window.
class ControlCalendarImpl : public ControlSubclass {
public:
    // class_name "SysMonthCal32" or "SysDateTimePick32"; extra_style is added to
    // WS_CHILD | WS_BORDER. The window is null when it could not be created.
    ControlCalendarImpl(ControlCalendar& owner, const char16_t* class_name, DWORD extra_style);
    ~ControlCalendarImpl() override;

    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override;

private:
    ControlCalendar& owner_;
};

class ControlCalendar : public Control {
public:
    ControlCalendar(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlCalendar() override;

    // The native control's value when there is one, else the stored time.
    os::DateTime get_time() const;
    // Stores the time and shows it in the native control.
    void set_time(const os::DateTime& time);

    void on_focus_gained() override;
    void on_focus_lost(Control* next) override;
    void on_shown_changed(bool shown) override;
    void set_rect(Point position, Size size) override;
    void load_properties() override;

    const std::u16string& get_appearance() const { return appearance_; }
    // The hosted window; null when the appearance names no native control.
    HWND get_native_window() const;
    int get_border() const { return border_; }

private:
    bool is_month_calendar() const { return appearance_ == u"Calendar"; }
    void create_native();
    void apply_colours();

    std::uint32_t background_ = 0;
    std::uint32_t title_background_ = 0;
    std::uint32_t text_ = 0;
    std::uint32_t title_text_ = 0;
    std::u16string appearance_;
    std::unique_ptr<ControlCalendarImpl> native_;
    int border_ = 2;
    os::DateTime time_;
};

}  // namespace skinner
