#include "native/message_box.h"

#include <algorithm>
#include <cmath>

#include "native/private_messages.h"
#include "native/drawing_kit.h"
#include "native/text_lines.h"
#include "platform/messages.h"

namespace native {
namespace {

constexpr int box_word = 0;  // the window's extra word holding its MessageBoxWindow

// Sizes at 96 dpi, multiplied by the screen's scale.
constexpr int margin = 8;
constexpr int caption_height = 22;
constexpr int caption_indent = 6;
constexpr int padding = 8;
constexpr int icon_size = 24;
constexpr int button_height = 24;
constexpr int button_min_width = 60;
constexpr int button_text_padding = 16;
constexpr int button_gap = 8;
constexpr int text_height = 12;
constexpr int caption_text_height = 12;

constexpr COLORREF background = RGB(255, 255, 255);
constexpr COLORREF box_frame = RGB(64, 64, 64);
constexpr COLORREF caption_background = RGB(16, 72, 160);
constexpr COLORREF caption_text = RGB(255, 255, 255);
constexpr COLORREF text_colour = RGB(0, 0, 0);
constexpr COLORREF button_face = RGB(236, 236, 236);
constexpr COLORREF button_frame = RGB(0, 0, 0);
constexpr COLORREF pressed_face = RGB(16, 72, 160);
constexpr COLORREF pressed_text = RGB(255, 255, 255);
constexpr COLORREF error_colour = RGB(200, 32, 32);
constexpr COLORREF warning_colour = RGB(240, 184, 0);
constexpr COLORREF information_colour = RGB(32, 96, 200);

struct ButtonKind {
    int answer;
    const char16_t* text;
};

std::vector<ButtonKind> buttons_of(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"Abort"}, {IDRETRY, u"Retry"}, {IDIGNORE, u"Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}};
    default: return {{IDOK, u"OK"}};
    }
}

int text_width(HDC dc, const std::u16string& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

HWND top_level_of(HWND window) {
    while (window && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) && GetParent(window)) window = GetParent(window);
    return window;
}

void draw_centred(HDC dc, const char16_t* text, RECT rect, COLORREF colour) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// A disc inside the square, row by row.
void fill_disc(HDC dc, const RECT& square, COLORREF colour) {
    double const radius = (square.right - square.left) / 2.0;
    for (int row = square.top; row < square.bottom; ++row) {
        double const dy = row + 0.5 - (square.top + radius);
        double const half = std::sqrt(std::max(0.0, radius * radius - dy * dy));
        int const centre = square.left + static_cast<int>(radius);
        fill(dc, {centre - static_cast<int>(std::lround(half)), row, centre + static_cast<int>(std::lround(half)), row + 1}, colour);
    }
}

// A triangle standing on the square's bottom edge, row by row.
void fill_triangle(HDC dc, const RECT& square, COLORREF colour) {
    int const size = square.bottom - square.top;
    int const centre = (square.left + square.right) / 2;
    for (int row = 0; row < size; ++row) {
        int const half = (row + 1) / 2;
        fill(dc, {centre - half, square.top + row, centre + half + 1, square.top + row + 1}, colour);
    }
}

}  // namespace

MessageBoxWindow::MessageBoxWindow(HWND owner, std::u16string text, std::u16string caption, UINT type)
    : owner_(owner),
      text_(std::move(text)),
      caption_(std::move(caption)),
      type_(type),
      scale_(screen_scale()),
      font_(control_font(text_height, scale_, false)),
      caption_font_(control_font(caption_text_height, scale_, true)) {
    for (auto const& kind : buttons_of(type)) buttons_.push_back({kind.answer, kind.text, {}});
    focused_ = std::min<std::size_t>((type & MB_DEFMASK) >> 8, buttons_.size() - 1);
}

MessageBoxWindow::~MessageBoxWindow() {
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
    if (caption_font_) DeleteObject(caption_font_);
}

void MessageBoxWindow::lay_out() {
    int const s = scale_;
    int const screen_width = GetSystemMetrics(SM_CXSCREEN);
    int const screen_height = GetSystemMetrics(SM_CYSCREEN);
    int const width = std::max(screen_width - 2 * margin * s, 120 * s);
    bool const has_icon = (type_ & MB_ICONMASK) != 0;
    int const text_left = padding * s + (has_icon ? (icon_size + padding) * s : 0);
    int const body_top = caption_height * s + padding * s;

    HDC const dc = GetDC(nullptr);
    HGDIOBJ const old_font = SelectObject(dc, font_);
    SIZE line{};
    GetTextExtentPoint32W(dc, u"Ag", 2, &line);
    line_height_ = line.cy;
    lines_ = wrap_lines(dc, text_, width - text_left - padding * s);
    std::vector<int> button_widths;
    for (auto const& button : buttons_)
        button_widths.push_back(std::max(button_min_width * s, text_width(dc, button.text) + button_text_padding * s));
    SelectObject(dc, old_font);
    ReleaseDC(nullptr, dc);

    // A text too long for the screen is cut at the last line that fits.
    int const fixed = body_top + 2 * padding * s + button_height * s;
    int const room = std::max(line_height_, screen_height - 2 * margin * s - fixed);
    std::size_t const fitting = static_cast<std::size_t>(std::max(1, room / std::max(1, line_height_)));
    if (lines_.size() > fitting) lines_.resize(fitting);
    int const body_height = std::max(static_cast<int>(lines_.size()) * line_height_, has_icon ? icon_size * s : 0);

    icon_ = has_icon ? RECT{padding * s, body_top, padding * s + icon_size * s, body_top + icon_size * s} : RECT{};
    text_area_ = {text_left, body_top, width - padding * s, body_top + body_height};
    int const buttons_top = body_top + body_height + padding * s;
    int row_width = 0;
    for (int w : button_widths) row_width += w;
    row_width += button_gap * s * static_cast<int>(buttons_.size() - 1);
    int left = (width - row_width) / 2;
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        buttons_[index].rect = {left, buttons_top, left + button_widths[index], buttons_top + button_height * s};
        left += button_widths[index] + button_gap * s;
    }
    int const height = buttons_top + button_height * s + padding * s;
    int const x = (screen_width - width) / 2;
    int const y = std::max(0, (screen_height - height) / 2);
    place_ = {x, y, x + width, y + height};
}

int MessageBoxWindow::run() {
    register_message_box_class();
    lay_out();
    HWND const owner = owner_ && IsWindow(owner_) ? top_level_of(owner_) : nullptr;
    bool const disabled_owner = owner && IsWindowEnabled(owner);
    if (disabled_owner) EnableWindow(owner, FALSE);
    int const width = place_.right - place_.left;
    int const height = place_.bottom - place_.top;
    for (HWND parent : {owner, static_cast<HWND>(nullptr)}) {
        window_ = CreateWindowExW(WS_EX_TOPMOST, message_box_class_name, caption_.c_str(), WS_POPUP | WS_VISIBLE, place_.left,
                                  place_.top, width, height, parent, nullptr, nullptr, this);
        if (window_ || !parent) break;
    }
    if (window_) {
        SetForegroundWindow(window_);
        SetFocus(window_);
        MSG message;
        while (!done_) {
            if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
                // The thread is asked to end: the box goes as if cancelled, and the loop
                // outside ends too.
                PostQuitMessage(static_cast<int>(message.wParam));
                finish(escape_answer());
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (disabled_owner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (window_) {
        HWND const window = window_;
        window_ = nullptr;
        DestroyWindow(window);
    }
    if (owner && IsWindow(owner)) SetForegroundWindow(owner);
    return answer_;
}

LRESULT MessageBoxWindow::on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_KEYDOWN:
        on_key(wparam);
        return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE: case WM_LBUTTONUP: {
        POINT const point{static_cast<SHORT>(lparam & 0xFFFF), static_cast<SHORT>((lparam >> 16) & 0xFFFF)};
        on_stylus(message == WM_LBUTTONDBLCLK ? WM_LBUTTONDOWN : message, point);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (pressed_ >= 0) {
            pressed_ = -1;
            invalidate();
        }
        return 0;
    case WM_CLOSE:
        finish(escape_answer());
        return 0;
    case WM_DESTROY:
        // Destroyed from outside (with its owner, say): answered as cancelled.
        if (!done_) finish(escape_answer());
        window_ = nullptr;
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

void MessageBoxWindow::on_key(WPARAM key) {
    switch (key) {
    case VK_RETURN: finish(buttons_[focused_].answer); break;
    case VK_ESCAPE: finish(escape_answer()); break;
    case VK_LEFT: case VK_UP:
        focused_ = (focused_ + buttons_.size() - 1) % buttons_.size();
        invalidate();
        break;
    case VK_RIGHT: case VK_DOWN:
        focused_ = (focused_ + 1) % buttons_.size();
        invalidate();
        break;
    default: break;
    }
}

void MessageBoxWindow::on_stylus(UINT message, POINT point) {
    int const under = button_at(point);
    if (message == WM_LBUTTONDOWN) {
        pressed_ = under;
        pressed_inside_ = under >= 0;
        if (under >= 0) {
            focused_ = static_cast<std::size_t>(under);
            SetCapture(window_);
        }
        invalidate();
        return;
    }
    if (pressed_ < 0) return;
    if (message == WM_MOUSEMOVE) {
        bool const inside = under == pressed_;
        if (inside != pressed_inside_) {
            pressed_inside_ = inside;
            invalidate();
        }
        return;
    }
    int const released = pressed_;
    pressed_ = -1;
    if (GetCapture() == window_) ReleaseCapture();
    invalidate();
    if (under == released) finish(buttons_[static_cast<std::size_t>(released)].answer);
}

int MessageBoxWindow::button_at(POINT point) const {
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        if (contains(buttons_[index].rect, point)) return static_cast<int>(index);
    }
    return -1;
}

int MessageBoxWindow::escape_answer() const {
    for (auto const& button : buttons_) {
        if (button.answer == IDCANCEL) return IDCANCEL;
    }
    for (auto const& button : buttons_) {
        if (button.answer == IDNO) return IDNO;
    }
    return buttons_.front().answer;
}

void MessageBoxWindow::finish(int answer) {
    if (done_) return;
    done_ = true;
    answer_ = answer;
}

void MessageBoxWindow::invalidate() {
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void MessageBoxWindow::paint(HWND window) {
    PAINTSTRUCT paint_info;
    HDC const dc = BeginPaint(window, &paint_info);
    if (!dc) return;
    int const s = scale_;
    RECT const whole{0, 0, place_.right - place_.left, place_.bottom - place_.top};
    fill(dc, whole, background);
    fill(dc, {0, 0, whole.right, caption_height * s}, caption_background);
    frame(dc, whole, box_frame, s);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ const old_font = SelectObject(dc, caption_font_);
    SetTextColor(dc, caption_text);
    RECT caption_rect{caption_indent * s, 0, whole.right - caption_indent * s, caption_height * s};
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &caption_rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    paint_icon(dc);
    SelectObject(dc, font_);
    SetTextColor(dc, text_colour);
    int top = text_area_.top;
    for (auto const& line : lines_) {
        RECT row{text_area_.left, top, text_area_.right, top + line_height_};
        DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &row, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        top += line_height_;
    }
    for (std::size_t index = 0; index < buttons_.size(); ++index) paint_button(dc, index);
    SelectObject(dc, old_font);
    EndPaint(window, &paint_info);
}

void MessageBoxWindow::paint_icon(HDC dc) const {
    switch (type_ & MB_ICONMASK) {
    case MB_ICONHAND:
        fill_disc(dc, icon_, error_colour);
        draw_centred(dc, u"\u00D7", icon_, RGB(255, 255, 255));
        break;
    case MB_ICONEXCLAMATION: {
        fill_triangle(dc, icon_, warning_colour);
        RECT lower = icon_;
        lower.top += 4 * scale_;
        draw_centred(dc, u"!", lower, RGB(0, 0, 0));
        break;
    }
    case MB_ICONQUESTION:
        fill_disc(dc, icon_, information_colour);
        draw_centred(dc, u"?", icon_, RGB(255, 255, 255));
        break;
    case MB_ICONASTERISK:
        fill_disc(dc, icon_, information_colour);
        draw_centred(dc, u"i", icon_, RGB(255, 255, 255));
        break;
    default: break;
    }
}

void MessageBoxWindow::paint_button(HDC dc, std::size_t index) const {
    auto const& button = buttons_[index];
    bool const pressed = static_cast<int>(index) == pressed_ && pressed_inside_;
    fill(dc, button.rect, pressed ? pressed_face : button_face);
    frame(dc, button.rect, button_frame, (index == focused_ ? 2 : 1) * scale_);
    draw_centred(dc, button.text.c_str(), button.rect, pressed ? pressed_text : text_colour);
}

LRESULT message_box_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (is_form_private_message(message)) return 0;
    if (message == WM_CREATE) {
        auto const* creation = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongW(window, box_word, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* const box = reinterpret_cast<MessageBoxWindow*>(GetWindowLongW(window, box_word));
    if (box) {
        LRESULT const result = box->on_message(window, message, wparam, lparam);
        if (message == WM_DESTROY) SetWindowLongW(window, box_word, 0);
        return result;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(window, message, wparam, lparam);
}

void register_message_box_class() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = message_box_procedure;
    window_class.cbWndExtra = sizeof(LONG);
    window_class.lpszClassName = message_box_class_name;
    RegisterClassW(&window_class);  // a second call finds it made
}

int show_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    MessageBoxWindow box(owner, text ? text : u"", caption ? caption : u"Error", type);
    return box.run();
}

}  // namespace native
