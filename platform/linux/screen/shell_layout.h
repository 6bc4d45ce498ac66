// Where the shell's parts lie on the device's screen (inside the Linux back end only): the
// task bar across the top, the bottom bar across the bottom (the foreground program's menu
// bar and the input-panel button), the input panel just above the bottom bar. The screen
// server draws them; the window layer computes the work area and the input panel's place
// from the same numbers.
#pragma once

#include "platform/linux/display/display_driver.h"

namespace platform::screen {

using display::ScreenRect;

struct ShellLayout {
    int bar = 0;  // height of the task bar and of the bottom bar; 0 without the shell
    int scale = 1;
    ScreenRect task_bar;
    ScreenRect ok_button;
    ScreenRect bottom_bar;
    ScreenRect input_panel_button;
    ScreenRect input_panel;
    // Below the task bar and above the bottom bar.
    ScreenRect work_area;
};

// The bars' height for a screen of that width: 26 pixels, 52 on screens 480 or 640 wide.
int shell_bar_height(int width);
// Without the shell (bar 0) only the work area, which is then the whole screen, is meaningful.
ShellLayout shell_layout(int width, int height, int dpi, bool shell_shown);

// SONBRIX_SHELL=off shows the screen without the shell (the bare panel, as tests of windows
// alone want it); anything else, or nothing, shows it.
bool shell_shown_from_environment();

}  // namespace platform::screen
