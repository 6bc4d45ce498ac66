// The shell's title-bar OK button, shown for a window while a skinned OK button stands for
// it. A test's observer sees each call before the shell does.
#pragma once

#include <functional>

#include "platform/windows.h"

namespace skinner::shell {

constexpr DWORD TITLE_OK_SHOW = 1;
constexpr DWORD TITLE_OK_HIDE = 2;

void title_ok_button(HWND window, DWORD state);

// Sees every call; an empty function ends the watching.
void set_title_ok_observer(std::function<void(HWND, DWORD)> observer);

}  // namespace skinner::shell
