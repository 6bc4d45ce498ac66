#include "native/date_time_picker.h"

#include <algorithm>
#include <cstring>

#include "native/date_names.h"
#include "native/drawing_kit.h"

namespace native {
namespace {

// Sizes at 96 dpi, multiplied by the screen's scale.
constexpr int font_height = 12;
constexpr int text_left = 3;
constexpr int button_width = 16;
constexpr int arrow_size = 4;

constexpr COLORREF field_background = RGB(255, 255, 255);
constexpr COLORREF field_text = RGB(0, 0, 0);
constexpr COLORREF disabled_text = RGB(128, 128, 128);
constexpr COLORREF selected_background = RGB(0, 0, 128);
constexpr COLORREF selected_text = RGB(255, 255, 255);
constexpr COLORREF button_face = RGB(224, 224, 224);
constexpr COLORREF button_edge = RGB(128, 128, 128);
constexpr COLORREF border_colour = RGB(0, 0, 0);

LRESULT picker_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto const* const create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        auto* const picker = new DateTimePicker(window, static_cast<DWORD>(create->style));
        SetWindowLongW(window, 0, reinterpret_cast<LONG_PTR>(picker));
        return TRUE;
    }
    auto* const picker = state_of<DateTimePicker>(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongW(window, 0, 0);
        delete picker;
        return 0;
    }
    if (!picker) return DefWindowProcW(window, message, wparam, lparam);
    return picker->on_message(message, wparam, lparam);
}

int wrapped(int value, int first, int last) {
    int const count = last - first + 1;
    return ((value - first) % count + count) % count + first;
}

bool is_stylus(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_LBUTTONDBLCLK || message == WM_MOUSEMOVE;
}

LPARAM stylus_lparam(POINT point) {
    return static_cast<LPARAM>((point.x & 0xFFFF) | ((point.y & 0xFFFF) << 16));
}

}  // namespace

void register_date_time_picker_class() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = picker_procedure;
    window_class.cbWndExtra = sizeof(LONG_PTR);
    window_class.lpszClassName = DATETIMEPICK_CLASSW;
    RegisterClassW(&window_class);  // a second call finds it made
}

DateTimePicker::DateTimePicker(HWND window, DWORD style)
    : window_(window), style_(style), scale_(screen_scale()), font_(control_font(font_height, scale_, false)) {
    GetLocalTime(&value_);
    value_.wMilliseconds = 0;
}

DateTimePicker::~DateTimePicker() {
    if (font_) DeleteObject(font_);
}

bool DateTimePicker::is_time() const { return (style_ & DTS_TIMEFORMAT) == DTS_TIMEFORMAT; }

bool DateTimePicker::has_drop_down() const { return !is_time() && !(style_ & DTS_UPDOWN); }

LRESULT DateTimePicker::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (is_ignored_private_message(message)) return 0;
    switch (message) {
    case WM_CREATE: on_create(); return 0;
    case WM_PAINT: on_paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: case WM_ENABLE: InvalidateRect(window_, nullptr, FALSE); return 0;
    case WM_SETFOCUS:
        if (selected_ < 0) move_selection(1);
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS: InvalidateRect(window_, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: on_stylus_down(stylus_point(lparam)); return 0;
    case WM_KEYDOWN: on_key(wparam); return 0;
    case WM_CHAR: on_character(static_cast<char16_t>(wparam)); return 0;
    case WM_NOTIFY: {
        auto const* const header = reinterpret_cast<const NMHDR*>(lparam);
        if (header && header->hwndFrom == calendar_ && header->code == MCN_SELECT) {
            on_calendar_choice(*reinterpret_cast<const NMSELCHANGE*>(lparam));
        }
        return 0;
    }
    case DTM_GETSYSTEMTIME: return get_value(reinterpret_cast<SYSTEMTIME*>(lparam));
    case DTM_SETSYSTEMTIME: return set_value(wparam, reinterpret_cast<const SYSTEMTIME*>(lparam));
    case DTM_GETMONTHCAL: return reinterpret_cast<LRESULT>(calendar_);
    default: return DefWindowProcW(window_, message, wparam, lparam);
    }
}

void DateTimePicker::on_create() {
    if (!has_drop_down()) return;
    // Made once and kept hidden, so that colours set on it hold for every drop-down.
    calendar_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, MONTHCAL_CLASSW, u"",
                                WS_POPUP | WS_BORDER, 0, 0, 0, 0, window_, nullptr, nullptr, nullptr);
}

int DateTimePicker::border() const { return (GetWindowLongW(window_, GWL_STYLE) & WS_BORDER) ? 1 : 0; }

std::vector<DateTimePicker::Part> DateTimePicker::parts() const {
    if (is_time()) {
        int const hour12 = value_.wHour % 12 == 0 ? 12 : value_.wHour % 12;
        return {{Field::hour, number_text(hour12)},        {Field::literal, u":"},
                {Field::minute, number_text(value_.wMinute, 2)}, {Field::literal, u":"},
                {Field::second, number_text(value_.wSecond, 2)}, {Field::literal, u" "},
                {Field::am_pm, value_.wHour < 12 ? u"AM" : u"PM"}};
    }
    if (style_ & DTS_LONGDATEFORMAT) {
        return {{Field::weekday, weekday_name(day_of_week(date_of(value_)))}, {Field::literal, u", "},
                {Field::month_name, month_name(value_.wMonth)},                {Field::literal, u" "},
                {Field::day, number_text(value_.wDay)},                        {Field::literal, u", "},
                {Field::year, number_text(value_.wYear)}};
    }
    return {{Field::month_number, number_text(value_.wMonth)}, {Field::literal, u"/"},
            {Field::day, number_text(value_.wDay)},            {Field::literal, u"/"},
            {Field::year, number_text(value_.wYear)}};
}

RECT DateTimePicker::button_area() const {
    RECT client{};
    GetClientRect(window_, &client);
    int const b = border();
    return {client.right - b - button_width * scale_, client.top + b, client.right - b, client.bottom - b};
}

std::vector<DateTimePicker::Part> DateTimePicker::placed_parts() const {
    auto placed = parts();
    RECT client{};
    GetClientRect(window_, &client);
    HDC const dc = GetDC(window_);
    HGDIOBJ const old = SelectObject(dc, font_);
    int x = border() + text_left * scale_;
    for (auto& part : placed) {
        int const width = text_size(dc, part.text).cx;
        part.place = {x, client.top + border(), x + width, client.bottom - border()};
        x += width;
    }
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    return placed;
}

void DateTimePicker::on_paint() {
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(window_, &paint);
    if (dc) {
        RECT client{};
        GetClientRect(window_, &client);
        fill(dc, client, field_background);
        HGDIOBJ const old = SelectObject(dc, font_);
        bool const focused = GetFocus() == window_;
        bool const enabled = IsWindowEnabled(window_);
        auto const placed = placed_parts();
        for (std::size_t index = 0; index < placed.size(); ++index) {
            auto const& part = placed[index];
            bool const selected = focused && static_cast<int>(index) == selected_;
            if (selected) {
                fill(dc, {part.place.left - scale_, part.place.top + 2 * scale_, part.place.right + scale_, part.place.bottom - 2 * scale_},
                     selected_background);
            }
            COLORREF const colour = !enabled ? disabled_text : selected ? selected_text : field_text;
            text(dc, part.text, part.place, DT_LEFT | DT_VCENTER, colour);
        }
        SelectObject(dc, old);
        paint_buttons(dc, button_area());
        if (int const b = border()) frame(dc, client, border_colour, b);
    }
    EndPaint(window_, &paint);
}

void DateTimePicker::paint_buttons(HDC dc, const RECT& area) const {
    COLORREF const arrow = IsWindowEnabled(window_) ? field_text : disabled_text;
    auto const button = [&](const RECT& rect, Pointing pointing) {
        fill(dc, rect, button_face);
        frame(dc, rect, button_edge, scale_);
        triangle(dc, rect, pointing, arrow_size * scale_, arrow);
    };
    if (has_drop_down()) {
        button(area, Pointing::down);
        return;
    }
    int const middle = (area.top + area.bottom) / 2;
    button({area.left, area.top, area.right, middle}, Pointing::up);
    button({area.left, middle, area.right, area.bottom}, Pointing::down);
}

void DateTimePicker::on_stylus_down(POINT point) {
    if (GetFocus() != window_) SetFocus(window_);
    RECT const buttons = button_area();
    if (contains(buttons, point)) {
        if (has_drop_down()) drop_down();
        else step_selected(point.y < (buttons.top + buttons.bottom) / 2 ? 1 : -1);
        return;
    }
    auto const placed = placed_parts();
    // The part under the stylus, or the nearest one to its left.
    int chosen = -1;
    for (std::size_t index = 0; index < placed.size(); ++index) {
        if (placed[index].field == Field::literal) continue;
        if (point.x >= placed[index].place.left || chosen < 0) chosen = static_cast<int>(index);
    }
    if (chosen >= 0) select_part(chosen);
}

void DateTimePicker::on_key(WPARAM key) {
    switch (key) {
    case VK_LEFT: move_selection(-1); break;
    case VK_RIGHT: move_selection(1); break;
    case VK_UP: step_selected(1); break;
    case VK_DOWN: step_selected(-1); break;
    case VK_F4:
        if (has_drop_down()) drop_down();
        break;
    default: break;
    }
}

void DateTimePicker::on_character(char16_t character) {
    auto const all = parts();
    if (selected_ < 0 || selected_ >= static_cast<int>(all.size())) return;
    Field const field = all[selected_].field;
    SYSTEMTIME const before = value_;
    if (field == Field::am_pm) {
        bool const pm = value_.wHour >= 12;
        if ((character == u'a' || character == u'A') && pm) step(field, 1);
        if ((character == u'p' || character == u'P') && !pm) step(field, 1);
    } else if (character >= u'0' && character <= u'9') {
        bool const numeric = field == Field::month_number || field == Field::day || field == Field::year ||
                             field == Field::hour || field == Field::minute || field == Field::second;
        if (!numeric) return;
        typed_ += character;
        int value = 0;
        for (char16_t digit : typed_) value = value * 10 + (digit - u'0');
        std::size_t const length = field == Field::year ? 4 : 2;
        int const largest = field == Field::year ? last_year : field == Field::month_number ? 12 : field == Field::day ? 31
                            : field == Field::hour ? 12 : 59;
        bool const complete = typed_.size() >= length || value * 10 > largest;
        bool const fits = (field != Field::year || complete) && put_typed(field, value);
        if (complete) {
            typed_.clear();
            if (fits) move_selection(1);
        }
    }
    InvalidateRect(window_, nullptr, FALSE);
    if (std::memcmp(&before, &value_, sizeof value_) != 0) notify_change();
}

bool DateTimePicker::put_typed(Field field, int value) {
    CalendarDate date = date_of(value_);
    switch (field) {
    case Field::month_number:
        if (value < 1 || value > 12) return false;
        date = add_months(date, value - date.month);
        break;
    case Field::day:
        if (value < 1 || value > days_in_month(date.year, date.month)) return false;
        date.day = value;
        break;
    case Field::year:
        if (value < first_year || value > last_year) return false;
        date = add_months(date, 12 * (value - date.year));
        break;
    case Field::hour:
        if (value < 1 || value > 12) return false;
        value_.wHour = static_cast<WORD>(value % 12 + (value_.wHour >= 12 ? 12 : 0));
        return true;
    case Field::minute: case Field::second:
        if (value > 59) return false;
        (field == Field::minute ? value_.wMinute : value_.wSecond) = static_cast<WORD>(value);
        return true;
    default: return false;
    }
    put_date(date, value_);
    return true;
}

void DateTimePicker::select_part(int index) {
    if (index == selected_) return;
    typed_.clear();
    selected_ = index;
    InvalidateRect(window_, nullptr, FALSE);
}

void DateTimePicker::move_selection(int step) {
    auto const all = parts();
    int const count = static_cast<int>(all.size());
    int index = selected_ < 0 ? (step > 0 ? -1 : count) : selected_;
    for (int tried = 0; tried < count; ++tried) {
        index = wrapped(index + step, 0, count - 1);
        if (all[index].field != Field::literal) {
            select_part(index);
            return;
        }
    }
}

void DateTimePicker::step_selected(int delta) {
    if (selected_ < 0) move_selection(1);
    auto const all = parts();
    if (selected_ < 0 || selected_ >= static_cast<int>(all.size())) return;
    SYSTEMTIME const before = value_;
    step(all[selected_].field, delta);
    InvalidateRect(window_, nullptr, FALSE);
    if (std::memcmp(&before, &value_, sizeof value_) != 0) notify_change();
}

void DateTimePicker::step(Field field, int delta) {
    CalendarDate date = date_of(value_);
    switch (field) {
    case Field::weekday: date = add_days(date, delta); break;
    case Field::month_number: case Field::month_name:
        date = add_months(date, wrapped(date.month + delta, 1, 12) - date.month);
        break;
    case Field::day: date.day = wrapped(date.day + delta, 1, days_in_month(date.year, date.month)); break;
    case Field::year: date = add_months(date, 12 * delta); break;
    case Field::hour: value_.wHour = static_cast<WORD>(wrapped(value_.wHour + delta, 0, 23)); break;
    case Field::minute: value_.wMinute = static_cast<WORD>(wrapped(value_.wMinute + delta, 0, 59)); break;
    case Field::second: value_.wSecond = static_cast<WORD>(wrapped(value_.wSecond + delta, 0, 59)); break;
    case Field::am_pm: value_.wHour = static_cast<WORD>((value_.wHour + 12) % 24); break;
    case Field::literal: break;
    }
    put_date(date, value_);
}

void DateTimePicker::notify_change() {
    NMDATETIMECHANGE change{};
    change.dwFlags = static_cast<DWORD>(GDT_VALID);
    change.st = value_;
    notify_parent(window_, change.nmhdr, DTN_DATETIMECHANGE);
}

void DateTimePicker::drop_down() {
    if (!calendar_ || dropped_) return;
    HWND const calendar = calendar_;
    SendMessageW(calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&value_));
    RECT field{};
    GetWindowRect(window_, &field);
    RECT needed{};
    SendMessageW(calendar, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&needed));
    int const width = needed.right - needed.left;
    int const height = needed.bottom - needed.top;
    int const screen_width = GetSystemMetrics(SM_CXSCREEN);
    int const screen_height = GetSystemMetrics(SM_CYSCREEN);
    int const x = std::max(0, std::min<int>(field.left, screen_width - width));
    int y = field.bottom;
    if (y + height > screen_height) y = std::max<int>(0, field.top - height);
    MoveWindow(calendar, x, y, width, height, TRUE);
    ShowWindow(calendar, SW_SHOW);
    dropped_ = true;
    NMHDR header{};
    notify_parent(window_, header, DTN_DROPDOWN);
    if (!IsWindow(window_)) return;
    run_drop_down(calendar);
}

// The drop-down's own loop: stylus input outside the calendar closes it, keys go to it.
// Ends when a day is chosen (the calendar's MCN_SELECT), on Escape, or when the calendar
// loses the capture.
void DateTimePicker::run_drop_down(HWND calendar) {
    HWND const window = window_;
    SetCapture(calendar);
    MSG message;
    while (IsWindow(window) && dropped_ && GetCapture() == calendar) {
        if (!GetMessageW(&message, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (is_stylus(message.message)) {
            POINT point = stylus_point(message.lParam);
            ClientToScreen(message.hwnd, &point);
            RECT place{};
            GetWindowRect(calendar, &place);
            if (contains(place, point)) {
                ScreenToClient(calendar, &point);
                message.hwnd = calendar;
                message.lParam = stylus_lparam(point);
                DispatchMessageW(&message);
            } else if (message.message == WM_LBUTTONDOWN || message.message == WM_LBUTTONDBLCLK) {
                break;
            }
            continue;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) break;
        if (message.message == WM_KEYDOWN || message.message == WM_KEYUP || message.message == WM_CHAR) {
            message.hwnd = calendar;
            DispatchMessageW(&message);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (!IsWindow(window)) return;
    if (IsWindow(calendar)) {
        if (GetCapture() == calendar) ReleaseCapture();
        ShowWindow(calendar, SW_HIDE);
    }
    dropped_ = false;
    InvalidateRect(window_, nullptr, FALSE);
    NMHDR header{};
    notify_parent(window_, header, DTN_CLOSEUP);
}

void DateTimePicker::on_calendar_choice(const NMSELCHANGE& choice) {
    if (!dropped_) return;
    dropped_ = false;  // ends the drop-down's loop
    CalendarDate const chosen = date_of(choice.stSelStart);
    if (chosen == date_of(value_) || !is_valid(chosen)) return;
    put_date(chosen, value_);
    InvalidateRect(window_, nullptr, FALSE);
    notify_change();
}

LRESULT DateTimePicker::get_value(SYSTEMTIME* time) const {
    if (!time) return GDT_ERROR;
    *time = value_;
    return static_cast<LRESULT>(GDT_VALID);
}

LRESULT DateTimePicker::set_value(WPARAM kind, const SYSTEMTIME* time) {
    if (kind != GDT_VALID || !time || !is_valid_time(*time)) return FALSE;
    value_ = *time;
    put_date(date_of(*time), value_);
    InvalidateRect(window_, nullptr, FALSE);
    return TRUE;
}

}  // namespace native
