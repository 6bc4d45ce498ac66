// The platform's image decompressor: GIF, BMP and JPEG pictures, read through a callback,
// turned into a bitmap at a requested depth.
#pragma once

#include "platform/gdi.h"
#include "platform/types.h"

// Fills the buffer with up to buffer_max bytes of the picture; returns how many, 0 at its end.
using GETDATAFUNC = DWORD (*)(LPSTR buffer, DWORD buffer_max, LPARAM param);
// Reports progress; this decompressor never calls it.
using PROGRESSFUNC = void (*)(void* render, BOOL complete, LPARAM param);

struct DecompressImageInfo {
    DWORD dwSize;               // sizeof (DecompressImageInfo)
    BYTE* pbBuffer;             // the caller's read buffer, handed to pfnGetData
    DWORD dwBufferMax;          // its size
    DWORD dwBufferCurrent;      // unused
    HBITMAP* phBM;              // receives the bitmap, owned by the caller
    void** ppImageRender;       // unused, may be null
    int iBitDepth;              // 16, 24 or 32 bits per pixel of the bitmap made
    LPARAM lParam;              // passed to the callbacks
    HDC hdc;                    // the context the bitmap is made for
    int iScale;                 // percent; only 100 is supported
    int iMaxWidth;              // pictures wider or taller than these are refused
    int iMaxHeight;
    GETDATAFUNC pfnGetData;
    PROGRESSFUNC pfnImageProgress;
    DWORD crTransparentOverride;  // unused
};

// Decodes the picture (the first frame of an animated GIF) into a new top-down DIB section of
// the requested depth at *phBM. S_OK on success; a failure code, and a null *phBM, when the
// picture is not a GIF, BMP or JPEG, is damaged, larger than the maximum, or the request is
// not supported.
HRESULT DecompressImageIndirect(DecompressImageInfo* info);
