// Popup menus: made and filled by the program, shown by TrackPopupMenuEx on the device's
// screen, where the stylus or the keys choose an item.
#pragma once

#include "platform/windows.h"

// Item flags (AppendMenuW).
constexpr UINT MF_STRING = 0x0;
constexpr UINT MF_ENABLED = 0x0;
constexpr UINT MF_GRAYED = 0x1;
constexpr UINT MF_DISABLED = 0x2;
constexpr UINT MF_CHECKED = 0x8;
constexpr UINT MF_POPUP = 0x10;
constexpr UINT MF_SEPARATOR = 0x800;
// How DeleteMenu names the item.
constexpr UINT MF_BYCOMMAND = 0x0;
constexpr UINT MF_BYPOSITION = 0x400;

// TrackPopupMenuEx flags: where (x, y) is on the menu, and what the choice gives.
constexpr UINT TPM_LEFTALIGN = 0x0;
constexpr UINT TPM_CENTERALIGN = 0x4;
constexpr UINT TPM_RIGHTALIGN = 0x8;
constexpr UINT TPM_TOPALIGN = 0x0;
constexpr UINT TPM_VCENTERALIGN = 0x10;
constexpr UINT TPM_BOTTOMALIGN = 0x20;
constexpr UINT TPM_RETURNCMD = 0x100;

// DeleteMenu: no such item.
constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
};
using LPTPMPARAMS = TPMPARAMS*;

// An empty popup menu; null when no more can be made.
HMENU CreatePopupMenu();
// Appends an item: a command (id), a submenu (MF_POPUP, id is the submenu's HMENU) or a
// separator. A "\t" in the text starts the shortcut text, drawn right-aligned. FALSE with
// ERROR_INVALID_HANDLE for a handle that is no menu.
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text);
// Removes the item (by command id or by position) and destroys its submenu; FALSE when
// there is no such item.
BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);
// Destroys the menu and its submenus.
BOOL DestroyMenu(HMENU menu);
// Shows the menu at (x, y) in screen coordinates, kept on the screen, and runs its own
// message loop (timers, paints and sends of other windows keep flowing) until an item is
// chosen or the menu is dismissed (a tap outside it, Escape). With TPM_RETURNCMD the answer
// is the chosen id, 0 when dismissed; otherwise the owner gets WM_COMMAND with the id and
// the answer is TRUE.
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params);
