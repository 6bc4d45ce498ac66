// The registry: a tree of keys per root, each key holding named, typed values.
// Key and value names are compared without regard to case and keep the case they were
// created with. The registry is kept on the device and shared by all its processes.
// Every function returns its error code (ERROR_SUCCESS on success); none sets the last error.
#pragma once

#include <cstdint>

#include "platform/types.h"

using REGSAM = DWORD;
using PHKEY = HKEY*;
using PFILETIME = FILETIME*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000u});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001u});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002u});
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t{0x80000003u});

// Value types. The registry keeps the exact bytes of a value whatever its type.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;

// Access rights: accepted, not enforced.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Key options: accepted; every key is kept.
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;

// Dispositions reported by RegCreateKeyExW.
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Longest key name, in UTF-16 units.
constexpr DWORD MAX_REGISTRY_KEY_NAME = 255;

// Subkey paths separate key names by '\'. A null or empty subkey names the key itself.
// An operation on a key that was deleted after it was opened (by this or another process)
// fails with ERROR_KEY_DELETED.

// Opens the subkey, creating it and any missing key on its way (ERROR_INVALID_PARAMETER for a
// key name longer than MAX_REGISTRY_KEY_NAME). The disposition, when asked for, tells whether
// the key was new. The class, options, access and security are accepted and not used.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subkey, DWORD reserved, LPWSTR key_class, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
// Opens an existing subkey; ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subkey, DWORD options, REGSAM access, PHKEY result);
// Closing one of the four roots does nothing and succeeds.
LONG RegCloseKey(HKEY key);

// Reads a value; a null or empty name is the key's default value. With data null only the
// type and size are reported. When the buffer (size in bytes in *data_size) is too small,
// returns ERROR_MORE_DATA with the needed size in *data_size and the type filled in, and
// leaves the buffer alone. ERROR_FILE_NOT_FOUND when the value does not exist.
LONG RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD data_size);
// Creates or replaces a value with size bytes of data of any type.
LONG RegSetValueExW(HKEY key, LPCWSTR value_name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueW(HKEY key, LPCWSTR value_name);

// The name of the subkey at index, in the order in which the subkeys were created.
// *name_length: the buffer's room in characters (terminator included) on entry, the name's
// length on return. ERROR_MORE_DATA when the name and its terminator do not fit (nothing
// is changed then); ERROR_NO_MORE_ITEMS past the last subkey. Keys have no class: a class
// buffer receives the empty text. The last-write time is that of the whole root's store.
LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_length, LPDWORD reserved, LPWSTR key_class,
                   LPDWORD class_length, PFILETIME last_write_time);

// Deletes the subkey with all its subkeys and values. An empty subkey deletes the key itself;
// a root cannot be deleted (ERROR_ACCESS_DENIED).
LONG RegDeleteKeyW(HKEY key, LPCWSTR subkey);
