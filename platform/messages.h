// Message queues, window procedures and the message numbers the program uses.
// Every thread gets its own strictly first-in-first-out queue at its first
// PeekMessageW or GetMessageW (or when it creates a window).
#pragma once

#include "platform/types.h"

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;  // tick count when the message was taken from the queue
    POINT pt;
};
using LPMSG = MSG*;

using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// ---- Message numbers ------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_WININICHANGE = 0x001A;
constexpr UINT WM_SETTINGCHANGE = WM_WININICHANGE;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETFONT = 0x0030;  // wParam the font, lParam TRUE to repaint
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_IME_COMPOSITION = 0x010F;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_USER = 0x0400;

// Payload of WM_COPYDATA (lParam). Between processes the bytes are copied; the receiver's
// lpData is valid only while it handles the message.
struct COPYDATASTRUCT {
    ULONG_PTR dwData;
    DWORD cbData;
    LPVOID lpData;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;

// ---- MsgWaitForMultipleObjects ----------------------------------------------------------

constexpr UINT QS_KEY = 0x0001;
constexpr UINT QS_MOUSEMOVE = 0x0002;
constexpr UINT QS_MOUSEBUTTON = 0x0004;
constexpr UINT QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
constexpr UINT QS_INPUT = QS_MOUSE | QS_KEY;
constexpr UINT QS_POSTMESSAGE = 0x0008;
constexpr UINT QS_TIMER = 0x0010;
constexpr UINT QS_PAINT = 0x0020;
constexpr UINT QS_SENDMESSAGE = 0x0040;
constexpr UINT QS_HOTKEY = 0x0080;
constexpr UINT QS_ALLPOSTMESSAGE = 0x0100;
constexpr UINT QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY;
constexpr UINT QS_ALLINPUT = QS_ALLEVENTS | QS_SENDMESSAGE;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// Waits until one of the kernel objects is signalled (WAIT_OBJECT_0 + its index, or
// WAIT_ABANDONED + its index for an abandoned mutex, which the caller then holds), or
// until the calling thread's queue holds a message of the kinds in wake_mask
// (WAIT_OBJECT_0 + count; the caller retrieves it, which also runs waiting sent messages),
// or until the time-out (WAIT_TIMEOUT). wait_all must be FALSE (else WAIT_FAILED,
// ERROR_INVALID_PARAMETER); an unknown handle fails with ERROR_INVALID_HANDLE. Messages
// already waiting when it is called wake it at once.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout_ms,
                                DWORD wake_mask);

// ---- PeekMessageW ----------------------------------------------------------------------

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Every top-level window of every process of the device (PostMessageW, SendMessageW).
inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));

// ---- Retrieval -------------------------------------------------------------------------
//
// Filters: window null takes every message of the thread, a window takes that window's and
// its children's messages, (HWND)-1 only thread messages; the range first..last (both 0:
// all) limits the message numbers. Messages outside the filter stay queued in order.
// WM_QUIT passes every filter. While a thread waits here (or in SendMessageW) it runs the
// messages that other threads and processes send to its windows.
// Order: sent messages (run, not returned), posted messages, input (stylus and keys, as
// the screen delivers them; a mouse move right behind another one for the same window
// replaces it), WM_QUIT of PostQuitMessage, WM_PAINT for a shown window whose update region
// is not empty (made at retrieval, never queued: see platform/windows.h), then WM_TIMER of a
// due window timer.

// 0 for WM_QUIT, -1 with a last error for a window filter that is no window, else 1.
BOOL GetMessageW(LPMSG message, HWND window, UINT first, UINT last);
// TRUE when a message was found; PM_REMOVE takes it out of the queue.
BOOL PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT remove);
// Keys come with the skin framework; until then it translates nothing (FALSE).
BOOL TranslateMessage(const MSG* message);
// Calls the window procedure of the message's window (a WM_TIMER with a timer procedure in
// lParam calls that instead); the procedure's result, 0 for a message without a window.
LRESULT DispatchMessageW(const MSG* message);

// ---- Sending and posting ---------------------------------------------------------------

// Queues the message for the window's thread; works for any thread and for windows of the
// device's other processes. FALSE with ERROR_INVALID_WINDOW_HANDLE for no window.
BOOL PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// FALSE with ERROR_INVALID_THREAD_ID when the thread has no message queue (yet).
BOOL PostThreadMessageW(DWORD thread_id, UINT message, WPARAM wparam, LPARAM lparam);
// The calling thread's loop ends: WM_QUIT with the exit code in wParam is returned once
// no posted message matches the filter.
void PostQuitMessage(int exit_code);
// On the window's own thread a direct call of its procedure; otherwise the caller waits
// until the window's thread (in this or another process) has run the procedure, and
// serves messages sent to its own windows meanwhile. 0 when there is no such window. A
// window of another process that has not answered after 30 s is given up: 0 with the last
// error ERROR_TIMEOUT (a hung program must not hang its senders).
LRESULT SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
