// The shell's special folders.
#pragma once

#include "platform/types.h"

constexpr int CSIDL_PROGRAMS = 2;        // "\Windows\Start Menu\Programs"
constexpr int CSIDL_PERSONAL = 5;        // "\My Documents"
constexpr int CSIDL_STARTUP = 7;         // "\Windows\StartUp"
constexpr int CSIDL_STARTMENU = 11;      // "\Windows\Start Menu"
constexpr int CSIDL_WINDOWS = 36;        // "\Windows"
constexpr int CSIDL_PROGRAM_FILES = 38;  // "\Program Files"

// An item list names a shell folder. The lists handed out here are program-wide records:
// they are never freed.
struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// S_OK and the folder's item list, or E_INVALIDARG for an unknown folder id.
HRESULT SHGetSpecialFolderLocation(HWND owner, int csidl, LPITEMIDLIST* item_list);
// TRUE and the folder's device path in path (a buffer of MAX_PATH characters).
BOOL SHGetPathFromIDList(LPCITEMIDLIST item_list, LPWSTR path);
