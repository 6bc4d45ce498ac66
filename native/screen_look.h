// What the native controls share of the screen's look: the scale of the screen (1 at 96 dpi,
// 2 at 192 dpi) and the system font.
#pragma once

#include "platform/gdi.h"

namespace native {

int screen_scale();
// The system face at this height (pixels at 96 dpi, multiplied by the scale); the caller
// deletes it.
HFONT create_system_font(int height_96_dpi, int scale, bool bold = false);
void fill_rect(HDC dc, const RECT& rect, COLORREF colour);
// A frame `thickness` pixels wide just inside the rectangle.
void frame_rect(HDC dc, const RECT& rect, int thickness, COLORREF colour);

}  // namespace native
