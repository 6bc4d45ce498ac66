// The shell's calls: the OK button, full screen, the input panel, the work area and
// tap-and-hold. The screen draws the shell; these tell it what a program asks.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/datetime.h"
#include "platform/errors.h"
#include "platform/linux/screen/screen_protocol.h"
#include "platform/linux/screen/shell_layout.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/linux/user/window_tree.h"
#include "platform/kernel.h"
#include "platform/shell_ui.h"
#include "platform/testing.h"
#include "platform/timers.h"

using namespace platform::detail;

namespace {

constexpr int hold_cue_dots = 8;

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The top-level window of a window of this process, or null.
HWND own_top_level(HWND window) {
    if (!window || !is_local_window(window) || !window_facts(window)) return nullptr;
    return top_level_of(window);
}

RECT rect_of(const platform::screen::ScreenRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

platform::screen::ShellLayout current_layout() {
    auto const size = screen_size();
    return platform::screen::shell_layout(size.width, size.height, size.dpi, size.bar > 0);
}

bool fill_sip_info(SIPINFO& info) {
    auto const layout = current_layout();
    bool const up = layout.bar > 0 && input_panel_is_up();
    info.fdwFlags = up ? SIPF_ON : SIPF_OFF;
    info.rcVisibleDesktop = rect_of(layout.work_area);
    if (up) info.rcVisibleDesktop.bottom = layout.input_panel.top;
    info.rcSipRect = rect_of(layout.input_panel);
    info.dwImDataSize = 0;
    if (info.cbSize == sizeof(SIPINFO)) info.pvImData = nullptr;
    return true;
}

bool sip_info_size(DWORD size) { return size == sizeof(SIPINFO) || size == device_sipinfo_size; }

int screen_scale() { return screen_size().dpi >= 192 ? 2 : 1; }

bool is_stylus_message(UINT message) {
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
           message == WM_LBUTTONDBLCLK;
}

POINT screen_point_of(const MSG& message) {
    POINT point{static_cast<SHORT>(message.lParam & 0xFFFF), static_cast<SHORT>((message.lParam >> 16) & 0xFFFF)};
    ClientToScreen(message.hwnd, &point);
    return point;
}

// Takes the thread's next stylus message, if one is there.
bool take_stylus_message(MSG& message) {
    return PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, PM_REMOVE) &&
           is_stylus_message(message.message);
}

}  // namespace

int shell_bar_height() { return screen_size().bar; }

int shell_input_panel_button_width() {
    auto const button = current_layout().input_panel_button;
    return button.right - button.left;
}

BOOL SHDoneButton(HWND window, DWORD state) {
    HWND const top = own_top_level(window);
    if (!top) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (state != SHDB_SHOW && state != SHDB_HIDE) return fail(ERROR_INVALID_PARAMETER);
    if (state == SHDB_SHOW) change_shell_flags(top, platform::screen::shell_ok_button, 0);
    else change_shell_flags(top, 0, platform::screen::shell_ok_button);
    return TRUE;
}

BOOL SHFullScreen(HWND window, DWORD state) {
    using namespace platform::screen;
    HWND const top = own_top_level(window);
    if (!top) return fail(ERROR_INVALID_WINDOW_HANDLE);
    std::uint32_t set = 0;
    std::uint32_t clear = 0;
    if (state & SHFS_HIDETASKBAR) set |= shell_hide_task_bar;
    if (state & SHFS_SHOWTASKBAR) clear |= shell_hide_task_bar;
    if (state & SHFS_HIDESIPBUTTON) set |= shell_hide_input_panel_button;
    if (state & SHFS_SHOWSIPBUTTON) clear |= shell_hide_input_panel_button;
    change_shell_flags(top, set, clear);
    return TRUE;
}

BOOL SHSipPreference(HWND, SIPSTATE state) {
    if (state == SIP_UNCHANGED) return TRUE;
    if (shell_bar_height() == 0) return FALSE;
    return raise_input_panel(state == SIP_UP || state == SIP_INPUTDIALOG) ? TRUE : FALSE;
}

BOOL SHSipInfo(UINT action, UINT, LPVOID info, UINT) {
    auto* const sip = static_cast<SIPINFO*>(info);
    if (!sip || !sip_info_size(sip->cbSize)) return fail(ERROR_INVALID_PARAMETER);
    if (action == SPI_GETSIPINFO) return fill_sip_info(*sip) ? TRUE : FALSE;
    if (action == SPI_SETSIPINFO) {
        if (shell_bar_height() == 0) return FALSE;
        return raise_input_panel((sip->fdwFlags & SIPF_ON) != 0) ? TRUE : FALSE;
    }
    return fail(ERROR_INVALID_PARAMETER);
}

BOOL SystemParametersInfoW(UINT action, UINT param, LPVOID info, UINT win_ini) {
    if (action == SPI_GETWORKAREA) {
        if (!info) return fail(ERROR_INVALID_PARAMETER);
        *static_cast<RECT*>(info) = work_area();
        return TRUE;
    }
    if (action == SPI_GETSIPINFO || action == SPI_SETSIPINFO) return SHSipInfo(action, param, info, win_ini);
    return fail(ERROR_INVALID_PARAMETER);
}

DWORD SHRecognizeGesture(SHRGINFO* info) {
    if (!info || (info->cbSize != sizeof(SHRGINFO) && info->cbSize != device_shrginfo_size)) return 0;
    if (!own_top_level(info->hwndClient)) return 0;
    POINT down = info->ptDown;
    ClientToScreen(info->hwndClient, &down);
    int const tolerance = platform::gesture_move_tolerance * screen_scale();
    DWORD const hold = platform::gesture_hold_time_ms * ((info->dwFlags & SHRG_LONGDELAY) ? 2 : 1);
    DWORD const start = GetTickCount();
    std::vector<MSG> held;
    bool broken = false;
    int dots = 0;
    for (DWORD elapsed = 0; elapsed < hold && !broken; elapsed = GetTickCount() - start) {
        int const due = static_cast<int>(static_cast<std::uint64_t>(elapsed) * hold_cue_dots / hold) + 1;
        if (due != dots) show_hold_cue(down, dots = due);
        MSG message{};
        if (take_stylus_message(message)) {
            held.push_back(message);
            POINT const at = screen_point_of(message);
            bool const moved = std::abs(at.x - down.x) > tolerance || std::abs(at.y - down.y) > tolerance;
            broken = message.message != WM_MOUSEMOVE || moved;
            continue;
        }
        DWORD const step = hold / hold_cue_dots;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min(step, hold - elapsed), QS_MOUSE);
    }
    show_hold_cue(down, 0);
    for (auto const& message : held) platform::post_input_message(message);
    return broken ? 0 : GN_CONTEXTMENU;
}
