#include "skin/shell_calls.h"

#include <utility>

#include "platform/shell_ui.h"

namespace skinner::shell {

namespace {

Overrides& overrides() {
    static Overrides current;
    return current;
}

}  // namespace

void set_overrides(Overrides replacement) { overrides() = std::move(replacement); }

void sip_preference(HWND window, int state) { SHSipPreference(window, state == 0 ? SIP_UP : SIP_DOWN); }

bool input_panel_visible_desktop(RECT& visible) {
    if (overrides().input_panel) return overrides().input_panel(visible);
    SIPINFO info{};
    info.cbSize = sizeof(info);
    if (!SHSipInfo(SPI_GETSIPINFO, 0, &info, 0) || (info.fdwFlags & SIPF_ON) == 0) return false;
    visible = info.rcVisibleDesktop;
    return true;
}

DWORD recognize_gesture(HWND window, Point point) {
    if (overrides().gesture) return overrides().gesture(window, point);
    SHRGINFO info{};
    info.cbSize = sizeof(info);
    info.hwndClient = window;
    info.ptDown = POINT{point.x, point.y};
    info.dwFlags = SHRG_RETURNCMD;
    return SHRecognizeGesture(&info);
}

void full_screen(HWND window, DWORD flags) {
    if (overrides().full_screen) {
        overrides().full_screen(window, flags);
        return;
    }
    SHFullScreen(window, flags);
}

Composition composition_result(HWND window) {
    if (overrides().composition) return overrides().composition(window);
    return {};
}

}  // namespace skinner::shell
