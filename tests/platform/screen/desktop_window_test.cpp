// The screen in a desktop window (SDL2 under Xvfb): a real X click and key press become the
// same events as the control link's, and the window shows the composed screen.
#include <unistd.h>

#include <cstdio>

#include "platform/messages.h"
#include "platform/windows.h"
#include "tests/platform/screen/screen_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/scoped_environment.h"

namespace screen_tests {
namespace {

using testing_support::ChildProcess;
using testing_support::ScopedEnvironment;

bool installed(const char* program) { return ::access(program, X_OK) == 0; }

// Runs a program to its end; its first line of output.
std::string run_program(const std::string& program, const std::vector<std::string>& arguments, int& status) {
    ChildProcess child(program, arguments);
    std::string const line = child.read_line();
    while (!child.read_line().empty()) {
    }
    status = child.wait_for_exit();
    return line;
}

void check_click_key_and_picture(const std::string& device_folder) {
    ScreenProcess process;
    ASSERT_TRUE(process.run("surface 7 10 10 200 150 3366CC"));
    ASSERT_TRUE(process.run("foreground 7"));

    int status = 0;
    std::string const window =
        run_program("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--name", "Sonbrix screen"}, status);
    ASSERT_EQ(status, 0);
    ASSERT_FALSE(window.empty());
    // At zoom 2 the window's (100, 120) is the screen's (50, 60).
    run_program("/usr/bin/xdotool", {"mousemove", "--sync", "--window", window, "100", "120", "click", "1"}, status);
    EXPECT_EQ(status, 0);
    run_program("/usr/bin/xdotool", {"windowfocus", "--sync", window}, status);
    run_program("/usr/bin/xdotool", {"key", "a", "F3"}, status);
    EXPECT_EQ(status, 0);

    std::vector<std::string> const expected{"1 7 50 60 0 0",  "3 7 50 60 0 0",  "4 7 0 0 65 97",
                                            "5 7 0 0 65 0",   "4 7 0 0 195 0", "5 7 0 0 195 0"};
    std::vector<std::string> events;
    testing_support::eventually([&] {
        for (auto& event : process.events()) events.push_back(event);
        return events.size() >= expected.size();
    });
    EXPECT_EQ(events, expected);

    // The size key of the desktop window: the next size, told to every process.
    run_program("/usr/bin/xdotool", {"key", "F9"}, status);
    events.clear();
    testing_support::eventually([&] {
        for (auto& event : process.events()) events.push_back(event);
        return !events.empty();
    });
    EXPECT_EQ(events, std::vector<std::string>{"100 0 0 0 0 0 480x640@192"});

    if (!installed("/usr/bin/import")) return;
    std::string const picture = device_folder + "/window.txt";
    run_program("/usr/bin/import", {"-window", window, "-crop", "1x1+100+120", picture}, status);
    // Still the same pixel after the resize: the window is drawn again at its new size.
    ASSERT_EQ(status, 0);
    EXPECT_NE(testing_support::read_host_file(picture).find("srgb(51,102,204)"), std::string::npos)
        << testing_support::read_host_file(picture);
}

// An X display of its own (Xvfb) for the screen's desktop window, 240x320 at zoom 2.
class XDesktop {
public:
    XDesktop()
        : xvfb_("/usr/bin/Xvfb", {"-displayfd", "1", "-screen", "0", "800x700x24", "-nolisten", "tcp"}),
          number_(xvfb_.read_line()), display_("DISPLAY", (":" + number_).c_str()), driver_("SONBRIX_DISPLAY", "sdl"),
          size_("SONBRIX_DISPLAY_SIZE", "240x320"), zoom_("SONBRIX_DISPLAY_ZOOM", "2") {}
    bool started() const { return !number_.empty(); }

private:
    ChildProcess xvfb_;
    std::string number_;
    ScopedEnvironment display_;
    ScopedEnvironment driver_;
    ScopedEnvironment size_;
    ScopedEnvironment zoom_;
};

class DesktopWindow : public testing_support::DeviceTest {};

TEST_F(DesktopWindow, ARealClickAndKeyPressBecomeStylusAndKeyEvents) {
    if (!installed("/usr/bin/Xvfb") || !installed("/usr/bin/xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed (Debian packages xvfb, xdotool)";
    XDesktop desktop;
    ASSERT_TRUE(desktop.started()) << "Xvfb did not start";
    check_click_key_and_picture(device.folder());
    // The server ends before its X display does (a lost display would end it by exit()).
    EXPECT_TRUE(testing_support::eventually([&] { return server_lock_is_free(device.folder()); }));
}

TEST_F(DesktopWindow, ARealClickAndKeyPressReachAnotherProcessesWindowAsMessages) {
    if (!installed("/usr/bin/Xvfb") || !installed("/usr/bin/xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed (Debian packages xvfb, xdotool)";
    XDesktop desktop;
    ASSERT_TRUE(desktop.started()) << "Xvfb did not start";
    {
        ChildProcess helper({"painted", "20", "20", "200", "200", "3366cc"});
        void* handle = nullptr;
        std::sscanf(helper.read_line().c_str(), "ready %p", &handle);
        ASSERT_NE(handle, nullptr);
        ASSERT_TRUE(SetForegroundWindow(static_cast<HWND>(handle)));
        auto const next = [&](const std::string& prefix) {
            for (std::string line = helper.read_line(); !line.empty(); line = helper.read_line()) {
                if (line.rfind(prefix, 0) == 0) return line;
            }
            return std::string();
        };
        int status = 0;
        std::string const window =
            run_program("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--name", "Sonbrix screen"}, status);
        ASSERT_FALSE(window.empty());
        // At zoom 2 the desktop window's (100, 120) is the screen's (50, 60): the client's (30, 40).
        run_program("/usr/bin/xdotool", {"mousemove", "--sync", "--window", window, "100", "120", "click", "1"}, status);
        EXPECT_EQ(next("down"), "down 30 40");
        run_program("/usr/bin/xdotool", {"windowfocus", "--sync", window}, status);
        run_program("/usr/bin/xdotool", {"key", "a"}, status);
        EXPECT_EQ(next("key"), "key 65");
        PostMessageW(static_cast<HWND>(handle), WM_USER + 2, 0, 0);
        helper.wait_for_exit();
    }
    EXPECT_TRUE(testing_support::eventually([&] { return server_lock_is_free(device.folder()); }));
}

TEST_F(DesktopWindow, WithoutADisplayTheScreenFallsBackToHeadless) {
    ScopedEnvironment display("DISPLAY", ":987");
    ScopedEnvironment driver("SONBRIX_DISPLAY", "sdl");
    ScopedEnvironment size("SONBRIX_DISPLAY_SIZE", "240x320");
    ScopedEnvironment shell("SONBRIX_SHELL", "off");  // nothing over the surface's corner
    ScreenProcess process;
    ASSERT_TRUE(process.run("surface 7 10 10 20 20 3366CC"));
    platform::screen::ScreenControl control;
    ASSERT_TRUE(control.connect());
    ASSERT_TRUE(control.wait_idle(10000));
    platform::screen::ScreenPicture picture;
    ASSERT_TRUE(control.screenshot(picture));
    EXPECT_EQ(picture.at(15, 15), 0xFF3366CCu);
}

}  // namespace
}  // namespace screen_tests
