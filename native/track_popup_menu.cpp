// TrackPopupMenuEx: the menu's font and scale for the screen, the tracker, and the answer.
#include "native/menu_tracker.h"
#include "platform/errors.h"
#include "platform/messages.h"

namespace {

constexpr int font_height_96_dpi = 12;

int screen_scale() {
    HDC const dc = GetDC(nullptr);
    int const dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi >= 192 ? 2 : 1;
}

HFONT menu_font(int scale) {
    LOGFONTW font{};
    font.lfHeight = -font_height_96_dpi * scale;
    font.lfWeight = FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;
    constexpr char16_t face[] = u"Tahoma";
    for (std::size_t index = 0; index < sizeof face / sizeof face[0]; ++index) font.lfFaceName[index] = face[index];
    return CreateFontIndirectW(&font);
}

}  // namespace

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
    if (!native::menu_items(menu)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    int const scale = screen_scale();
    HFONT const font = menu_font(scale);
    UINT_PTR chosen = 0;
    {
        native::MenuTracker tracker(owner, font, scale);
        chosen = tracker.track(menu, flags, x, y);
    }
    if (font) DeleteObject(font);
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen && owner) PostMessageW(owner, WM_COMMAND, chosen, 0);
    return TRUE;
}
