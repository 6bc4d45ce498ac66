// Code-page conversions and case mapping of the platform. The system code page
// (CP_ACP) is Windows-1252: one byte is one character.
#pragma once

#include "platform/types.h"

using LPBOOL = BOOL*;

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_PRECOMPOSED = 0x1;
// Base letter followed by a combining mark is written as the precomposed character.
constexpr DWORD WC_COMPOSITECHECK = 0x200;

// A source length of -1 means zero-terminated, the terminator included in the result.
// A destination size of 0 returns the size needed without writing; a destination that is
// too small fails with ERROR_INSUFFICIENT_BUFFER. Results count characters (0 = failure).
int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR source, int source_length,
                        LPWSTR destination, int destination_size);
// Characters the code page lacks become the default character ("?" unless given) and set
// *used_default when asked. For CP_UTF8 both default arguments must be null.
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR source, int source_length,
                        LPSTR destination, int destination_size, LPCSTR default_char,
                        LPBOOL used_default);

// In place over length characters; return the length.
DWORD CharLowerBuffW(LPWSTR text, DWORD length);
DWORD CharUpperBuffW(LPWSTR text, DWORD length);
// A zero-terminated text in place, returned; or, when the pointer's upper bits are zero,
// one character passed in the pointer's value and returned mapped the same way.
LPWSTR CharLowerW(LPWSTR text);
LPWSTR CharUpperW(LPWSTR text);
