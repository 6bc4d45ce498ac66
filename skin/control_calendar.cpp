#include "skin/control_calendar.h"

#include "platform/common_controls.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "skin/container.h"
#include "skin/form.h"

namespace skinner {

namespace {

constexpr DWORD native_style = WS_CHILD | WS_BORDER;
constexpr UINT position_flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

struct NativeKind {
    const char16_t* appearance;
    const char16_t* class_name;
    DWORD extra_style;
};

constexpr NativeKind native_kinds[] = {
    {u"Calendar", MONTHCAL_CLASSW, 0},
    {u"DatePicker", DATETIMEPICK_CLASSW, 0},
    {u"TimePicker", DATETIMEPICK_CLASSW, DTS_TIMEFORMAT},
};

const NativeKind* find_native_kind(const std::u16string& appearance) {
    for (auto const& kind : native_kinds) {
        if (appearance == kind.appearance) return &kind;
    }
    return nullptr;
}

}  // namespace

ControlCalendarImpl::ControlCalendarImpl(ControlCalendar& owner, const char16_t* class_name, DWORD extra_style)
    : owner_(owner) {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    InitCommonControlsEx(&init);
    HWND const window = CreateWindowExW(0, class_name, u"DateTime", native_style | extra_style, 0, 0, 0, 0,
                                        owner.get_form()->get_window(), nullptr, nullptr, nullptr);
    if (window) install(window);
}

ControlCalendarImpl::~ControlCalendarImpl() {
    HWND const window = get_window();
    uninstall();
    if (window) DestroyWindow(window);
}

LRESULT ControlCalendarImpl::on_message(UINT message, WPARAM wparam, LPARAM, bool& pass_on) {
    if (message == WM_SETFOCUS) {
        owner_.get_container()->set_focus(&owner_);
    } else if (message == WM_KEYDOWN && wparam == static_cast<WPARAM>(VK_TAB) && !owner_.is_key_down(KEY_CONTROL)) {
        pass_on = false;
        owner_.get_container()->move_focus(!owner_.is_key_down(KEY_SHIFT));
    }
    return 0;
}

ControlCalendar::ControlCalendar(Container* container, const std::u16string& name, int lookup_mode)
    : Control(container, name, lookup_mode) {
    load_properties();
    update_rect();
}

ControlCalendar::~ControlCalendar() = default;

HWND ControlCalendar::get_native_window() const { return native_ ? native_->get_window() : nullptr; }

os::DateTime ControlCalendar::get_time() const {
    HWND const window = get_native_window();
    if (!window) return time_;
    SYSTEMTIME value{};
    LRESULT const result = SendMessageW(window, 0x1001, 0, reinterpret_cast<LPARAM>(&value));
    bool const valid = is_month_calendar() ? result != 0 : result == GDT_VALID;
    return valid ? os::DateTime(value) : os::DateTime();
}

void ControlCalendar::set_time(const os::DateTime& time) {
    time_ = time;
    HWND const window = get_native_window();
    if (!window) return;
    SYSTEMTIME value = time.get_systemtime();
    // MCM_SETCURSEL and DTM_SETSYSTEMTIME share the number; the calendar ignores wParam.
    SendMessageW(window, 0x1002, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

void ControlCalendar::on_focus_gained() {
    if (HWND const window = get_native_window()) SetFocus(window);
    repaint();
}

void ControlCalendar::on_focus_lost(Control*) {
    SetFocus(get_form()->get_window());
    repaint();
}

void ControlCalendar::on_shown_changed(bool shown) {
    if (HWND const window = get_native_window()) ShowWindow(window, shown ? SW_SHOW : SW_HIDE);
}

void ControlCalendar::set_rect(Point position, Size size) {
    HWND const window = get_native_window();
    if (!window) return;
    if (!is_month_calendar()) {
        Control::set_rect(position, size);
        SetWindowPos(window, nullptr, position.x, position.y, size.width, size.height, position_flags);
        return;
    }
    RECT minimum{};
    SendMessageW(window, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&minimum));
    int const width = minimum.right - minimum.left;
    int const height = minimum.bottom - minimum.top;
    Control::set_rect(position, Size{width + 2 * border_, height + 2 * border_});
    SetWindowPos(window, nullptr, position.x + border_, position.y + border_, width, height, position_flags);
}

void ControlCalendar::load_properties() {
    os::DateTime const saved = get_time();
    Control::load_properties();
    appearance_ = get_string_property(u"Appearance", u"Calendar");
    background_ = get_color_property(u"Background", 0);
    title_background_ = get_color_property(u"TitleBackground", 0);
    text_ = get_color_property(u"Text", 0);
    title_text_ = get_color_property(u"TitleText", 0);
    create_native();
    set_time(saved);
}

void ControlCalendar::create_native() {
    native_.reset();
    // An appearance that names no native control creates nothing: the control then keeps
    // its time without a window rather than driving a null one.
    const NativeKind* const kind = find_native_kind(appearance_);
    if (!kind) return;
    native_ = std::make_unique<ControlCalendarImpl>(*this, kind->class_name, kind->extra_style);
    if (!native_->get_window()) {
        native_.reset();
        return;
    }
    apply_colours();
    ShowWindow(native_->get_window(), is_visible() ? SW_SHOW : SW_HIDE);
}

void ControlCalendar::apply_colours() {
    HWND target = get_native_window();
    if (!is_month_calendar()) target = reinterpret_cast<HWND>(SendMessageW(target, DTM_GETMONTHCAL, 0, 0));
    if (!target) return;
    SendMessageW(target, MCM_SETCOLOR, MCSC_TEXT, text_);
    SendMessageW(target, MCM_SETCOLOR, MCSC_TITLETEXT, title_text_);
    SendMessageW(target, MCM_SETCOLOR, MCSC_MONTHBK, background_);
    SendMessageW(target, MCM_SETCOLOR, MCSC_TITLEBK, title_background_);
}

}  // namespace skinner
