#include "skin/shell_calls.h"

#include <utility>

namespace skinner::shell {

namespace {

Overrides& overrides() {
    static Overrides current;
    return current;
}

}  // namespace

void set_overrides(Overrides replacement) { overrides() = std::move(replacement); }

void sip_preference(HWND, int) {}

bool input_panel_visible_desktop(RECT& visible) {
    if (overrides().input_panel) return overrides().input_panel(visible);
    return false;
}

DWORD recognize_gesture(HWND window, Point point) {
    if (overrides().gesture) return overrides().gesture(window, point);
    return 0;
}

void full_screen(HWND window, DWORD flags) {
    if (overrides().full_screen) overrides().full_screen(window, flags);
}

Composition composition_result(HWND window) {
    if (overrides().composition) return overrides().composition(window);
    return {};
}

}  // namespace skinner::shell
