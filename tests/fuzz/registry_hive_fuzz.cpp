// Any text stored as a registry root: every key and value is read, then a change is stored,
// which must keep a copy of what could not be read and read back whole.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/registry.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// Reads a value by the name "Kept" and walks every key below, to a bounded number of keys.
void walk(HKEY key, int& budget) {
    BYTE value[512];
    DWORD value_size = sizeof value;
    DWORD type = 0;
    RegQueryValueExW(key, u"Kept", nullptr, &type, value, &value_size);
    for (DWORD index = 0; budget > 0; ++index) {
        char16_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        --budget;
        HKEY subkey = nullptr;
        if (RegOpenKeyExW(key, name, 0, 0, &subkey) != ERROR_SUCCESS) continue;
        walk(subkey, budget);
        RegCloseKey(subkey);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::filesystem::path const folder = platform::device_folder() + "/registry";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    {
        std::ofstream out(folder / "HKEY_CURRENT_USER.hive", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    int budget = 2000;
    walk(HKEY_CURRENT_USER, budget);

    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Fuzz", 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 0;
    DWORD const value = 0x12345678;
    LONG const stored = RegSetValueExW(key, u"Stored", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
    if (stored != ERROR_SUCCESS) return 0;
    // The stored change reads back, also from the file as another process would find it.
    std::filesystem::path const hive = folder / "HKEY_CURRENT_USER.hive";
    std::filesystem::copy_file(hive, folder / "copy", ignored);
    std::filesystem::rename(folder / "copy", hive, ignored);
    DWORD read = 0;
    DWORD read_size = 4;
    DWORD type = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Fuzz", 0, 0, &key) != ERROR_SUCCESS) std::abort();
    if (RegQueryValueExW(key, u"Stored", nullptr, &type, reinterpret_cast<BYTE*>(&read), &read_size) != ERROR_SUCCESS ||
        read != value)
        std::abort();
    RegCloseKey(key);
    return 0;
}
