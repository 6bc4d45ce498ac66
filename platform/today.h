// The start screen and its custom items. The start screen (tools/today_host) loads each item
// registered under HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Today\Items whose key names a
// library in "DLL", calls the library's item entry with the item's record and the start
// screen's window, and stacks the item windows it gets, top to bottom.
//
// An item library is a host shared library that runs on the start screen's own platform:
// it links the shared platform library (CMake: sonbrix_device_plugin) rather than a copy
// of its own, so that its windows are children of the start screen's window.
#pragma once

#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/types.h"
#include "platform/windows.h"

constexpr int MAX_ITEMNAME = 32;

enum TODAYLISTITEMTYPE : DWORD {
    tlitOwnerInfo = 0,
    tlitAppointments = 1,
    tlitMail = 2,
    tlitTasks = 3,
    tlitCustom = 4,
    tlitNil = 5,
};

// One item as the start screen keeps it. An item library reads fEnabled and hinstDLL and
// sets cyp (its height in pixels) when the start screen asks for it.
struct TODAYLISTITEM {
    WCHAR szName[MAX_ITEMNAME];  // the item's key name
    TODAYLISTITEMTYPE tlit;
    DWORD dwOrder;  // "Order" (0 when missing)
    DWORD cyp;
    BOOL fEnabled;  // "Enabled" (0 when missing)
    BOOL fOptions;  // "Options"
    DWORD grfFlags;  // "Flags"
    WCHAR szDLLPath[MAX_PATH];  // "DLL", a device path
    HINSTANCE hinstDLL;
    HWND hwndCustom;
    BOOL fSizeOnDraw;
    BYTE* prgbCachedData;
    DWORD cbCachedData;
};

// ---- The item library's exports ---------------------------------------------------------

// Makes the item's window as a child of parent (WS_CHILD | WS_VISIBLE) or answers null for no
// item; called on the start screen's thread each time the items are loaded.
using InitializeCustomItemEntry = HWND (*)(TODAYLISTITEM* item, HWND parent);
inline constexpr char16_t INITIALIZE_CUSTOM_ITEM_EXPORT[] = u"InitializeCustomItem";
// The library is about to be unloaded: it frees what it holds (its window class, its
// objects). Optional.
using CustomItemDetachEntry = void (*)();
inline constexpr char16_t CUSTOM_ITEM_DETACH_EXPORT[] = u"DllDetach";

// ---- Messages from the start screen to an item window ----------------------------------

// wParam the item's TODAYLISTITEM: forget what is cached; the item is about to go.
constexpr UINT WM_TODAYCUSTOM_CLEARCACHE = WM_USER + 242;
// wParam the item's TODAYLISTITEM: set cyp to the height wanted; answer TRUE when it changed.
// Asked when the item is loaded and again every few seconds.
constexpr UINT WM_TODAYCUSTOM_QUERYREFRESHCACHE = WM_USER + 243;

// ---- Messages from an item to the start screen (its parent) ----------------------------

// wParam one of the TODAYCOLOR_ values; answers the COLORREF.
constexpr UINT TODAYM_GETCOLOR = WM_USER + 100;
constexpr WPARAM TODAYCOLOR_TEXT = 0x10000004;
constexpr WPARAM TODAYCOLOR_HIGHLIGHT = 0x10000022;
constexpr WPARAM TODAYCOLOR_HIGHLIGHTEDTEXT = 0x10000023;

// lParam a TODAYDRAWWATERMARKINFO: draws the start screen's wallpaper behind rc of the item
// window hwnd (rc in that window's client coordinates) into hdc at rc. Answers TRUE.
constexpr UINT TODAYM_DRAWWATERMARK = WM_USER + 101;
struct TODAYDRAWWATERMARKINFO {
    HDC hdc;
    RECT rc;
    HWND hwnd;
};

// wParam of WM_WININICHANGE, posted to every top-level window: the start screen loads its
// items again.
constexpr WPARAM INI_TODAY_ITEMS_CHANGED = 0xF2;
