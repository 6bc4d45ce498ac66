#include "native/menu_tracker.h"

#include <algorithm>

#include "native/private_messages.h"
#include "platform/messages.h"

namespace native {
namespace {

constexpr LPCWSTR menu_class = u"sonbrix_popup_menu";

// Sizes at 96 dpi, multiplied by the screen's scale.
constexpr int item_height = 20;
constexpr int separator_height = 7;
constexpr int check_width = 16;
constexpr int arrow_width = 14;
constexpr int shortcut_gap = 16;
constexpr int text_right = 6;
constexpr int submenu_overlap = 3;

constexpr COLORREF background = RGB(255, 255, 255);
constexpr COLORREF frame = RGB(0, 0, 0);
constexpr COLORREF text_colour = RGB(0, 0, 0);
constexpr COLORREF grayed_colour = RGB(128, 128, 128);
constexpr COLORREF selected_background = RGB(0, 0, 128);
constexpr COLORREF selected_text = RGB(255, 255, 255);
constexpr COLORREF separator_colour = RGB(128, 128, 128);

// The tracker of the thread's open menu (a thread opens one at a time).
thread_local MenuTracker* open_tracker = nullptr;

LRESULT menu_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (is_form_private_message(message)) return 0;
    if (open_tracker) {
        if (message == WM_PAINT) {
            open_tracker->on_paint(window);
            return 0;
        }
        if (message == WM_CAPTURECHANGED) open_tracker->on_capture_lost();
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wparam, lparam);
}

void register_menu_class() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = menu_procedure;
    window_class.lpszClassName = menu_class;
    RegisterClassW(&window_class);  // a second call finds it made
}

POINT stylus_point(const MSG& message) {
    POINT point{static_cast<SHORT>(message.lParam & 0xFFFF), static_cast<SHORT>((message.lParam >> 16) & 0xFFFF)};
    ClientToScreen(message.hwnd, &point);
    return point;
}

bool contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH const brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

int kept_on_screen(int start, int length, int screen_length) {
    return std::max(0, std::min(start, screen_length - length));
}

}  // namespace

MenuTracker::MenuTracker(HWND owner, HFONT font, int scale) : owner_(owner), font_(font), scale_(scale) {
    register_menu_class();
}

MenuTracker::~MenuTracker() { close_levels_above(0); }

UINT_PTR MenuTracker::track(HMENU menu, UINT flags, int x, int y) {
    MenuTracker* const outer = open_tracker;
    open_tracker = this;
    if (open_level(menu, x, y, flags, -1)) {
        SetCapture(levels_.front().window);
        MSG message;
        while (!done_) {
            if (!GetMessageW(&message, nullptr, 0, 0)) {
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (on_message(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (GetCapture() == levels_.front().window) ReleaseCapture();
    }
    close_levels_above(0);
    open_tracker = outer;
    return chosen_;
}

bool MenuTracker::open_level(HMENU menu, int x, int y, UINT flags, int parent_index) {
    if (owner_ && IsWindow(owner_)) {
        SendMessageW(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     static_cast<LPARAM>(parent_index < 0 ? 0 : parent_index));
    }
    auto items = menu_items(menu);
    if (!items || items->empty()) return false;
    Level level;
    level.menu = menu;
    level.items = std::move(*items);
    SIZE const size = lay_out(level);
    int const screen_width = GetSystemMetrics(SM_CXSCREEN);
    int const screen_height = GetSystemMetrics(SM_CYSCREEN);
    if (flags & TPM_RIGHTALIGN) x -= size.cx;
    else if (flags & TPM_CENTERALIGN) x -= size.cx / 2;
    if (flags & TPM_BOTTOMALIGN) y -= size.cy;
    else if (flags & TPM_VCENTERALIGN) y -= size.cy / 2;
    x = kept_on_screen(x, size.cx, screen_width);
    y = kept_on_screen(y, size.cy, screen_height);
    level.place = {x, y, x + size.cx, y + size.cy};
    levels_.push_back(std::move(level));
    Level& opened = levels_.back();
    opened.window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, menu_class, u"", WS_POPUP | WS_VISIBLE, x, y,
                                    size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
    if (!opened.window) {
        levels_.pop_back();
        return false;
    }
    return true;
}

SIZE MenuTracker::lay_out(Level& level) const {
    HDC const dc = GetDC(nullptr);
    HGDIOBJ const old_font = SelectObject(dc, font_);
    int text_width = 0;
    int shortcut_width = 0;
    for (auto const& item : level.items) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, item.text.c_str(), static_cast<int>(item.text.size()), &extent);
        text_width = std::max<int>(text_width, extent.cx);
        if (!item.shortcut.empty()) {
            GetTextExtentPoint32W(dc, item.shortcut.c_str(), static_cast<int>(item.shortcut.size()), &extent);
            shortcut_width = std::max<int>(shortcut_width, extent.cx);
        }
    }
    SelectObject(dc, old_font);
    ReleaseDC(nullptr, dc);

    int const width = 2 + check_width * scale_ + text_width + (shortcut_width ? shortcut_gap * scale_ + shortcut_width : 0) +
                      arrow_width * scale_ + text_right * scale_ + 2;
    int top = 1;
    level.item_rects.clear();
    for (auto const& item : level.items) {
        int const height = (item.is_separator() ? separator_height : item_height) * scale_;
        level.item_rects.push_back({1, top, width - 1, top + height});
        top += height;
    }
    return {width, top + 1};
}

void MenuTracker::on_paint(HWND window) {
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(window, &paint);
    auto const level = std::find_if(levels_.begin(), levels_.end(), [&](const Level& l) { return l.window == window; });
    if (dc && level != levels_.end()) {
        RECT const whole{0, 0, level->place.right - level->place.left, level->place.bottom - level->place.top};
        fill(dc, whole, frame);
        RECT const inside{1, 1, whole.right - 1, whole.bottom - 1};
        fill(dc, inside, background);
        HGDIOBJ const old_font = SelectObject(dc, font_);
        SetBkMode(dc, TRANSPARENT);
        for (std::size_t index = 0; index < level->items.size(); ++index) {
            auto const& item = level->items[index];
            RECT const rect = level->item_rects[index];
            if (item.is_separator()) {
                int const middle = (rect.top + rect.bottom) / 2;
                fill(dc, {rect.left + 2 * scale_, middle, rect.right - 2 * scale_, middle + scale_}, separator_colour);
                continue;
            }
            bool const selected = static_cast<int>(index) == level->selected;
            if (selected) fill(dc, rect, selected_background);
            COLORREF const colour = selected ? selected_text : item.is_enabled() ? text_colour : grayed_colour;
            SetTextColor(dc, colour);
            if (item.is_checked()) {
                // A tick: two strokes in the check column.
                int const x = rect.left + 4 * scale_;
                int const y = (rect.top + rect.bottom) / 2;
                for (int step = 0; step < 3 * scale_; ++step) fill(dc, {x + step, y + step - scale_, x + step + scale_, y + step + scale_}, colour);
                for (int step = 0; step < 6 * scale_; ++step)
                    fill(dc, {x + 3 * scale_ + step, y + 2 * scale_ - step - scale_, x + 3 * scale_ + step + scale_, y + 2 * scale_ - step + scale_}, colour);
            }
            RECT text_rect{rect.left + check_width * scale_, rect.top, rect.right - arrow_width * scale_, rect.bottom};
            DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text_rect,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (!item.shortcut.empty()) {
                DrawTextW(dc, item.shortcut.c_str(), static_cast<int>(item.shortcut.size()), &text_rect,
                          DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            }
            if (item.is_submenu()) {
                // A small triangle pointing right.
                int const x = rect.right - (arrow_width - 5) * scale_;
                int const y = (rect.top + rect.bottom) / 2;
                for (int column = 0; column < 4 * scale_; ++column) {
                    int const half = 4 * scale_ - column;
                    fill(dc, {x + column, y - half, x + column + 1, y + half}, colour);
                }
            }
        }
        SelectObject(dc, old_font);
    }
    EndPaint(window, &paint);
}

void MenuTracker::on_capture_lost() {
    if (!done_ && !levels_.empty() && GetCapture() != levels_.front().window) finish(0);
}

bool MenuTracker::on_message(const MSG& message) {
    switch (message.message) {
    case WM_KEYDOWN:
        on_key(message.wParam);
        return true;
    case WM_KEYUP: case WM_CHAR:
        return true;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE: case WM_LBUTTONUP:
        on_stylus(message.message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message.message, stylus_point(message));
        return true;
    default:
        return false;
    }
}

void MenuTracker::on_key(WPARAM key) {
    if (levels_.empty()) return;
    std::size_t const last = levels_.size() - 1;
    Level& level = levels_[last];
    switch (key) {
    case VK_DOWN: select(last, next_selectable(level, level.selected, 1)); break;
    case VK_UP: select(last, next_selectable(level, level.selected < 0 ? 0 : level.selected, -1)); break;
    case VK_RIGHT: open_submenu_of_selected(true); break;
    case VK_LEFT:
        if (last > 0) close_levels_above(last);
        break;
    case VK_RETURN:
        if (level.selected < 0) break;
        if (level.items[level.selected].is_submenu()) open_submenu_of_selected(true);
        else choose(level.items[level.selected]);
        break;
    case VK_ESCAPE:
        if (last > 0) close_levels_above(last);
        else finish(0);
        break;
    default: break;
    }
}

void MenuTracker::on_stylus(UINT message, POINT point) {
    int const level_index = level_at(point);
    if (level_index < 0) {
        if (message == WM_LBUTTONDOWN) finish(0);
        return;
    }
    auto const index = static_cast<std::size_t>(level_index);
    int const item = item_at(levels_[index], point);
    if (message == WM_LBUTTONUP) {
        if (item >= 0 && !levels_[index].items[item].is_submenu()) choose(levels_[index].items[item]);
        return;
    }
    if (item < 0 || item == levels_[index].selected) return;
    close_levels_above(index + 1);
    select(index, item);
    open_submenu_of_selected(false);
}

void MenuTracker::choose(const MenuItem& item) {
    if (item.is_separator() || item.is_submenu() || !item.is_enabled()) return;
    finish(item.id);
}

void MenuTracker::finish(UINT_PTR id) {
    done_ = true;
    chosen_ = id;
}

void MenuTracker::open_submenu_of_selected(bool select_first) {
    std::size_t const index = levels_.size() - 1;
    int const selected = levels_[index].selected;
    if (selected < 0) return;
    MenuItem const item = levels_[index].items[selected];
    if (!item.is_submenu() || !item.is_enabled()) return;
    RECT const parent = levels_[index].place;
    RECT const row = levels_[index].item_rects[selected];
    int const top = parent.top + row.top - 1;
    if (!open_level(item.submenu, parent.right - submenu_overlap * scale_, top, 0, selected)) return;
    Level& opened = levels_.back();
    int const width = opened.place.right - opened.place.left;
    if (opened.place.left < parent.right - submenu_overlap * scale_) {
        // No room on the right: open it on the left of its parent.
        int const x = kept_on_screen(parent.left - width + submenu_overlap * scale_, width, GetSystemMetrics(SM_CXSCREEN));
        opened.place = {x, opened.place.top, x + width, opened.place.bottom};
        MoveWindow(opened.window, x, opened.place.top, width, opened.place.bottom - opened.place.top, TRUE);
    }
    if (select_first) select(levels_.size() - 1, next_selectable(opened, -1, 1));
}

void MenuTracker::close_levels_above(std::size_t count) {
    while (levels_.size() > count) {
        if (levels_.back().window) DestroyWindow(levels_.back().window);
        levels_.pop_back();
    }
}

void MenuTracker::select(std::size_t level_index, int item) {
    Level& level = levels_[level_index];
    if (item == level.selected) return;
    level.selected = item;
    InvalidateRect(level.window, nullptr, FALSE);
}

int MenuTracker::item_at(const Level& level, POINT point) const {
    POINT const inside{point.x - level.place.left, point.y - level.place.top};
    for (std::size_t index = 0; index < level.item_rects.size(); ++index) {
        if (contains(level.item_rects[index], inside) && !level.items[index].is_separator()) return static_cast<int>(index);
    }
    return -1;
}

int MenuTracker::level_at(POINT point) const {
    for (std::size_t index = levels_.size(); index-- > 0;) {
        if (contains(levels_[index].place, point)) return static_cast<int>(index);
    }
    return -1;
}

int MenuTracker::next_selectable(const Level& level, int from, int step) const {
    int const count = static_cast<int>(level.items.size());
    int index = from;
    for (int tried = 0; tried < count; ++tried) {
        index = ((index + step) % count + count) % count;
        if (!level.items[index].is_separator()) return index;
    }
    return from;
}

}  // namespace native
