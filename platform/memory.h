// Local memory blocks: the memory that the clipboard takes and hands out.
#pragma once

#include "platform/types.h"

using HLOCAL = HANDLE;

constexpr UINT LMEM_FIXED = 0x0000;
// On the handheld a moveable block never moves: its handle is the address of its bytes, as
// for a fixed block, and may be used as such without locking.
constexpr UINT LMEM_MOVEABLE = 0x0002;
constexpr UINT LMEM_ZEROINIT = 0x0040;
constexpr UINT LHND = LMEM_MOVEABLE | LMEM_ZEROINIT;
constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// The largest block: more than the handheld's address space could ever hold.
constexpr SIZE_T LOCAL_MEMORY_MAX_BLOCK = 0x7FFFFFFF;

// A block of bytes bytes (0 allowed), zeroed with LMEM_ZEROINIT, else of unspecified content.
// Null with ERROR_INVALID_PARAMETER for other flags, with ERROR_NOT_ENOUGH_MEMORY for a
// block larger than LOCAL_MEMORY_MAX_BLOCK or when the memory runs out.
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
// The size asked for when the block was made; 0 with ERROR_INVALID_HANDLE for a handle that
// is not a live block.
SIZE_T LocalSize(HLOCAL block);
// Null when the block was freed (or block is null); the handle itself, with
// ERROR_INVALID_HANDLE, for a handle that is not a live block.
HLOCAL LocalFree(HLOCAL block);
