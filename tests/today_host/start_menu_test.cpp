// The start screen's programs: the shortcuts of "\Windows\Start Menu\Programs" listed in a band
// at its bottom, a tap on one starting its program.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/device.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/expected_image.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"
#include "tools/today_host/program_shortcuts.h"

namespace {

using testing_support::ChildProcess;
using testing_support::eventually;
using testing_support::read_host_file;
using testing_support::write_host_file;

struct ShortcutCase {
    const char* text;
    std::optional<std::u16string> target;  // nullopt: not a shortcut
    std::u16string arguments;
};

ShortcutCase const shortcut_cases[] = {
    {"36#\"\\Program Files\\Sonbrix\\Sonbrix.exe\"", u"\\Program Files\\Sonbrix\\Sonbrix.exe", u""},
    {"36#\"\\Program Files\\Sonbrix\\Sonbrix.exe\"\r\n", u"\\Program Files\\Sonbrix\\Sonbrix.exe", u""},
    {"40#\"\\Program Files\\A B\\a.exe\" -hide  x ", u"\\Program Files\\A B\\a.exe", u"-hide  x"},
    {"22#\\Windows\\calc.exe /s", u"\\Windows\\calc.exe", u"/s"},
    {"9#/Windows/x.exe", u"/Windows/x.exe", u""},
    {"", std::nullopt, u""},
    {"#\\Windows\\calc.exe", std::nullopt, u""},        // no count
    {"1x#\\Windows\\calc.exe", std::nullopt, u""},      // a count that is no number
    {"\\Windows\\calc.exe", std::nullopt, u""},         // no "#"
    {"12#\"\\Windows\\calc.exe", std::nullopt, u""},    // the quote not closed
    {"12#calc.exe", std::nullopt, u""},                 // not a device path
    {"12#\"\"", std::nullopt, u""},
    {"12#   ", std::nullopt, u""},
};

TEST(ProgramShortcutTest, AShortcutIsReadFromItsTextAndAnythingElseRefused) {
    for (auto const& row : shortcut_cases) {
        SCOPED_TRACE(row.text);
        auto const shortcut = today_host::parse_shortcut(row.text);
        ASSERT_EQ(shortcut.has_value(), row.target.has_value());
        if (!shortcut) continue;
        EXPECT_EQ(shortcut->target, *row.target);
        EXPECT_EQ(shortcut->arguments, row.arguments);
    }
}

class StartMenuTest : public testing_support::DeviceTest {
protected:
    explicit StartMenuTest(const char* size = "240x320") : screen_size(size), screen(size) {}

    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        platform::host_path(u"\\");  // makes the device's folders
        // A program that notes its command line.
        std::string const program = device.host_path("Program Files/Marker/marker.exe");
        write_host_file(program, "#!/bin/sh\nprintf '%s' \"$1\" > \"$SONBRIX_DEVICE/started.txt\"\n");
        std::filesystem::permissions(program, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add);
        add_shortcut("Zeta.lnk", "36#\"\\Program Files\\Marker\\marker.exe\" zeta");
        add_shortcut("Alpha.lnk", "28#\\Program Files\\Alpha\\alpha.exe");  // not installed
        add_shortcut("broken.lnk", "no shortcut");
        add_shortcut("notes.txt", "10#\\a.exe");
    }

    void TearDown() override {
        if (host_) {
            ChildProcess quit(SONBRIX_TODAY_HOST, {"--quit"});
            quit.wait_for_exit();
            host_->wait_for_exit();
        }
    }

    void add_shortcut(const std::string& name, const std::string& text) {
        write_host_file(device.host_path("Windows/Start Menu/Programs/" + name), text);
    }

    std::string log_path() const { return device.folder() + "/host.log"; }
    std::string log() const { return read_host_file(log_path()); }

    void start_host() {
        host_ = std::make_unique<ChildProcess>(SONBRIX_TODAY_HOST, std::vector<std::string>{"--log", log_path()});
        ASSERT_TRUE(eventually([&] { return host_rect().right > 0; })) << log();
        ASSERT_TRUE(screen.wait_idle());
    }

    platform::screen::ScreenRect host_rect() {
        for (auto const& window : screen.windows()) {
            if (window.class_name == "TodayScreen") return window.rect;
        }
        return {};
    }

    // Taps the row of the program at that place in a list of that many, at 96 dpi.
    void tap_program(int index, int count) {
        auto const rect = host_rect();
        int const row = 20;
        int const y = rect.bottom - (count - index) * row + row / 2;
        ASSERT_TRUE(screen.control().tap(rect.left + 40, y));
    }

    std::string difference_from(const std::string& name) {
        std::string difference;
        eventually([&] {
            screen.wait_idle();
            difference = testing_support::compare_with_expected(screen.screenshot(), SONBRIX_TODAY_HOST_EXPECTED, name);
            return difference.empty();
        });
        return difference;
    }

    std::string screen_size;
    testing_support::TestScreen screen;
    std::unique_ptr<ChildProcess> host_;
};

TEST_F(StartMenuTest, TheProgramsAreListedByNameAndATapStartsOne) {
    start_host();
    EXPECT_EQ(difference_from("start_menu_" + screen_size), "");

    tap_program(1, 2);
    ASSERT_TRUE(eventually([&] { return read_host_file(device.folder() + "/started.txt") == "zeta"; })) << log();

    tap_program(0, 2);  // a program that is not there
    ASSERT_TRUE(eventually([&] { return log().find("cannot start Alpha") != std::string::npos; })) << log();

    // A shortcut added while the start screen runs joins the list.
    add_shortcut("Beta.lnk", "36#\"\\Program Files\\Marker\\marker.exe\" beta");
    ASSERT_TRUE(screen.wait_idle());
    ASSERT_TRUE(eventually([&] {
        tap_program(1, 3);
        return read_host_file(device.folder() + "/started.txt") == "beta";
    })) << log();
}

class StartMenuVgaTest : public StartMenuTest {
protected:
    StartMenuVgaTest() : StartMenuTest("480x640") {}
};

TEST_F(StartMenuVgaTest, TheProgramsBandIsDrawnAtTwiceTheSize) {
    start_host();
    EXPECT_EQ(difference_from("start_menu_" + screen_size), "");
}

}  // namespace
