// Window classes and windows. A window belongs to the thread that created it; its procedure
// runs only on that thread. Top-level windows of the device's other processes are seen by
// EnumWindows, GetClassNameW, GetParent, GetWindowTextW, IsWindowVisible and
// IsWindowEnabled, reached by PostMessageW and SendMessageW, and take part in activation
// (SetForegroundWindow, WM_ACTIVATE).
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
struct HDC__;
using HDC = HDC__*;

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
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

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
// A change of size makes the whole client area need painting (when repaint is TRUE).
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
constexpr WPARAM SIZE_RESTORED = 0;
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);

using WNDENUMPROC = BOOL (*)(HWND window, LPARAM parameter);

// ---- Z-order ---------------------------------------------------------------------------
// Siblings (the children of one parent, or this process's top-level windows) are kept in
// z-order, top first. A new window goes below its siblings, so that windows come in the
// order they were made until one is moved; showing a top-level window (ShowWindow other
// than SW_SHOWNA, WS_VISIBLE at creation) puts it on top.

inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(1));
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;

// Moves, sizes (WM_MOVE, WM_SIZE as MoveWindow), reorders and shows or hides the window.
// insert_after: HWND_TOP, HWND_BOTTOM (HWND_TOPMOST and HWND_NOTOPMOST as HWND_TOP), or a
// sibling that the window goes right below. FALSE with ERROR_INVALID_WINDOW_HANDLE for no
// window of this process.
BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int width, int height, UINT flags);
// Puts the window on top of its siblings.
BOOL BringWindowToTop(HWND window);

constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
// A window of this process related to this one: GW_CHILD its top child; GW_HWNDFIRST,
// GW_HWNDLAST, GW_HWNDNEXT (below) and GW_HWNDPREV (above) among its siblings; GW_OWNER
// the owner of a top-level window. Null when there is none.
HWND GetWindow(HWND window, UINT relation);
// Every window below the parent, depth first: each child in z-order followed by its own
// children, until the callback answers FALSE. Windows made or destroyed meanwhile are
// taken as they were when it started.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM parameter);
// The window is a child (or a child's child...) of the parent.
BOOL IsChild(HWND parent, HWND window);

// ---- Painting --------------------------------------------------------------------------
// A window's update region is the part of its client area that needs painting. While it
// is not empty and the window is shown, the window's thread gets WM_PAINT when no sent,
// posted or input message and no WM_QUIT waits (before due timers); WM_PAINT is never
// queued, so it comes at most once per retrieval however often the window was
// invalidated. Showing a window and a change of its size invalidate its whole client area.

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;  // the background still needs erasing (WM_ERASEBKGND answered 0)
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// rect null: the whole client area. erase asks for WM_ERASEBKGND at the next BeginPaint.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
// The bounds of the update region in client coordinates; FALSE (and an empty rectangle)
// when it is empty. erase is ignored.
BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
// Sends WM_PAINT at once when the update region is not empty.
BOOL UpdateWindow(HWND window);
// Validates the window (takes its update region) and gives a device context whose drawing
// is clipped to the region that was taken. WM_ERASEBKGND (wParam the context) is sent first
// when an invalidation asked for it. The context draws on the window's surface once the
// screen gives it one; until then on a memory context. Null for no window.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
// EndPaint shows on the screen what the paint drew.
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// A device context on the window's client area, outside a paint (clipped to what of the
// window is visible); null window: the screen's, for its metrics. ReleaseDC shows what was
// drawn and deletes the context.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// ---- Places on the screen --------------------------------------------------------------

BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// The deepest shown window of this process under the screen point; null when none.
HWND WindowFromPoint(POINT point);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
// The screen's width and height in pixels; 0 for other indices.
int GetSystemMetrics(int index);

// ---- Finding windows -------------------------------------------------------------------

// Every top-level window of every live process of the device, this process's first (in
// z-order), then each other process's, until the callback answers FALSE.
BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter);
// The first top-level window with that class (ignoring case; null: any) and that title
// (exact; null: any).
HWND FindWindowW(LPCWSTR class_name, LPCWSTR title);

// ---- Activation, focus and capture -----------------------------------------------------
// Every thread has its own active window, focus window and capture; the device has one
// foreground window (of any of its processes). A window that loses activation gets
// WM_ACTIVATE (WA_INACTIVE, lParam the window gaining it) before the one gaining it gets
// WM_ACTIVATE (WA_ACTIVE, lParam the window losing it), also when they belong to different
// processes. All of these messages are sent: they have been handled when the call returns.

constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// Makes a top-level window of this process the active window of its thread (and the
// foreground window when that thread held it); the previously active window of that
// thread, or null (ERROR_INVALID_WINDOW_HANDLE when the window is none).
HWND SetActiveWindow(HWND window);
// The calling thread's active window.
HWND GetActiveWindow();
// Makes the window's top-level window the device's foreground window and the active window
// of its thread. FALSE with ERROR_INVALID_WINDOW_HANDLE for no window.
BOOL SetForegroundWindow(HWND window);

// Gives the keyboard focus to a window of this process (null: to none). WM_KILLFOCUS
// (wParam the window gaining it) goes to the window losing it, then WM_SETFOCUS (wParam the
// window losing it) to the one gaining it; the window's top-level window is activated
// first when it is not active. The previous focus window of that thread.
HWND SetFocus(HWND window);
// The calling thread's focus window.
HWND GetFocus();

// Stylus input goes to the capture window, even outside it, until ReleaseCapture. The
// window losing the capture gets WM_CAPTURECHANGED (lParam the new capture window, or
// null) before the call returns. SetCapture answers the previous capture window.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
// The calling thread's capture window.
HWND GetCapture();

// ---- Key state -------------------------------------------------------------------------

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F4 = 0x73;
// The key as the calling thread has taken its key messages so far (WM_KEYDOWN/UP,
// WM_SYSKEYDOWN/UP; the stylus as VK_LBUTTON): bit 15 set while down (the result is
// negative), bit 0 toggled by every press.
SHORT GetKeyState(int virtual_key);

// ---- Hot keys --------------------------------------------------------------------------
// A key with exactly these modifiers comes to the window as WM_HOTKEY (wParam the id,
// lParam MAKELPARAM(modifiers, vk)) whichever window is in front; held device-wide, so
// FALSE when another window holds it. The hardware buttons (0xC1-0xC6) come with MOD_WIN.

constexpr UINT MOD_ALT = 0x0001;
constexpr UINT MOD_CONTROL = 0x0002;
constexpr UINT MOD_SHIFT = 0x0004;
constexpr UINT MOD_WIN = 0x0008;
constexpr UINT MOD_KEYUP = 0x1000;
BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT vk);
BOOL UnregisterHotKey(HWND window, int id);
// Takes a key away from whoever holds it for the system (the shell), so that a program may
// register it. Reached by name through LoadLibraryW("coredll.dll") and GetProcAddressW;
// nothing holds keys for the system here, so it only answers TRUE.
BOOL UnregisterFunc1(UINT modifiers, UINT vk);
