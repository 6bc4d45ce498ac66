#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/today.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"
#include "tools/today_host/wallpaper_colour.h"

namespace {

using testing_support::ChildProcess;
using testing_support::eventually;

// What the test item library paints (tests/today_host/test_item/item.cpp).
constexpr int border = 4;
constexpr int bar = 4;
constexpr std::uint32_t opaque = 0xFF000000u;

std::u16string item_key(const std::u16string& name) { return u"SOFTWARE\\Microsoft\\Today\\Items\\" + name; }

void set_dword(const std::u16string& key_path, const char16_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void set_text(const std::u16string& key_path, const char16_t* name, const std::u16string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
}

// -1 when the value is missing.
long long item_count(const std::u16string& name, const char16_t* value_name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, item_key(name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG const read = RegQueryValueExW(key, value_name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? static_cast<long long>(value) : -1;
}

struct Item {
    std::u16string name;
    std::u16string library;  // empty: no "DLL" value
    DWORD order = 0;
    DWORD height = 40;
    DWORD colour = 0x804020;
    DWORD enabled = 1;
};

class TodayHostTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        platform::host_path(u"\\");  // makes the device's folders
        install(SONBRIX_TEST_ITEM, "a.dll");
        install(SONBRIX_TEST_ITEM, "b.dll");
    }

    void TearDown() override {
        if (host_) {
            quit_host();
            host_->wait_for_exit();
        }
    }

    void install(const std::string& library, const std::string& device_name) {
        std::filesystem::copy_file(library, device.host_path("Windows/" + device_name),
                                   std::filesystem::copy_options::overwrite_existing);
    }

    void add(const Item& item) {
        std::u16string const key = item_key(item.name);
        if (!item.library.empty()) set_text(key, u"DLL", item.library);
        set_dword(key, u"Order", item.order);
        set_dword(key, u"Enabled", item.enabled);
        set_dword(key, u"TestHeight", item.height);
        set_dword(key, u"TestColour", item.colour);
    }

    std::string log_path() const { return device.folder() + "/host.log"; }
    std::string log() const { return testing_support::read_host_file(log_path()); }

    void start_host(std::vector<std::string> arguments = {"--text-colour", "102030"}) {
        arguments.insert(arguments.end(), {"--log", log_path()});
        host_ = std::make_unique<ChildProcess>(SONBRIX_TODAY_HOST, arguments);
        ASSERT_TRUE(eventually([&] { return host_window() != nullptr; })) << log();
        ASSERT_TRUE(screen.wait_idle());
    }

    int quit_host() {
        ChildProcess quit(SONBRIX_TODAY_HOST, {"--quit"});
        return quit.wait_for_exit();
    }

    const platform::screen::ScreenWindow* host_window() {
        windows_ = screen.windows();
        for (auto const& window : windows_) {
            if (window.class_name == "TodayScreen") return &window;
        }
        return nullptr;
    }

    // The host's client area on the screen, and the colour a pixel has there.
    platform::screen::ScreenRect host_rect() {
        auto const* window = host_window();
        return window ? window->rect : platform::screen::ScreenRect{};
    }
    std::uint32_t wallpaper_at(int x, int y) {
        auto const rect = host_rect();
        return opaque | today_host::wallpaper_colour(x, y, rect.right - rect.left, rect.bottom - rect.top);
    }
    // The pixel at (x, y) of the host's client area.
    std::uint32_t pixel_now(int x, int y) {
        screen.wait_idle();
        auto const rect = host_rect();
        auto const picture = screen.screenshot();
        return picture.at(rect.left + x, rect.top + y);
    }
    // The pixel once it has become the expected one (the host and its items paint in their own
    // time), or as it still is when it does not.
    std::uint32_t pixel(int x, int y, std::uint32_t expected) {
        std::uint32_t seen = 0;
        eventually([&] { return (seen = pixel_now(x, y)) == expected; });
        return seen;
    }
    void expect_pixel(int x, int y, std::uint32_t expected) {
        EXPECT_EQ(pixel(x, y, expected), expected) << "at " << x << ", " << y;
    }

    testing_support::TestScreen screen;
    std::unique_ptr<ChildProcess> host_;
    std::vector<platform::screen::ScreenWindow> windows_;
};

TEST_F(TodayHostTest, RegisteredItemsAreStackedInTheirOrderOnTheWallpaper) {
    add({u"Second", u"\\Windows\\b.dll", 2, 30, 0xC02020});
    add({u"First", u"%windows%\\a.dll", 1, 40, 0x2040C0});
    add({u"NoLibrary", u"", 0});
    add({u"Off", u"\\Windows\\a.dll", 3, 40, 0x20C020, 0});
    start_host();

    // First: wallpaper border, the text colour answered, its body; Second right below it.
    expect_pixel(1, 1, wallpaper_at(1, 1));
    expect_pixel(120, 38, wallpaper_at(120, 38));
    expect_pixel(20, border + 1, opaque | 0x102030);
    expect_pixel(20, border + bar + 10, opaque | 0x2040C0);
    expect_pixel(20, 40 + border + bar + 5, opaque | 0xC02020);
    // Below the items the wallpaper; neither the disabled item nor the key without a library shows.
    expect_pixel(20, 75, wallpaper_at(20, 75));
    expect_pixel(200, 300, wallpaper_at(200, 300));

    EXPECT_EQ(item_count(u"First", u"Entered"), 1);
    EXPECT_EQ(item_count(u"Second", u"Entered"), 1);
    EXPECT_EQ(item_count(u"Off", u"Entered"), -1) << "a disabled item makes nothing";
    std::string const trace = log();
    EXPECT_NE(trace.find("skip NoLibrary: no library path"), std::string::npos) << trace;
    EXPECT_NE(trace.find("skip Off: disabled"), std::string::npos) << trace;
    EXPECT_NE(trace.find("recv WM_USER+100 wParam=0x10000004"), std::string::npos) << trace;
    EXPECT_NE(trace.find("recv WM_USER+101"), std::string::npos) << trace;
    EXPECT_NE(trace.find("send WM_USER+243"), std::string::npos) << trace;
}

TEST_F(TodayHostTest, TheTextColourComesFromTheOptionElseTheRegistryElseTheHouseColour) {
    struct Case {
        std::vector<std::string> arguments;
        long long registered;  // COLORREF under ...\Today "TextColor"; -1: none
        std::uint32_t expected;
    };
    Case const cases[] = {
        {{"--text-colour", "A0B0C0"}, 0x112233, 0xA0B0C0},
        {{}, 0x00332211, 0x112233},  // a COLORREF holds blue in its high byte
        {{}, -1, 0xE8ECF1},
    };
    add({u"First", u"\\Windows\\a.dll", 1});
    for (auto const& test : cases) {
        HKEY today = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Today", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &today,
                        nullptr);
        RegDeleteValueW(today, u"TextColor");
        RegCloseKey(today);
        if (test.registered >= 0) set_dword(u"SOFTWARE\\Microsoft\\Today", u"TextColor", static_cast<DWORD>(test.registered));
        start_host(test.arguments);
        expect_pixel(20, border + 1, opaque | test.expected);
        EXPECT_EQ(quit_host(), 0);
        EXPECT_EQ(host_->wait_for_exit(), 0);
        host_.reset();
    }
}

TEST_F(TodayHostTest, TheBroadcastReloadsEveryItemFromItsLibraryAndTheRegistry) {
    add({u"First", u"\\Windows\\a.dll", 1, 40, 0x2040C0});
    add({u"SameLibrary", u"\\Windows\\a.dll", 2, 10, 0x808080});
    start_host();
    expect_pixel(20, 20, opaque | 0x2040C0);

    set_dword(item_key(u"First"), u"TestColour", 0x20A040);
    set_dword(item_key(u"SameLibrary"), u"Enabled", 0);
    add({u"Added", u"\\Windows\\b.dll", 3, 30, 0xC02020});
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, WM_WININICHANGE, INI_TODAY_ITEMS_CHANGED, 0));

    ASSERT_TRUE(eventually([] { return item_count(u"Added", u"Entered") == 1; })) << log();
    EXPECT_EQ(item_count(u"First", u"Entered"), 2);
    EXPECT_EQ(item_count(u"First", u"Detached"), 1);
    EXPECT_EQ(item_count(u"Added", u"Detached"), -1);
    expect_pixel(20, 20, opaque | 0x20A040);
    expect_pixel(20, 40 + 20, opaque | 0xC02020);
    // In order: the item is told, its window goes, its library is detached and unloaded, and
    // loaded again.
    std::string const trace = log();
    std::vector<std::string> const steps = {"recv WM_WININICHANGE wParam=0xF2", "send WM_USER+242", "detach \\Windows\\a.dll",
                                            "unload \\Windows\\a.dll", "load \\Windows\\a.dll"};
    std::size_t at = 0;
    for (auto const& step : steps) {
        at = trace.find(step, at);
        ASSERT_NE(at, std::string::npos) << step << " in\n" << trace;
    }
    auto const detach = trace.find("detach \\Windows\\a.dll");
    EXPECT_EQ(trace.find("detach \\Windows\\a.dll", detach + 1), std::string::npos)
        << "the library of two items is detached once, when both have gone";
}

TEST_F(TodayHostTest, QuittingUnloadsTheItemsAndASecondStartLeavesTheFirst) {
    add({u"First", u"\\Windows\\a.dll", 1});
    start_host();
    ChildProcess second(SONBRIX_TODAY_HOST, {});
    EXPECT_EQ(second.wait_for_exit(), 0);
    EXPECT_EQ(item_count(u"First", u"Entered"), 1);

    EXPECT_EQ(quit_host(), 0);
    EXPECT_EQ(host_->wait_for_exit(), 0);
    host_.reset();
    EXPECT_EQ(item_count(u"First", u"Detached"), 1);
    std::string const trace = log();
    EXPECT_NE(trace.find("recv WM_CLOSE"), std::string::npos) << trace;
    EXPECT_NE(trace.find("send WM_USER+242"), std::string::npos) << trace;
    EXPECT_NE(trace.find("unload \\Windows\\a.dll"), std::string::npos) << trace;
    EXPECT_EQ(quit_host(), 1) << "no start screen runs";
}

TEST_F(TodayHostTest, ABrokenItemIsSkippedWithOneLineAndTheOthersShow) {
    install(SONBRIX_TEST_ITEM_WITHOUT_ENTRY, "noentry.dll");
    testing_support::write_host_file(device.host_path("Windows/text.dll"), "not a library");
    struct Broken {
        Item item;
        std::string line;
    };
    Broken const broken[] = {
        {{u"Missing", u"\\Windows\\missing.dll", 1}, "skip Missing: the library is missing"},
        {{u"NotALibrary", u"\\Windows\\text.dll", 2}, "skip NotALibrary: the library does not load"},
        {{u"NoEntry", u"\\Windows\\noentry.dll", 3}, "skip NoEntry: the library has no entry InitializeCustomItem"},
        {{u"NoWindow", u"\\Windows\\a.dll", 4}, "skip NoWindow: no window"},
        {{u"TooTall", u"\\Windows\\b.dll", 5, 100000}, "skip TooTall: it asks for a height of 100000 pixels"},
    };
    for (auto const& each : broken) add(each.item);
    set_dword(item_key(u"NoWindow"), u"TestNoWindow", 1);
    add({u"Good", u"\\Windows\\a.dll", 9, 40, 0x2040C0});
    start_host();

    expect_pixel(20, border + bar + 10, opaque | 0x2040C0);
    expect_pixel(20, 60, wallpaper_at(20, 60));
    std::string const trace = log();
    for (auto const& each : broken) {
        auto const first = trace.find(each.line);
        EXPECT_NE(first, std::string::npos) << each.line << " in\n" << trace;
        EXPECT_EQ(trace.find(each.line, first + 1), std::string::npos) << "once: " << each.line;
    }
    // The libraries that loaded are unloaded again, and the host still answers.
    EXPECT_EQ(item_count(u"TooTall", u"Detached"), 1);
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, WM_WININICHANGE, INI_TODAY_ITEMS_CHANGED, 0));
    EXPECT_TRUE(eventually([] { return item_count(u"Good", u"Entered") == 2; }));
}

TEST_F(TodayHostTest, HeightsAreAskedAgainAndTheItemsRestacked) {
    add({u"First", u"\\Windows\\a.dll", 1, 40, 0x2040C0});
    add({u"Second", u"\\Windows\\b.dll", 2, 30, 0xC02020});
    start_host({"--refresh-ms", "50"});
    expect_pixel(20, 40 + border + bar + 5, opaque | 0xC02020);

    set_dword(item_key(u"First"), u"TestHeight", 70);
    expect_pixel(20, 70 + border + bar + 5, opaque | 0xC02020);
    expect_pixel(20, 40 + border + bar + 5, opaque | 0x2040C0);
    expect_pixel(20, 100 + 2, wallpaper_at(20, 102));
}

TEST_F(TodayHostTest, ANewScreenSizeResizesTheStartScreenItsWallpaperAndItsItems) {
    add({u"First", u"\\Windows\\a.dll", 1, 40, 0x2040C0});
    start_host();
    expect_pixel(20, 20, opaque | 0x2040C0);

    ASSERT_TRUE(screen.control().set_size(480, 640));
    ASSERT_TRUE(eventually([&] {
        auto const rect = host_rect();
        return rect.right - rect.left == 480 && rect.bottom - rect.top >= 600;
    }));
    expect_pixel(470, 20, opaque | 0x2040C0);
    expect_pixel(470, 600, wallpaper_at(470, 600));
}

}  // namespace
