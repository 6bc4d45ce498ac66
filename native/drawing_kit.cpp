#include "native/drawing_kit.h"

#include <algorithm>

namespace native {

int screen_scale() {
    HDC const dc = GetDC(nullptr);
    int const dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi >= 192 ? 2 : 1;
}

HFONT control_font(int height, int scale, bool bold) {
    LOGFONTW font{};
    font.lfHeight = -height * scale;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;
    constexpr char16_t face[] = u"Tahoma";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    return CreateFontIndirectW(&font);
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH const brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void frame(HDC dc, const RECT& rect, COLORREF colour, int width) {
    fill(dc, {rect.left, rect.top, rect.right, rect.top + width}, colour);
    fill(dc, {rect.left, rect.bottom - width, rect.right, rect.bottom}, colour);
    fill(dc, {rect.left, rect.top, rect.left + width, rect.bottom}, colour);
    fill(dc, {rect.right - width, rect.top, rect.right, rect.bottom}, colour);
}

void triangle(HDC dc, const RECT& rect, Pointing pointing, int size, COLORREF colour) {
    int const centre_x = (rect.left + rect.right) / 2;
    int const centre_y = (rect.top + rect.bottom) / 2;
    for (int step = 0; step < size; ++step) {
        int const half = size - 1 - step;  // the row or column nearest the base is the longest
        switch (pointing) {
        case Pointing::left: {
            int const x = centre_x - size / 2 + step;
            fill(dc, {x, centre_y - step, x + 1, centre_y + step + 1}, colour);
            break;
        }
        case Pointing::right: {
            int const x = centre_x - size / 2 + step;
            fill(dc, {x, centre_y - half, x + 1, centre_y + half + 1}, colour);
            break;
        }
        case Pointing::up: {
            int const y = centre_y - size / 2 + step;
            fill(dc, {centre_x - step, y, centre_x + step + 1, y + 1}, colour);
            break;
        }
        case Pointing::down: {
            int const y = centre_y - size / 2 + step;
            fill(dc, {centre_x - half, y, centre_x + half + 1, y + 1}, colour);
            break;
        }
        }
    }
}

void text(HDC dc, const std::u16string& text, RECT rect, UINT format, COLORREF colour) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_SINGLELINE | DT_NOPREFIX);
}

SIZE text_size(HDC dc, const std::u16string& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

bool contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

POINT stylus_point(LPARAM lparam) {
    return {static_cast<SHORT>(lparam & 0xFFFF), static_cast<SHORT>((lparam >> 16) & 0xFFFF)};
}

LRESULT notify_parent(HWND window, NMHDR& header, UINT code) {
    header.hwndFrom = window;
    header.idFrom = static_cast<UINT_PTR>(GetWindowLongW(window, GWL_ID));
    header.code = code;
    HWND const parent = GetParent(window);
    if (!parent) return 0;
    return SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace native
