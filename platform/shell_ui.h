// The shell around every program: the task bar across the top of the screen (the
// foreground window's title and, for a window that asks for it, the OK button), the bottom
// bar (the foreground program's menu bar and the input-panel button in its right corner),
// full screen, the input panel (a soft keyboard just above the bottom bar that types into
// the focus window) and tap-and-hold. The screen draws the shell over every program's
// windows; SONBRIX_SHELL=off shows a screen without it (bars of height 0).
#pragma once

#include "platform/messages.h"
#include "platform/types.h"
#include "platform/windows.h"

// Height of the task bar and of the bottom bar: 26 pixels, 52 on screens 480 or 640 pixels
// wide; 0 when the screen shows no shell.
int shell_bar_height();
// Width of the input-panel button at the right end of the bottom bar: 32 pixels at 96 dpi,
// 64 at 192 dpi; 0 when the screen shows no shell. A menu bar keeps its buttons left of it.
int shell_input_panel_button_width();

// ---- The task bar's OK button ----------------------------------------------------------

constexpr DWORD SHDB_SHOW = 1;
constexpr DWORD SHDB_HIDE = 2;
// Shows or hides the OK button in the task bar while the window's top-level window is in
// front; a tap on it sends WM_COMMAND with IDOK to that window. FALSE with
// ERROR_INVALID_WINDOW_HANDLE for no window of this process, ERROR_INVALID_PARAMETER for
// another state.
BOOL SHDoneButton(HWND window, DWORD state);

// ---- Full screen -----------------------------------------------------------------------

constexpr DWORD SHFS_SHOWTASKBAR = 0x01;
constexpr DWORD SHFS_HIDETASKBAR = 0x02;
constexpr DWORD SHFS_SHOWSIPBUTTON = 0x04;
constexpr DWORD SHFS_HIDESIPBUTTON = 0x08;
constexpr DWORD SHFS_SHOWSTARTICON = 0x10;
constexpr DWORD SHFS_HIDESTARTICON = 0x20;
// Hides or shows the task bar and the input-panel button while the window's top-level
// window is in front (the start icon is part of the task bar here: its flags change
// nothing). FALSE with ERROR_INVALID_WINDOW_HANDLE for no window of this process.
BOOL SHFullScreen(HWND window, DWORD state);

// ---- The input panel -------------------------------------------------------------------

enum SIPSTATE { SIP_UP = 0, SIP_DOWN = 1, SIP_FORCEDOWN = 2, SIP_UNCHANGED = 3, SIP_INPUTDIALOG = 4 };

constexpr UINT SPI_SETWORKAREA = 47;
constexpr UINT SPI_GETWORKAREA = 48;
constexpr UINT SPI_SETSIPINFO = 224;
constexpr UINT SPI_GETSIPINFO = 225;

constexpr DWORD SIPF_OFF = 0x0;
constexpr DWORD SIPF_ON = 0x1;

struct SIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;           // SIPF_ON while the panel is up
    RECT rcVisibleDesktop;    // the screen between the task bar and the panel (or bottom bar)
    RECT rcSipRect;           // where the panel is (or would be) shown
    DWORD dwImDataSize;
    void* pvImData;
};
// The device's SIPINFO is 48 bytes (its pointers are 32 bits); either size is taken.
constexpr DWORD device_sipinfo_size = 48;

// Raises (SIP_UP) or lowers (SIP_DOWN, SIP_FORCEDOWN) the input panel; a change sends
// WM_SETTINGCHANGE with wParam SPI_SETSIPINFO to the top-level windows of every program.
// FALSE when the screen shows no shell or did not answer.
BOOL SHSipPreference(HWND window, SIPSTATE state);
// SPI_GETSIPINFO fills the SIPINFO (cbSize set by the caller) at info; SPI_SETSIPINFO raises
// or lowers the panel by its SIPF_ON flag. FALSE with ERROR_INVALID_PARAMETER for another
// action or a wrong size.
BOOL SHSipInfo(UINT action, UINT param, LPVOID info, UINT win_ini);
// SPI_GETWORKAREA (a RECT: the screen between the bars) and the two input-panel actions.
BOOL SystemParametersInfoW(UINT action, UINT param, LPVOID info, UINT win_ini);

// ---- Tap and hold ----------------------------------------------------------------------

constexpr DWORD SHRG_RETURNCMD = 0x1;
constexpr DWORD SHRG_NOTIFYPARENT = 0x2;
constexpr DWORD SHRG_LONGDELAY = 0x8;
constexpr DWORD GN_CONTEXTMENU = 1000;

struct SHRGINFO {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;  // client coordinates of hwndClient
    DWORD dwFlags;
};
// The device's SHRGINFO is 20 bytes; either size is taken.
constexpr DWORD device_shrginfo_size = 20;

namespace platform {
// How long the stylus must stay down for a hold (twice as long with SHRG_LONGDELAY), and how
// far it may move meanwhile (pixels at 96 dpi; twice that on 192-dpi screens).
constexpr DWORD gesture_hold_time_ms = 500;
constexpr int gesture_move_tolerance = 5;
}  // namespace platform

// Called on WM_LBUTTONDOWN: waits while the stylus stays down on the point, drawing a ring
// of dots around it. GN_CONTEXTMENU when it was held for the hold time; 0 when it moved
// away or came up first (or for a wrong SHRGINFO). The stylus messages it waited through
// are delivered after it returns, in their order.
DWORD SHRecognizeGesture(SHRGINFO* info);
