#include "native/static_control.h"

#include <string>

#include "native/private_messages.h"
#include "native/drawing_kit.h"
#include "native/text_lines.h"
#include "platform/gdi.h"

namespace native {
namespace {

constexpr int font_word = 0;  // the window's extra word holding the font WM_SETFONT gave
constexpr int system_font_height = 12;
constexpr COLORREF background = RGB(255, 255, 255);
constexpr COLORREF text_colour = RGB(0, 0, 0);
constexpr COLORREF disabled_colour = RGB(128, 128, 128);

std::u16string text_of(HWND window) {
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Without DT_NOPREFIX-like handling of its own: "&" marks nothing here, "&&" is one "&".
std::u16string without_prefixes(const std::u16string& text) {
    std::u16string shown;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == u'&' && index + 1 < text.size()) ++index;
        else if (text[index] == u'&') continue;
        shown.push_back(text[index]);
    }
    return shown;
}

void paint(HWND window) {
    PAINTSTRUCT paint_info;
    HDC const dc = BeginPaint(window, &paint_info);
    if (!dc) return;
    RECT client{};
    GetClientRect(window, &client);
    fill(dc, client, background);
    int const scale = screen_scale();
    auto const given = reinterpret_cast<HFONT>(GetWindowLongW(window, font_word));
    HFONT const own = given ? nullptr : control_font(system_font_height, scale, false);
    HGDIOBJ const old_font = SelectObject(dc, given ? given : own);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(window) ? text_colour : disabled_colour);
    auto const style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    std::u16string text = text_of(window);
    if (!(style & SS_NOPREFIX)) text = without_prefixes(text);
    UINT const alignment = (style & SS_ALIGNMASK) == SS_CENTER ? DT_CENTER : (style & SS_ALIGNMASK) == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    SIZE line_size{};
    GetTextExtentPoint32W(dc, u"Ag", 2, &line_size);
    int top = client.top;
    for (auto const& line : wrap_lines(dc, text, client.right - client.left)) {
        if (top >= client.bottom) break;
        RECT row{client.left, top, client.right, top + line_size.cy};
        DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &row, alignment | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        top += line_size.cy;
    }
    SelectObject(dc, old_font);
    if (own) DeleteObject(own);
    EndPaint(window, &paint_info);
}

}  // namespace

LRESULT static_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (is_form_private_message(message)) return 0;
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT: {
        LRESULT const result = DefWindowProcW(window, message, wparam, lparam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    case WM_SETFONT:
        SetWindowLongW(window, font_word, static_cast<LONG_PTR>(wparam));
        if (lparam) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return GetWindowLongW(window, font_word);
    case WM_ENABLE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

void register_static_class() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = static_procedure;
    window_class.cbWndExtra = sizeof(LONG);
    window_class.lpszClassName = static_class_name;
    RegisterClassW(&window_class);  // a second call finds it made
}

}  // namespace native
