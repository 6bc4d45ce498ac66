#include "skin/shell_buttons.h"

#include <utility>

#include "platform/shell_ui.h"

namespace skinner::shell {

namespace {

std::function<void(HWND, DWORD)>& observer() {
    static std::function<void(HWND, DWORD)> current;
    return current;
}

}  // namespace

void title_ok_button(HWND window, DWORD state) {
    if (observer()) observer()(window, state);
    SHDoneButton(window, state == TITLE_OK_SHOW ? SHDB_SHOW : SHDB_HIDE);
}

void set_title_ok_observer(std::function<void(HWND, DWORD)> replacement) { observer() = std::move(replacement); }

}  // namespace skinner::shell
