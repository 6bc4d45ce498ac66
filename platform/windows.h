// Window classes and windows (no drawing yet). A window belongs to the thread that created
// it; its procedure runs only on that thread. Top-level windows of the device's other
// processes are seen by EnumWindows, GetClassNameW, GetParent, GetWindowTextW,
// IsWindowVisible and IsWindowEnabled and reached by PostMessageW and SendMessageW.
#pragma once

#include "platform/messages.h"
#include "platform/types.h"

struct HICON__;
using HICON = HICON__*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HMENU__;
using HMENU = HMENU__*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;

// ---- Classes ---------------------------------------------------------------------------

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

// Class names ignore case. A second registration of a name fails (0,
// ERROR_CLASS_ALREADY_EXISTS) and leaves the first one as it was.
ATOM RegisterClassW(const WNDCLASSW* window_class);
// FALSE with ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
BOOL UnregisterClassW(LPCWSTR class_name, HINSTANCE instance);

// ---- Creation and destruction ----------------------------------------------------------

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

// Sends WM_NCCREATE, WM_CREATE (lParam: the CREATESTRUCTW), WM_SIZE and WM_MOVE on the
// calling thread; a WM_CREATE answer of -1 (or a WM_NCCREATE answer of 0) destroys the
// window again and the result is null. WS_VISIBLE shows it afterwards. With WS_CHILD the
// parent is the window's parent; otherwise it is the owner, and the window is a top-level
// one. CW_USEDEFAULT stands for position 0 and size 0 until the screen exists.
HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID parameter);
// Only on the window's own thread (else FALSE, ERROR_ACCESS_DENIED). Sends WM_DESTROY to
// the window and then to its children and owned windows, which are destroyed with it, then
// WM_NCDESTROY. Its timers end and its queued messages are dropped.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

// ---- Procedures ------------------------------------------------------------------------

// WM_CLOSE destroys the window; WM_SETTEXT, WM_GETTEXT and WM_GETTEXTLENGTH keep the
// window's text; everything else answers 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wparam,
                        LPARAM lparam);

// ---- Window words ----------------------------------------------------------------------
// The handheld's LONG holds a pointer; here the words are pointer-wide (LONG_PTR) so that a
// procedure fits. Indexes 0 and up address the class's extra bytes in steps of 4.

constexpr int GWL_WNDPROC = -4;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;

// 0 with ERROR_INVALID_INDEX or ERROR_INVALID_WINDOW_HANDLE on failure (check the last
// error when 0 is a possible value).
LONG_PTR GetWindowLongW(HWND window, int index);
// The previous value. The window's own thread may replace the procedure (subclassing).
LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value);

// ---- Names, relations, state ----------------------------------------------------------

// Copies at most size - 1 characters and a terminator; the number of characters copied,
// 0 on failure.
int GetClassNameW(HWND window, LPWSTR buffer, int size);
// The parent of a child window, the owner of a top-level window, else null.
HWND GetParent(HWND window);
// Makes a child the child of another parent, or a top-level window when parent is null.
// The previous parent or owner.
HWND SetParent(HWND window, HWND parent);
// Sends WM_SETTEXT.
BOOL SetWindowTextW(HWND window, LPCWSTR text);
// Characters copied (at most size - 1, terminated).
int GetWindowTextW(HWND window, LPWSTR buffer, int size);
int GetWindowTextLengthW(HWND window);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;
// TRUE when the window was visible before. Sends WM_SHOWWINDOW when the visibility changes.
BOOL ShowWindow(HWND window, int command);
// The window and all of its parents are visible.
BOOL IsWindowVisible(HWND window);
// TRUE when the window was disabled before. Sends WM_ENABLE when the state changes.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

// Places the window in its parent's client coordinates (a top-level window: on the
// screen); sends WM_MOVE and WM_SIZE (SIZE_RESTORED, width | height << 16).
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
constexpr WPARAM SIZE_RESTORED = 0;
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);

// ---- Finding windows -------------------------------------------------------------------

using WNDENUMPROC = BOOL (*)(HWND window, LPARAM parameter);
// Every top-level window of every live process of the device, this process's first, each
// in creation order, until the callback answers FALSE.
BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter);
// The first top-level window with that class (ignoring case; null: any) and that title
// (exact; null: any).
HWND FindWindowW(LPCWSTR class_name, LPCWSTR title);

// ---- Focus and foreground --------------------------------------------------------------

// The focus window of this process; SetFocus answers the previous one and sends
// WM_KILLFOCUS and WM_SETFOCUS.
HWND SetFocus(HWND window);
HWND GetFocus();
BOOL SetForegroundWindow(HWND window);
