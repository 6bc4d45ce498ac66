#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/install_hooks.h"
#include "platform/messages.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "tests/support/child_process.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ChildProcess;

const char16_t* const item_key = u"SOFTWARE\\Microsoft\\Today\\Items\\Sonbrix";
constexpr UINT mark_message = WM_USER + 5;

// The setup library put on the device and loaded from there, as the installer does.
struct SetupLibrary {
    HMODULE module = nullptr;
    InstallInitHook install_init = nullptr;
    InstallExitHook install_exit = nullptr;
    UninstallInitHook uninstall_init = nullptr;
    UninstallExitHook uninstall_exit = nullptr;

    explicit SetupLibrary(const testing_support::TestDevice& device) {
        platform::host_path(u"\\");  // makes the device's folders
        std::filesystem::copy_file(SONBRIX_SETUP_LIBRARY, device.host_path("Windows/setup.dll"));
        module = LoadLibraryW(u"setup.dll");
        EXPECT_NE(module, nullptr);
        install_init = reinterpret_cast<InstallInitHook>(GetProcAddressW(module, u"Install_Init"));
        install_exit = reinterpret_cast<InstallExitHook>(GetProcAddressW(module, u"Install_Exit"));
        uninstall_init = reinterpret_cast<UninstallInitHook>(GetProcAddressW(module, u"Uninstall_Init"));
        uninstall_exit = reinterpret_cast<UninstallExitHook>(GetProcAddressW(module, u"Uninstall_Exit"));
    }
    ~SetupLibrary() {
        if (module) FreeLibrary(module);
    }
};

bool item_key_exists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, item_key, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The item's DWORD value, or -1 when the key or the value is missing.
long long item_dword(const char16_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, item_key, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG const read = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(value) : -1;
}

void make_item_key(DWORD enabled) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, item_key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, u"Enabled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enabled), sizeof enabled);
    DWORD const order = 7;
    RegSetValueExW(key, u"Order", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&order), sizeof order);
    RegCloseKey(key);
}

HWND handle_from(const std::string& ready_line) {
    EXPECT_EQ(ready_line.rfind("ready ", 0), 0u) << ready_line;
    return reinterpret_cast<HWND>(std::strtoull(ready_line.c_str() + 6, nullptr, 16));
}

// What reached another process's top-level window by the time a mark posted after the hook
// came back. The hook posts through the setup library's own link to that process, which can
// overtake the test's: when a notice is awaited, marks are posted again for a while.
std::vector<std::string> lines_after_hook(ChildProcess& window_process, HWND window, bool notice_awaited) {
    std::vector<std::string> lines;
    for (int marks = 0; marks < 250; ++marks) {
        EXPECT_TRUE(PostMessageW(window, mark_message, 0, 0));
        for (std::string line = window_process.read_line(); line != "mark" && !line.empty();
             line = window_process.read_line()) {
            lines.push_back(line);
        }
        if (!notice_awaited || !lines.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return lines;
}

enum class Hook { install_init, install_exit, uninstall_init, uninstall_exit };

struct HookCase {
    const char* name;
    Hook hook;
    bool key_before;
    bool key_after;
    long long enabled_after;
    long long order_after;
    bool broadcasts;
};

HookCase const hook_cases[] = {
    {"install init removes a leftover item", Hook::install_init, true, false, -1, -1, true},
    {"install init on a clean device", Hook::install_init, false, false, -1, -1, true},
    {"install exit makes the item", Hook::install_exit, false, true, 1, -1, true},
    {"install exit enables an existing item", Hook::install_exit, true, true, 1, 7, true},
    {"uninstall init removes the item", Hook::uninstall_init, true, false, -1, -1, true},
    {"uninstall init without an item", Hook::uninstall_init, false, false, -1, -1, true},
    {"uninstall exit leaves the registry", Hook::uninstall_exit, true, true, 0, 7, false},
};

int call(const SetupLibrary& library, Hook hook) {
    switch (hook) {
    case Hook::install_init: return library.install_init(nullptr, TRUE, FALSE, u"\\Program Files\\Sonbrix");
    case Hook::install_exit: return library.install_exit(nullptr, u"\\Program Files\\Sonbrix", 0, 0, 0, 0, 0);
    case Hook::uninstall_init: return library.uninstall_init(nullptr, u"\\Program Files\\Sonbrix");
    case Hook::uninstall_exit: return library.uninstall_exit(nullptr);
    }
    return -1;
}

using SetupHooksTest = testing_support::DeviceTest;

TEST_F(SetupHooksTest, EachHookLeavesTheItemKeyAndTellsTheStartScreen) {
    SetupLibrary library(device);
    ASSERT_NE(library.install_init, nullptr);
    ASSERT_NE(library.install_exit, nullptr);
    ASSERT_NE(library.uninstall_init, nullptr);
    ASSERT_NE(library.uninstall_exit, nullptr);
    ChildProcess start_screen({"window", "StartScreenProbe"});
    HWND const window = handle_from(start_screen.read_line());
    for (auto const& row : hook_cases) {
        SCOPED_TRACE(row.name);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, item_key);
        if (row.key_before) make_item_key(0);

        EXPECT_EQ(call(library, row.hook), 0);

        EXPECT_EQ(item_key_exists(), row.key_after);
        EXPECT_EQ(item_dword(u"Enabled"), row.enabled_after);
        EXPECT_EQ(item_dword(u"Order"), row.order_after);
        std::vector<std::string> const expected =
            row.broadcasts ? std::vector<std::string>{"wininichange 242 0"} : std::vector<std::string>{};
        EXPECT_EQ(lines_after_hook(start_screen, window, row.broadcasts), expected);
    }
    PostMessageW(window, WM_USER + 2, 0, 0);
    EXPECT_EQ(start_screen.wait_for_exit(), 0);
}

TEST_F(SetupHooksTest, UninstallExitRemovesTheFilesThatAreThereAndLeavesOthers) {
    SetupLibrary library(device);
    ASSERT_NE(library.uninstall_exit, nullptr);
    std::vector<std::string> const present = {"Windows/SonbrixTodayPlugin.dll", "Windows/XeloSonbrix_help.htm",
                                              "Windows/xelosbx2.jpg", "Windows/xelosbx4.jpg"};
    for (auto const& file : present) testing_support::write_host_file(device.host_path(file), "x");
    testing_support::write_host_file(device.host_path("Windows/other.jpg"), "kept");
    testing_support::write_host_file(device.host_path("My Documents/xelosbx1.jpg"), "kept");

    EXPECT_EQ(library.uninstall_exit(nullptr), 0);

    for (auto const& file : present) EXPECT_FALSE(testing_support::host_file_exists(device.host_path(file))) << file;
    EXPECT_TRUE(testing_support::host_file_exists(device.host_path("Windows/other.jpg")));
    EXPECT_TRUE(testing_support::host_file_exists(device.host_path("My Documents/xelosbx1.jpg")));
    EXPECT_EQ(library.uninstall_exit(nullptr), 0);  // nothing left to remove
}

TEST_F(SetupHooksTest, LibraryLoadingReportsWhatIsMissing) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(u"\\Windows\\absent.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    testing_support::write_host_file(device.host_path("Windows/text.dll"), "not a library");
    EXPECT_EQ(LoadLibraryW(u"text.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_BAD_EXE_FORMAT);
    SetupLibrary library(device);
    EXPECT_EQ(GetProcAddressW(library.module, u"DllMain"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddressW(library.module, u"update_today_item"), nullptr);
}

}  // namespace
