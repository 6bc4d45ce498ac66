// Attributes of files and folders on the device, as directory searches report them and
// SetFileAttributesW / GetFileAttributesW take and give them.
#pragma once

#include "platform/files.h"  // FILE_ATTRIBUTE_NORMAL
#include "platform/types.h"

// Set when the owner may not write the entry (the host's owner write permission). A
// read-only file cannot be deleted and a read-only folder cannot be removed.
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
// With FILE_ATTRIBUTE_DIRECTORY: a storage card, seen as a folder of the device's root.
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x100;
// FILE_ATTRIBUTE_NORMAL (platform/files.h) stands alone for a file with no other attribute.

constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
