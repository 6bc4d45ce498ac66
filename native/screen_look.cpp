#include "native/screen_look.h"

namespace native {

int screen_scale() {
    HDC const dc = GetDC(nullptr);
    int const dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi >= 192 ? 2 : 1;
}

HFONT create_system_font(int height_96_dpi, int scale, bool bold) {
    LOGFONTW font{};
    font.lfHeight = -height_96_dpi * scale;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;
    constexpr char16_t face[] = u"Tahoma";
    for (std::size_t index = 0; index < sizeof face / sizeof face[0]; ++index) font.lfFaceName[index] = face[index];
    return CreateFontIndirectW(&font);
}

void fill_rect(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH const brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void frame_rect(HDC dc, const RECT& rect, int thickness, COLORREF colour) {
    fill_rect(dc, {rect.left, rect.top, rect.right, rect.top + thickness}, colour);
    fill_rect(dc, {rect.left, rect.bottom - thickness, rect.right, rect.bottom}, colour);
    fill_rect(dc, {rect.left, rect.top, rect.left + thickness, rect.bottom}, colour);
    fill_rect(dc, {rect.right - thickness, rect.top, rect.right, rect.bottom}, colour);
}

}  // namespace native
