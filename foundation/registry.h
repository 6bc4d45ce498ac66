#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace os {

// Registry keys are named by one path whose first component names the root key:
// "HKEY_CURRENT_USER\Software\XELO". The root names are exact and case-sensitive:
// "HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CURRENT_USER". On a path
// with any other first component every operation below fails.

// The subkey (the rest of the path after the root name and one separator); the root key
// through root, null when the path names no root (the subkey is then empty).
std::u16string split_registry_path(const std::u16string& path, HKEY& root);

// Create the key when it is missing and set a REG_SZ (with its terminator) or REG_DWORD value.
bool write_registry_string(const std::u16string& key_path, const std::u16string& value_name,
                           const std::u16string& text);
bool write_registry_dword(const std::u16string& key_path, const std::u16string& value_name, DWORD number);

// Reading creates the key when it is missing.
// True when a REG_SZ value was read (a value of at most one byte reads as the empty text);
// otherwise false and text unchanged.
bool read_registry_string(const std::u16string& key_path, const std::u16string& value_name, std::u16string& text);
// True when the key could be opened, whether or not the value was read. number is set only
// from a REG_DWORD value of exactly 4 bytes.
bool read_registry_dword(const std::u16string& key_path, const std::u16string& value_name, DWORD& number);

// The names of the key's subkeys in enumeration order; empty when the key cannot be opened.
std::vector<std::u16string> enum_registry_subkeys(const std::u16string& key_path);

}  // namespace os
