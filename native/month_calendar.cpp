#include "native/month_calendar.h"

#include <algorithm>
#include <memory>

#include "native/date_names.h"
#include "native/drawing_kit.h"

namespace native {
namespace {

// Sizes at 96 dpi, multiplied by the screen's scale.
constexpr int font_height = 12;
constexpr int title_height = 22;
constexpr int title_gap = 2;
constexpr int cell_width = 20;
constexpr int cell_height = 16;
constexpr int today_height = 18;
constexpr int side_margin = 4;
constexpr int arrow_size = 5;
constexpr int weeks = 6;

constexpr COLORREF today_mark = RGB(255, 0, 0);
constexpr COLORREF border_colour = RGB(0, 0, 0);

constexpr std::array<COLORREF, 6> default_colours = {
    RGB(255, 255, 255),  // background
    RGB(0, 0, 0),        // text
    RGB(0, 0, 128),      // title background
    RGB(255, 255, 255),  // title text
    RGB(255, 255, 255),  // month background
    RGB(128, 128, 128),  // trailing text
};

LRESULT calendar_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        SetWindowLongW(window, 0, reinterpret_cast<LONG_PTR>(new MonthCalendar(window)));
        return TRUE;
    }
    auto* const calendar = state_of<MonthCalendar>(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongW(window, 0, 0);
        delete calendar;
        return 0;
    }
    if (!calendar) return DefWindowProcW(window, message, wparam, lparam);
    return calendar->on_message(message, wparam, lparam);
}

int border_width(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_BORDER) ? 1 : 0; }

}  // namespace

void register_month_calendar_class() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = calendar_procedure;
    window_class.cbWndExtra = sizeof(LONG_PTR);
    window_class.lpszClassName = MONTHCAL_CLASSW;
    RegisterClassW(&window_class);  // a second call finds it made
}

MonthCalendar::MonthCalendar(HWND window)
    : window_(window), scale_(screen_scale()), font_(control_font(font_height, scale_, false)),
      bold_font_(control_font(font_height, scale_, true)), colours_(default_colours) {
    selected_ = today();
}

MonthCalendar::~MonthCalendar() {
    if (font_) DeleteObject(font_);
    if (bold_font_) DeleteObject(bold_font_);
}

LRESULT MonthCalendar::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (is_ignored_private_message(message)) return 0;
    switch (message) {
    case WM_PAINT: on_paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: InvalidateRect(window_, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: on_stylus_down(stylus_point(lparam)); return 0;
    case WM_LBUTTONUP: on_stylus_up(); return 0;
    case WM_KEYDOWN: on_key(wparam); return 0;
    case MCM_GETCURSEL: return get_selection(reinterpret_cast<SYSTEMTIME*>(lparam));
    case MCM_SETCURSEL: return set_selection(reinterpret_cast<const SYSTEMTIME*>(lparam));
    case MCM_GETMINREQRECT: {
        auto* const rect = reinterpret_cast<RECT*>(lparam);
        if (!rect) return FALSE;
        SIZE const size = minimum_size();
        *rect = {0, 0, size.cx, size.cy};
        return TRUE;
    }
    case MCM_SETCOLOR: return set_colour(wparam, static_cast<COLORREF>(lparam));
    case MCM_GETCOLOR: return wparam < colours_.size() ? static_cast<LRESULT>(colours_[wparam]) : -1;
    case MCM_SETTODAY: {
        auto const* const time = reinterpret_cast<const SYSTEMTIME*>(lparam);
        today_fixed_ = time && is_valid(date_of(*time));
        if (today_fixed_) fixed_today_ = date_of(*time);
        InvalidateRect(window_, nullptr, FALSE);
        return TRUE;
    }
    case MCM_GETTODAY: {
        auto* const time = reinterpret_cast<SYSTEMTIME*>(lparam);
        if (!time) return FALSE;
        *time = {};
        put_date(today(), *time);
        return TRUE;
    }
    default: return DefWindowProcW(window_, message, wparam, lparam);
    }
}

CalendarDate MonthCalendar::today() const {
    if (today_fixed_) return fixed_today_;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return date_of(now);
}

SIZE MonthCalendar::minimum_size() const {
    // Wide enough for the grid and for the longest title between its arrows.
    HDC const dc = GetDC(nullptr);
    HGDIOBJ const old = SelectObject(dc, bold_font_);
    int const title_width = text_size(dc, month_name(9) + u" 0000").cx + 2 * title_height * scale_;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int const border = border_width(window_);
    int const width = std::max<int>(7 * cell_width * scale_ + 2 * side_margin * scale_, title_width);
    int const height = (title_height + title_gap + cell_height + 1 + weeks * cell_height + today_height) * scale_;
    return {width + 2 * border, height + 2 * border};
}

MonthCalendar::Layout MonthCalendar::layout() const {
    RECT client{};
    GetClientRect(window_, &client);
    int const border = border_width(window_);
    int const s = scale_;
    Layout places{};
    places.cell_width = cell_width * s;
    places.cell_height = cell_height * s;
    int const left = border;
    int const right = client.right - border;
    int const top = border;
    places.title = {left, top, right, top + title_height * s};
    places.previous = {left, top, left + title_height * s, places.title.bottom};
    places.next = {right - title_height * s, top, right, places.title.bottom};
    int const grid_left = left + std::max(0, (right - left - 7 * places.cell_width) / 2);
    int const names_top = places.title.bottom + title_gap * s;
    places.names = {grid_left, names_top, grid_left + 7 * places.cell_width, names_top + places.cell_height};
    int const grid_top = places.names.bottom + s;
    places.grid = {grid_left, grid_top, places.names.right, grid_top + weeks * places.cell_height};
    places.today = {left, places.grid.bottom, right, places.grid.bottom + today_height * s};
    return places;
}

CalendarDate MonthCalendar::first_shown_day() const {
    CalendarDate const first{selected_.year, selected_.month, 1};
    int const lead = day_of_week(first);
    return add_days(first, -lead);
}

void MonthCalendar::on_paint() {
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(window_, &paint);
    if (dc) {
        RECT client{};
        GetClientRect(window_, &client);
        fill(dc, client, colours_[MCSC_BACKGROUND]);
        Layout const places = layout();
        HGDIOBJ const old = SelectObject(dc, font_);
        paint_title(dc, places);
        paint_days(dc, places);
        paint_today(dc, places);
        SelectObject(dc, old);
        if (int const border = border_width(window_)) frame(dc, client, border_colour, border);
    }
    EndPaint(window_, &paint);
}

void MonthCalendar::paint_title(HDC dc, const Layout& places) const {
    fill(dc, places.title, colours_[MCSC_TITLEBK]);
    COLORREF const colour = colours_[MCSC_TITLETEXT];
    triangle(dc, places.previous, Pointing::left, arrow_size * scale_, colour);
    triangle(dc, places.next, Pointing::right, arrow_size * scale_, colour);
    HGDIOBJ const old = SelectObject(dc, bold_font_);
    text(dc, month_name(selected_.month) + u" " + number_text(selected_.year), places.title, DT_CENTER | DT_VCENTER,
         colour);
    SelectObject(dc, old);
}

void MonthCalendar::paint_days(HDC dc, const Layout& places) const {
    RECT const month_area{places.title.left, places.names.top, places.title.right, places.grid.bottom};
    fill(dc, month_area, colours_[MCSC_MONTHBK]);
    static constexpr char16_t letters[] = u"SMTWTFS";
    for (int column = 0; column < 7; ++column) {
        RECT const cell{places.names.left + column * places.cell_width, places.names.top,
                        places.names.left + (column + 1) * places.cell_width, places.names.bottom};
        text(dc, std::u16string(1, letters[column]), cell, DT_CENTER | DT_VCENTER, colours_[MCSC_TITLEBK]);
    }
    fill(dc, {places.names.left + scale_, places.names.bottom, places.names.right - scale_, places.grid.top},
         colours_[MCSC_TITLEBK]);

    CalendarDate const current_today = today();
    CalendarDate day = first_shown_day();
    for (int index = 0; index < 7 * weeks; ++index, day = add_days(day, 1)) {
        RECT const cell{places.grid.left + (index % 7) * places.cell_width, places.grid.top + (index / 7) * places.cell_height,
                        places.grid.left + (index % 7 + 1) * places.cell_width,
                        places.grid.top + (index / 7 + 1) * places.cell_height};
        bool const in_month = day.month == selected_.month;
        COLORREF colour = in_month ? colours_[MCSC_TEXT] : colours_[MCSC_TRAILINGTEXT];
        if (day == selected_) {
            fill(dc, {cell.left + scale_, cell.top, cell.right - scale_, cell.bottom}, colours_[MCSC_TITLEBK]);
            colour = colours_[MCSC_TITLETEXT];
        }
        if (day == current_today) frame(dc, {cell.left, cell.top, cell.right, cell.bottom}, today_mark, scale_);
        text(dc, number_text(day.day), cell, DT_CENTER | DT_VCENTER, colour);
    }
}

void MonthCalendar::paint_today(HDC dc, const Layout& places) const {
    CalendarDate const date = today();
    int const s = scale_;
    int const mark = 10 * s;
    int const middle = (places.today.top + places.today.bottom) / 2;
    std::u16string const line = u"Today: " + number_text(date.month) + u"/" + number_text(date.day) + u"/" +
                                number_text(date.year);
    int const width = text_size(dc, line).cx + mark + 4 * s;
    int const left = (places.today.left + places.today.right - width) / 2;
    frame(dc, {left, middle - mark / 2, left + mark, middle + mark / 2}, today_mark, s);
    RECT const words{left + mark + 4 * s, places.today.top, places.today.right, places.today.bottom};
    text(dc, line, words, DT_LEFT | DT_VCENTER, colours_[MCSC_TEXT]);
}

void MonthCalendar::on_stylus_down(POINT point) {
    if ((GetWindowLongW(window_, GWL_STYLE) & WS_CHILD) && GetFocus() != window_) SetFocus(window_);
    Layout const places = layout();
    if (contains(places.previous, point)) {
        select(add_months(selected_, -1));
    } else if (contains(places.next, point)) {
        select(add_months(selected_, 1));
    } else if (contains(places.grid, point)) {
        int const index = (point.y - places.grid.top) / places.cell_height * 7 + (point.x - places.grid.left) / places.cell_width;
        choosing_ = true;  // before the notification, which may end the window
        select(add_days(first_shown_day(), index));
    } else if (contains(places.today, point)) {
        choosing_ = true;
        select(today());
    }
}

void MonthCalendar::on_stylus_up() {
    if (!choosing_) return;
    choosing_ = false;
    notify(MCN_SELECT);
}

void MonthCalendar::on_key(WPARAM key) {
    switch (key) {
    case VK_LEFT: select(add_days(selected_, -1)); break;
    case VK_RIGHT: select(add_days(selected_, 1)); break;
    case VK_UP: select(add_days(selected_, -7)); break;
    case VK_DOWN: select(add_days(selected_, 7)); break;
    case VK_PRIOR: select(add_months(selected_, -1)); break;
    case VK_NEXT: select(add_months(selected_, 1)); break;
    case VK_HOME: select({selected_.year, selected_.month, 1}); break;
    case VK_END: select({selected_.year, selected_.month, days_in_month(selected_.year, selected_.month)}); break;
    case VK_RETURN: notify(MCN_SELECT); break;
    default: break;
    }
}

void MonthCalendar::select(const CalendarDate& date) {
    if (date == selected_ || !is_valid(date)) return;
    selected_ = date;
    InvalidateRect(window_, nullptr, FALSE);
    notify(MCN_SELCHANGE);
}

void MonthCalendar::notify(UINT code) {
    NMSELCHANGE change{};
    put_date(selected_, change.stSelStart);
    change.stSelEnd = change.stSelStart;
    notify_parent(window_, change.nmhdr, code);
}

LRESULT MonthCalendar::get_selection(SYSTEMTIME* time) const {
    if (!time) return FALSE;
    *time = {};
    put_date(selected_, *time);
    return TRUE;
}

LRESULT MonthCalendar::set_selection(const SYSTEMTIME* time) {
    if (!time || !is_valid(date_of(*time))) return FALSE;
    selected_ = date_of(*time);
    InvalidateRect(window_, nullptr, FALSE);
    return TRUE;
}

LRESULT MonthCalendar::set_colour(WPARAM index, COLORREF colour) {
    if (index >= colours_.size()) return -1;
    COLORREF const previous = colours_[index];
    colours_[index] = colour;
    InvalidateRect(window_, nullptr, FALSE);
    return static_cast<LRESULT>(previous);
}

}  // namespace native
