#include "platform/linux/screen/shell_layout.h"

#include <cstdlib>
#include <cstring>

namespace platform::screen {
namespace {

// Sizes at 96 dpi, multiplied by the screen's scale.
constexpr int ok_button_width = 30;
constexpr int ok_button_margin = 3;
constexpr int input_panel_button_width = 32;
constexpr int input_panel_height = 80;

}  // namespace

int shell_bar_height(int width) { return width == 480 || width == 640 ? 52 : 26; }

ShellLayout shell_layout(int width, int height, int dpi, bool shell_shown) {
    ShellLayout layout;
    layout.work_area = {0, 0, width, height};
    if (!shell_shown) return layout;
    int const scale = dpi >= 192 ? 2 : 1;
    int const bar = shell_bar_height(width);
    layout.bar = bar;
    layout.scale = scale;
    layout.task_bar = {0, 0, width, bar};
    int const margin = ok_button_margin * scale;
    layout.ok_button = {width - margin - ok_button_width * scale, margin, width - margin, bar - margin};
    layout.bottom_bar = {0, height - bar, width, height};
    layout.input_panel_button = {width - input_panel_button_width * scale, height - bar, width, height};
    layout.input_panel = {0, height - bar - input_panel_height * scale, width, height - bar};
    layout.work_area = {0, bar, width, height - bar};
    return layout;
}

bool shell_shown_from_environment() {
    char const* text = std::getenv("SONBRIX_SHELL");
    return !text || std::strcmp(text, "off") != 0;
}

}  // namespace platform::screen
