// The "STATIC" class: a text in the parent's client area, left-aligned, centred or
// right-aligned (SS_LEFT, SS_CENTER, SS_RIGHT), broken into lines between words, drawn in
// the font WM_SETFONT gives it (the system font until then) and again when its text changes.
#pragma once

#include "platform/windows.h"

namespace native {

constexpr DWORD SS_LEFT = 0x0;
constexpr DWORD SS_CENTER = 0x1;
constexpr DWORD SS_RIGHT = 0x2;
constexpr DWORD SS_ALIGNMASK = 0x3;
constexpr DWORD SS_NOPREFIX = 0x80;

constexpr LPCWSTR static_class_name = u"STATIC";

LRESULT static_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void register_static_class();

}  // namespace native
