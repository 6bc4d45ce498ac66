#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "foundation/application.h"
#include "foundation/log.h"
#include "foundation/registry.h"
#include "platform/cursors.h"
#include "platform/kernel.h"
#include "platform/windows.h"
#include "tests/support/child_process.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ChildProcess;

struct Received {
    int count = 0;
    ULONG_PTR data_word = 99;
    std::u16string text;
    DWORD size = 0;
};
Received received;

LRESULT form_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COPYDATA) {
        auto const* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        ++received.count;
        received.data_word = data->dwData;
        received.size = data->cbData;
        received.text.assign(static_cast<const char16_t*>(data->lpData), data->cbData / 2);
        return 1;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

class SingleInstanceTest : public testing_support::DeviceTest {
protected:
    void SetUp() override { received = Received{}; }
    void TearDown() override {
        for (HWND window : windows) DestroyWindow(window);
    }
    // A stand-in for the running program's form window.
    HWND make_form_window(HWND owner = nullptr) {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = form_proc;
        window_class.lpszClassName = u"SkinnerClass_Probe";
        RegisterClassW(&window_class);
        windows.push_back(CreateWindowExW(0, u"SkinnerClass_Probe", u"", owner ? WS_POPUP : 0, 0, 0, 0, 0, owner,
                                          nullptr, nullptr, nullptr));
        return windows.back();
    }
    // Serves this process's windows until the other start has ended; its exit code.
    int run_until_exit(ChildProcess& start) {
        testing_support::pump_messages_until([&] { return start.exit_code_if_ended().has_value(); });
        return start.wait_for_exit();
    }
    os::Application application{nullptr, u"Probe"};
    std::vector<HWND> windows;
};

TEST_F(SingleInstanceTest, ASecondStartHandsItsCommandLineToTheRunningInstance) {
    struct Case {
        std::string command_line;
        std::u16string expected;
    };
    Case const cases[] = {{"\\My Documents\\b\xC3\xA9.mp3 -hide", u"\\My Documents\\b\u00e9.mp3 -hide"}, {"", u""}};
    EXPECT_FALSE(application.find_previous_instance(u"first"));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    application.finish_startup();
    EXPECT_EQ(GetCursor(), nullptr);
    make_form_window();
    for (auto const& c : cases) {
        received = Received{};
        ChildProcess start({"start", "Probe", c.command_line});
        EXPECT_EQ(run_until_exit(start), 1);
        EXPECT_EQ(received.count, 1);
        EXPECT_EQ(received.data_word, 0u);
        EXPECT_EQ(received.size, c.expected.size() * 2);
        EXPECT_EQ(received.text, c.expected);
    }
}

TEST_F(SingleInstanceTest, AWindowOfTheClassWithAParentIsNotTheRunningInstance) {
    WNDCLASSW owner_class{};
    owner_class.lpfnWndProc = DefWindowProcW;
    owner_class.lpszClassName = u"ProbeOwner";
    RegisterClassW(&owner_class);
    HWND const owner = CreateWindowExW(0, u"ProbeOwner", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    windows.push_back(owner);
    make_form_window(owner);
    ChildProcess start({"start", "Probe", "x"});
    EXPECT_EQ(run_until_exit(start), 0);
    EXPECT_EQ(received.count, 0);
}

TEST_F(SingleInstanceTest, AnotherStartWaitsUntilThisOneHasFinishedItsStartUp) {
    EXPECT_FALSE(application.find_previous_instance(u""));
    ChildProcess start({"start", "Probe", "later"});
    EXPECT_EQ(start.read_line(), "searching");
    Sleep(50);  // it now waits for the start-up mutex; without the wait it would find no window
    make_form_window();
    application.finish_startup();
    EXPECT_EQ(run_until_exit(start), 1);
    EXPECT_EQ(received.text, u"later");
}

TEST(ApplicationTest, DestructionLogsItsFourStepsWithTheTickCount) {
    testing_support::TestDevice device;
    setenv("SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix", 1);
    std::filesystem::create_directories(device.host_path("Program Files/Sonbrix"));
    ASSERT_TRUE(os::write_registry_dword(u"HKEY_CURRENT_USER\\Software\\XELO", u"Log", 1));
    delete new os::Application(nullptr, u"Logged");
    os::get_log().flush();
    ASSERT_TRUE(os::write_registry_dword(u"HKEY_CURRENT_USER\\Software\\XELO", u"Log", 0));
    os::get_log();
    unsetenv("SONBRIX_MODULE");
    std::string const bytes = testing_support::read_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.txt"));
    std::string text;
    for (std::size_t i = 2; i < bytes.size(); i += 2) text += bytes[i];
    EXPECT_TRUE(std::regex_match(text, std::regex("-?\\d+ Application::~Application 1\n-?\\d+ Application::~Application 2\n"
                                                  "-?\\d+ Application::~Application 3\n-?\\d+ Application::~Application 4\n")))
        << text;
}

TEST(ApplicationDeathTest, NamesUpToTwentyFiveCharactersAndOneObjectOnly) {
    testing_support::TestDevice device;
    {
        os::Application longest(nullptr, std::u16string(25, u'n'));
        EXPECT_EQ(longest.get_window_class_name().size(), 38u);
        EXPECT_EQ(os::Application::instance(), &longest);
        EXPECT_EXIT(os::Application(nullptr, u"second"), testing::ExitedWithCode(0),
                    "Application::Application: instance != 0");
    }
    EXPECT_EQ(os::Application::instance(), nullptr);
    EXPECT_EXIT(os::Application(nullptr, std::u16string(26, u'n')), testing::ExitedWithCode(0),
                "Application::Application: Application name is too long. Sorry.");
}

}  // namespace
