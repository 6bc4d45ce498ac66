// Shared memory: blocks backed by the paging file, named so that the device's processes
// share them. A block is released (and its contents lost) when its last handle is closed
// and its last view unmapped, in whichever process that happens.
#pragma once

#include "platform/handles.h"
#include "platform/types.h"

constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;

constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0x000F001F;

// Only blocks of the paging file are offered: file must be INVALID_HANDLE_VALUE (else
// ERROR_NOT_SUPPORTED). protection is PAGE_READWRITE or PAGE_READONLY; the size (size_high
// must be 0) is not 0. A name that a live handle or view of the device already uses opens
// that block, whatever size is asked for, with the last error ERROR_ALREADY_EXISTS;
// otherwise the block is made afresh, zero-filled, and the last error is 0. A block that
// a process left behind when it died is not reused: with no live user it is made afresh.
// Without a name the block belongs to this process alone.
HANDLE CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protection, DWORD size_high,
                          DWORD size_low, LPCWSTR name);
// The block's bytes from the offset (offset_high must be 0), bytes long (0: to the block's
// end); null with the last error for no mapping handle (ERROR_INVALID_HANDLE), a range
// outside the block (ERROR_INVALID_PARAMETER) or FILE_MAP_WRITE on a read-only block
// (ERROR_ACCESS_DENIED). A view keeps its block alive after the mapping handle is closed.
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offset_high, DWORD offset_low, SIZE_T bytes);
// address must be a value that MapViewOfFile returned (else FALSE, ERROR_INVALID_PARAMETER).
BOOL UnmapViewOfFile(LPCVOID address);

// FALSE when the size bytes from the address can be read (written) now. Within a view of a
// shared block that means the block still holds them: another process may have cut the
// block's storage short, and touching what is gone would end this process. Other addresses
// are taken to be usable.
BOOL IsBadReadPtr(const void* address, UINT_PTR size);
BOOL IsBadWritePtr(LPVOID address, UINT_PTR size);
