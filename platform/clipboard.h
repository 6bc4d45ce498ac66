// The clipboard, shared by all processes of the device.
//
// One thread at a time, in any process of the device, has the clipboard open; only that
// thread reads, empties or fills it, and the data stays until the clipboard is emptied or a
// format is set again. A process that ends while it has the clipboard open gives it up.
#pragma once

#include "platform/memory.h"
#include "platform/types.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_RIFF = 11;
constexpr UINT CF_UNICODETEXT = 13;

constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

// Opens the clipboard for the calling thread; owner is kept but may be null. True again for
// the thread that has it open already (one CloseClipboard still closes it). False with
// ERROR_ACCESS_DENIED while another thread or process has it open.
BOOL OpenClipboard(HWND owner);
// Closes the clipboard; the blocks that GetClipboardData handed out are freed. False with
// ERROR_CLIPBOARD_NOT_OPEN when the calling thread does not have it open.
BOOL CloseClipboard();
// Removes the data of every format and frees the blocks handed out or taken over.
BOOL EmptyClipboard();

// The clipboard's block (a local memory block, LocalSize gives its size) of the format, or
// null when the clipboard holds none. The block belongs to the clipboard and is valid until
// the clipboard is closed or emptied or the format is set again; the caller must not free it.
HANDLE GetClipboardData(UINT format);
// Puts the bytes of a LocalAlloc block on the clipboard under the format, replacing what that
// format held. On success the clipboard owns the block (the caller must not free it or use it
// after the clipboard is closed) and the block is returned; on failure null, and the block
// stays the caller's: ERROR_CLIPBOARD_NOT_OPEN, ERROR_INVALID_PARAMETER for format 0 or a null
// block, ERROR_INVALID_HANDLE for a handle that is not a live local block, or the error met
// while storing.
HANDLE SetClipboardData(UINT format, HANDLE block);

// Whether the clipboard holds data of the format; needs no open clipboard.
BOOL IsClipboardFormatAvailable(UINT format);
