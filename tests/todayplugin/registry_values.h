// Values the tests put into the device's registry under HKEY_LOCAL_MACHINE, as an
// installation would.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"

namespace todayplugin_test {

inline void set_value(const std::u16string& key_path, const char16_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void set_text(const std::u16string& key_path, const char16_t* name, const std::u16string& text) {
    set_value(key_path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

inline void set_dword(const std::u16string& key_path, const char16_t* name, DWORD value) {
    set_value(key_path, name, REG_DWORD, &value, sizeof value);
}

inline bool key_exists(const std::u16string& key_path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The start-screen item that loads the plug-in library from the Windows folder.
constexpr char16_t item_key[] = u"SOFTWARE\\Microsoft\\Today\\Items\\Sonbrix";
constexpr char16_t program_key[] = u"SOFTWARE\\APPS\\XELO Sonbrix";

inline void register_item() {
    set_text(item_key, u"DLL", u"\\Windows\\SonbrixTodayPlugin.dll");
    set_dword(item_key, u"Enabled", 1);
}

}  // namespace todayplugin_test
