// The project's package installed and removed with install-package while the start screen
// (today-host) runs on a headless device screen: the installer's broadcast makes the start
// screen show the item, and take it away again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/registry.h"
#include "platform/device.h"
#include "platform/registry.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/expected_image.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"
#include "tools/package_installer/install_log.h"

namespace {

using testing_support::ChildProcess;
using testing_support::eventually;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

const char16_t* const program_key = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix";

bool value_exists(const std::u16string& key_path, const std::u16string& name) {
    HKEY root = nullptr;
    std::u16string const subkey = os::split_registry_path(key_path, root);
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    bool const found = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

std::string utf8(const std::u16string& text) { return std::string(text.begin(), text.end()); }  // ASCII paths

class PackageOnStartScreenTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        platform::host_path(u"\\");  // makes the device's folders
    }

    void TearDown() override {
        if (host_) {
            ChildProcess quit(SONBRIX_TODAY_HOST, {"--quit"});
            quit.wait_for_exit();
            host_->wait_for_exit();
        }
    }

    std::string log_path() const { return device.folder() + "/host.log"; }
    std::string log() const { return read_host_file(log_path()); }

    // The host's last "load" or "unload" of an item library. The installer's broadcasts may
    // be handled after it has gone on, so only the last one tells where the host ends up.
    std::string last_library_event() const {
        std::string const trace = log();
        std::string last;
        for (std::size_t start = 0, end; start < trace.size(); start = end + 1) {
            end = trace.find('\n', start);
            if (end == std::string::npos) end = trace.size();
            std::string const line = trace.substr(start, end - start);
            if (line.rfind("load ", 0) == 0 || line.rfind("unload ", 0) == 0) last = line;
        }
        return last;
    }

    void start_host() {
        host_ = std::make_unique<ChildProcess>(SONBRIX_TODAY_HOST, std::vector<std::string>{"--log", log_path()});
        ASSERT_TRUE(eventually([&] { return log().find("recv WM_") != std::string::npos; })) << log();
    }

    int package_tool(const std::string& arguments) {
        std::string const command = std::string(SONBRIX_INSTALL_PACKAGE) + " " + arguments + " >/dev/null";
        return std::system(command.c_str());
    }

    int install() { return package_tool("install " SONBRIX_PACKAGE_MANIFEST " " SONBRIX_BUILD_DIR); }

    // Empty once the top of the screen, where the items are, shows the expected image (the
    // item paints in its own time). The bottom holds the start menu, which lists the program
    // once the package carries it.
    std::string difference_from(const std::string& name) {
        std::string difference;
        eventually([&] {
            screen.wait_idle();
            difference = testing_support::compare_with_expected(top_of(screen.screenshot()), SONBRIX_SETUP_EXPECTED, name);
            return difference.empty();
        });
        return difference;
    }

    static platform::screen::ScreenPicture top_of(const platform::screen::ScreenPicture& screen) {
        platform::screen::ScreenPicture top;
        top.width = screen.width;
        top.height = std::min(screen.height, 240);
        top.pixels.assign(screen.pixels.begin(), screen.pixels.begin() + std::ptrdiff_t{top.width} * top.height);
        return top;
    }

    testing_support::TestScreen screen;
    std::unique_ptr<ChildProcess> host_;
};

TEST_F(PackageOnStartScreenTest, TheRunningStartScreenShowsTheInstalledItemUntilItIsRemoved) {
    std::string const loaded = "load \\Windows\\SonbrixTodayPlugin.dll";
    start_host();
    EXPECT_EQ(difference_from("no_item_top_240x320"), "");

    ASSERT_EQ(install(), 0);
    ASSERT_TRUE(eventually([&] { return last_library_event() == loaded; })) << log();
    EXPECT_EQ(difference_from("item_top_240x320"), "") << log();

    // The user's own: settings, a recording, a chosen start-screen skin.
    write_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.xml"), "<Settings Volume=\"3\"/>");
    write_host_file(device.host_path("My Documents/rec.wav"), "RIFF");
    os::write_registry_string(program_key, u"TodaySkin", u"\\Windows\\Today Default.skin");

    // An update over the installed program: the item is shown again, and the user's own stays.
    ASSERT_EQ(install(), 0);
    ASSERT_TRUE(eventually([&] { return last_library_event() == loaded; })) << log();
    EXPECT_EQ(difference_from("item_top_240x320"), "") << log();
    EXPECT_EQ(read_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.xml")), "<Settings Volume=\"3\"/>");
    std::u16string skin;
    EXPECT_TRUE(os::read_registry_string(program_key, u"TodaySkin", skin));
    EXPECT_EQ(skin, u"\\Windows\\Today Default.skin");

    auto const installed = installer::read_install_log(u"Sonbrix");
    ASSERT_TRUE(installed);
    EXPECT_FALSE(installed->files.empty());
    EXPECT_FALSE(installed->values.empty());

    ASSERT_EQ(package_tool("uninstall Sonbrix"), 0);
    ASSERT_TRUE(eventually([&] { return last_library_event() == "un" + loaded; })) << log();
    EXPECT_EQ(difference_from("no_item_top_240x320"), "") << log();
    for (auto const& file : installed->files) {
        EXPECT_FALSE(host_file_exists(*platform::host_path(file))) << utf8(file);
    }
    for (auto const& value : installed->values) {
        EXPECT_FALSE(value_exists(value.key, value.name)) << utf8(value.key) << " " << utf8(value.name);
    }
    EXPECT_EQ(read_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.xml")), "<Settings Volume=\"3\"/>");
    EXPECT_EQ(read_host_file(device.host_path("My Documents/rec.wav")), "RIFF");
    EXPECT_TRUE(value_exists(program_key, u"TodaySkin"));
}

}  // namespace
