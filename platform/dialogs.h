// Message boxes and the foreground window.
#pragma once

#include "platform/types.h"

// Buttons of a message box (the low four bits of its type).
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_TYPEMASK = 0xF;

// Icons and options.
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x0;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_DEFMASK = 0xF00;
constexpr UINT MB_ICONMASK = 0xF0;
constexpr UINT MB_APPLMODAL = 0x0;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr UINT MB_TOPMOST = 0x40000;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// A modal box on the device's screen, drawn by the native controls (native/), once the
// program has started them: the answer is the button the user chose. Without them, or when
// no screen can be reached, writes "caption: text" and a line end to the standard error
// stream (UTF-8) and answers with the first button of the box (IDOK for MB_OK).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

namespace platform {
// What shows MessageBoxW's box on the screen: the answer, or 0 when it could not show it.
using MessageBoxPresenter = int (*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// Installed by the native controls when they start; the previous presenter (null: none).
MessageBoxPresenter set_message_box_presenter(MessageBoxPresenter presenter);
// MessageBoxW(GetForegroundWindow(), text, caption, MB_OK), for a message that must reach the
// user from code that may run in a program without windows (a fatal error): only a program
// that started the native controls takes in the window system for it.
int show_error_box(LPCWSTR text, LPCWSTR caption);
}  // namespace platform

// The window last brought to the foreground with SetForegroundWindow (platform/windows.h),
// null when there is none or it was destroyed.
HWND GetForegroundWindow();
