// The menu bar: a window of the program in the bottom bar of the screen, holding a row of
// toolbar buttons (text, an image of a strip, or both), separators and drop-down buttons
// that open a popup menu. A tap on an enabled button sends WM_COMMAND with its id to the
// bar's owner; a drop-down button first sends WM_INITMENUPOPUP (wParam its popup, lParam its
// command id), then tracks the popup above the bar and sends WM_COMMAND with the chosen id.
// The bar shows, hides and moves with its owner (while the owner is the active window) and
// is destroyed with it.
#pragma once

#include "platform/gdi.h"
#include "platform/menus.h"
#include "platform/types.h"
#include "platform/windows.h"

// Pointer-wide integers under the names the toolbar records use.
using DWORD_PTR = ULONG_PTR;
using INT_PTR = LONG_PTR;

struct SHMENUBARINFO {
    DWORD cbSize;       // at least 36 (the handheld's size of this record)
    HWND hwndParent;    // the owner
    DWORD dwFlags;
    UINT nToolBarId;    // the menu-bar resource (RT_RCDATA) that names the first buttons
    HINSTANCE hInstRes;
    int nBmpId;         // a bitmap resource of cBmpImages square images, or 0
    int cBmpImages;
    HWND hwndMB;        // receives the bar
    COLORREF clrBk;     // ignored (SHCMBF_COLORBK not supported)
};
using PSHMENUBARINFO = SHMENUBARINFO*;

constexpr DWORD SHCMBF_EMPTYBAR = 0x1;  // no resource: the bar starts empty

// Makes the bar at the bottom of the screen. FALSE with the last error: ERROR_INVALID_PARAMETER
// (no record, a short one, no owner window), the resource errors of FindResourceW, or
// ERROR_INVALID_DATA when the menu-bar resource is damaged.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// The bar's height: 26 pixels, 52 on screens 480 or 640 pixels wide.
int SHGetMenuBarHeight();

// ---- Toolbar buttons -------------------------------------------------------------------

constexpr int I_IMAGENONE = -2;

constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;
constexpr BYTE TBSTATE_INDETERMINATE = 0x10;

constexpr BYTE TBSTYLE_BUTTON = 0x00;
constexpr BYTE TBSTYLE_SEP = 0x01;
constexpr BYTE TBSTYLE_DROPDOWN = 0x08;
constexpr BYTE TBSTYLE_AUTOSIZE = 0x10;
constexpr BYTE BTNS_SHOWTEXT = 0x80;

struct TBBUTTON {
    int iBitmap;        // the image's index, or I_IMAGENONE
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    DWORD_PTR dwData;   // a drop-down button's popup menu (HMENU)
    INT_PTR iString;    // the text (LPCWSTR), or 0 / -1 for none
};
using LPTBBUTTON = TBBUTTON*;

constexpr DWORD TBIF_IMAGE = 0x01;
constexpr DWORD TBIF_TEXT = 0x02;
constexpr DWORD TBIF_STATE = 0x04;
constexpr DWORD TBIF_STYLE = 0x08;
constexpr DWORD TBIF_LPARAM = 0x10;
constexpr DWORD TBIF_COMMAND = 0x20;

struct TBBUTTONINFOW {
    UINT cbSize;
    DWORD dwMask;
    int idCommand;
    int iImage;
    BYTE fsState;
    BYTE fsStyle;
    WORD cx;
    DWORD_PTR lParam;   // the button's data (a drop-down button's popup)
    LPWSTR pszText;
    int cchText;
};
using LPTBBUTTONINFOW = TBBUTTONINFOW*;
using TBBUTTONINFO = TBBUTTONINFOW;

// Messages of the menu bar's toolbar (sent to hwndMB).
constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;      // wParam id, lParam enable: TRUE, FALSE for no such id
constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;   // wParam id
constexpr UINT TB_DELETEBUTTON = WM_USER + 22;     // wParam index: TRUE, FALSE when out of range
constexpr UINT TB_GETBUTTON = WM_USER + 23;        // wParam index, lParam TBBUTTON* (iString: 0)
constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;   // wParam id: the index, -1 for none
constexpr UINT TB_GETITEMRECT = WM_USER + 29;      // wParam index, lParam RECT* (client coordinates)
constexpr UINT TB_GETBUTTONINFOW = WM_USER + 63;   // wParam id, lParam TBBUTTONINFOW*: the index, -1
constexpr UINT TB_SETBUTTONINFOW = WM_USER + 64;   // wParam id, lParam TBBUTTONINFOW*: TRUE / FALSE
constexpr UINT TB_INSERTBUTTONW = WM_USER + 67;    // wParam index (past the end: appends), lParam TBBUTTON*
constexpr UINT TB_GETBUTTONINFO = TB_GETBUTTONINFOW;
constexpr UINT TB_SETBUTTONINFO = TB_SETBUTTONINFOW;
constexpr UINT TB_INSERTBUTTON = TB_INSERTBUTTONW;

// Takes over a hardware key for the bar's owner: wParam the key (VK_ESCAPE is the Back
// key), lParam MAKELPARAM(mask, value) of the SHMBOF_ flags. Answers TRUE; the setting is kept.
constexpr UINT SHCMBM_OVERRIDEKEY = WM_USER + 403;
constexpr UINT SHMBOF_NODEFAULT = 0x1;
constexpr UINT SHMBOF_NOTIFY = 0x2;

// Adds count images of width x height from the bitmap resource (a strip, images side by
// side) to the bar: the index of the first, -1 on failure (no bar, no such bitmap, a strip
// narrower than count images).
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmap_id, int count, int width, int height);
