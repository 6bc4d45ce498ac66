// The program's resources (bitmaps, icons, raw data) found by id, and the shell's small
// system icons.
//
// Here the resources are files of the program, not part of its executable: a folder holds
// "resources.txt", which names each resource's kind, id and file, and the files. The folder
// is SONBRIX_RESOURCE_DIR when set, else the first of: "resources" beside the executable,
// this build's "data/resources", the installed "share/sonbrix/resources". Every instance
// handle names the program's resources (libraries have none of their own here). The files
// are untrusted: a damaged one fails the call that needs it, with a last error, and one
// line on standard error says what is wrong.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "platform/types.h"
#include "platform/windows.h"

constexpr DWORD ERROR_INVALID_DATA = 13;
constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;  // no resource folder or index
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// A resource id given where a name is expected.
inline LPCWSTR MAKEINTRESOURCEW(WORD id) {
    return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id));
}
inline bool IS_INTRESOURCE(LPCWSTR name) { return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0; }

// Resource kinds.
inline LPCWSTR const RT_BITMAP = MAKEINTRESOURCEW(2);
inline LPCWSTR const RT_ICON = MAKEINTRESOURCEW(3);
inline LPCWSTR const RT_RCDATA = MAKEINTRESOURCEW(10);
inline LPCWSTR const RT_GROUP_ICON = MAKEINTRESOURCEW(14);

// ---- Raw resources ---------------------------------------------------------------------

struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;

// Only ids are known (not names). Null with ERROR_RESOURCE_DATA_NOT_FOUND (no index),
// ERROR_RESOURCE_NAME_NOT_FOUND (no such id of that kind) or ERROR_INVALID_DATA (the file
// cannot be read).
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
// The resource's bytes stay loaded until the process ends.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);
DWORD SizeofResource(HMODULE module, HRSRC resource);

// ---- Bitmaps and icons -----------------------------------------------------------------
// A bitmap resource is a 32-bit top-down DIB section whose fourth byte is the picture's
// alpha (not premultiplied); an icon is drawn blended by its alpha.

// Null with the errors of FindResourceW, or ERROR_INVALID_DATA for a damaged picture.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
inline HBITMAP LoadBitmap(HINSTANCE instance, LPCWSTR name) { return LoadBitmapW(instance, name); }
// The icon at the system's icon size: 32 pixels at 96 dpi, 64 at 192 (small icons: half).
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
inline HICON LoadIcon(HINSTANCE instance, LPCWSTR name) { return LoadIconW(instance, name); }

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTCOLOR = 0x0;
constexpr UINT LR_DEFAULTSIZE = 0x40;
// A bitmap or an icon; an icon of width x height (0: the system's size), scaled from the
// nearest picture of the resource. Other kinds: null with ERROR_INVALID_PARAMETER.
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags);

BOOL DestroyIcon(HICON icon);

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;   // null: the colour bitmap's alpha is the mask
    HBITMAP hbmColor;  // a copy, owned by the caller
};
BOOL GetIconInfo(HICON icon, ICONINFO* info);

constexpr UINT DI_MASK = 0x1;
constexpr UINT DI_IMAGE = 0x2;
constexpr UINT DI_NORMAL = 0x3;
// Draws the icon blended onto the context at (x, y), at width x height (0: its own size).
// step and flicker_brush are ignored.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step,
                HBRUSH flicker_brush, UINT flags);
inline BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }

// ---- The shell's system icons ----------------------------------------------------------

struct SHFILEINFO {
    HICON hIcon;
    int iIcon;
    DWORD dwAttributes;
    WCHAR szDisplayName[260];
    WCHAR szTypeName[80];
};

constexpr UINT SHGFI_LARGEICON = 0x0;
constexpr UINT SHGFI_SMALLICON = 0x1;
constexpr UINT SHGFI_ICON = 0x100;
constexpr UINT SHGFI_SYSICONINDEX = 0x4000;

// The system's icons, by index.
constexpr int SYSTEM_ICON_DOCUMENT = 0;
constexpr int SYSTEM_ICON_FOLDER = 1;
constexpr int SYSTEM_ICON_PROGRAM = 2;
constexpr int SYSTEM_ICON_SOUND = 3;
constexpr int SYSTEM_ICON_PICTURE = 4;
constexpr int SYSTEM_ICON_UNKNOWN = 5;  // what a path that names nothing gets
constexpr int SYSTEM_ICON_BUTTON_FIRST = 6;
constexpr int SYSTEM_ICON_COUNT = 12;   // six hardware-button icons from 6 to 11

// The system-icon library: "\Windows\sysicons.dll,N" names system icon N (also negative
// N, counted from the end).
inline constexpr char16_t SYSTEM_ICON_LIBRARY[] = u"\\Windows\\sysicons.dll";

// With SHGFI_SYSICONINDEX: iIcon is the system icon of the device path: "LIBRARY,N" gives
// icon N of the system-icon library; a folder, a program (".exe"), a sound file or a
// picture its kind's icon; another existing file the document icon; anything else
// SYSTEM_ICON_UNKNOWN. SHGFI_ICON also makes hIcon (owned by the caller, DestroyIcon), small
// with SHGFI_SMALLICON. info_size must hold at least hIcon, iIcon and dwAttributes.
// Returns non-zero on success (with SHGFI_SYSICONINDEX the system image list's handle),
// 0 with ERROR_INVALID_PARAMETER for a null path or a short record.
ULONG_PTR SHGetFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFO* info, UINT info_size, UINT flags);
