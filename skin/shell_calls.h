// The shell calls the form window makes: the input panel, gestures, full screen and the
// input method's result. Until the platform has them they do nothing; tests replace them.
#pragma once

#include <functional>
#include <string>

#include "platform/windows.h"
#include "skin/geometry.h"

namespace skinner::shell {

constexpr DWORD GN_CONTEXTMENU = 1000;
constexpr DWORD SHFS_HIDETASKBAR = 0x0002;
constexpr DWORD SHFS_HIDESIPBUTTON = 0x0008;

// Raises (0) or lowers (1) the input panel for the window.
void sip_preference(HWND window, int state);
// True, with the visible desktop's right and bottom, when the input panel is up.
bool input_panel_visible_desktop(RECT& visible);
// What the stylus held at the point means: GN_CONTEXTMENU for tap-and-hold, else 0.
DWORD recognize_gesture(HWND window, Point point);
void full_screen(HWND window, DWORD flags);
// The input method's result text for the window, as the length in bytes it reports and the
// units read; a length of 0 or less reads nothing.
struct Composition {
    long byte_length = 0;
    std::u16string text;
};
Composition composition_result(HWND window);

// Replacements for tests; an empty function puts back the default.
struct Overrides {
    std::function<bool(RECT&)> input_panel;
    std::function<DWORD(HWND, Point)> gesture;
    std::function<Composition(HWND)> composition;
    std::function<void(HWND, DWORD)> full_screen;
};
void set_overrides(Overrides overrides);

}  // namespace skinner::shell
