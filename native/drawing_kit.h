// Small drawing and messaging helpers shared by the date controls.
#pragma once

#include <string>

#include "platform/common_controls.h"
#include "platform/gdi.h"

namespace native {

// 2 on a 192-dpi screen, else 1: sizes are given at 96 dpi and multiplied by it.
int screen_scale();
// The controls' face at a height given at 96 dpi; the caller deletes it.
HFONT control_font(int height, int scale, bool bold);

void fill(HDC dc, const RECT& rect, COLORREF colour);
// A one-pixel-wide (times scale) outline inside the rectangle.
void frame(HDC dc, const RECT& rect, COLORREF colour, int width);
enum class Pointing { left, right, up, down };
// A solid triangle centred in the rectangle, `size` pixels from base to tip.
void triangle(HDC dc, const RECT& rect, Pointing pointing, int size, COLORREF colour);
void text(HDC dc, const std::u16string& text, RECT rect, UINT format, COLORREF colour);
SIZE text_size(HDC dc, const std::u16string& text);

bool contains(const RECT& rect, POINT point);
POINT stylus_point(LPARAM lparam);

// Sends WM_NOTIFY with the record (whose first member is an NMHDR) to the window's parent
// (or owner).
LRESULT notify_parent(HWND window, NMHDR& header, UINT code);

// The window's state object, kept in its first extra word.
template <typename T>
T* state_of(HWND window) {
    return reinterpret_cast<T*>(GetWindowLongW(window, 0));
}

// The private messages that the skin's form sends to whatever holds the focus.
inline bool is_ignored_private_message(UINT message) {
    return message == WM_USER + 2 || message == WM_USER + 4 || message == WM_USER + 33;
}

}  // namespace native
