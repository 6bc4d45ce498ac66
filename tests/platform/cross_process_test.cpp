#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/mutex.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "tests/support/child_process.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ChildProcess;

HWND handle_from(const std::string& ready_line) {
    EXPECT_EQ(ready_line.rfind("ready ", 0), 0u) << ready_line;
    return reinterpret_cast<HWND>(std::strtoull(ready_line.c_str() + 6, nullptr, 16));
}

std::vector<HWND> top_level_windows() {
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    return seen;
}

bool contains(const std::vector<HWND>& windows, HWND window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

using CrossProcessWindowsTest = testing_support::DeviceTest;

TEST_F(CrossProcessWindowsTest, AnotherProcessesWindowIsSeenReadAndReached) {
    ChildProcess helper({"window", "RemoteProbeClass"});
    HWND const remote = handle_from(helper.read_line());
    EXPECT_TRUE(contains(top_level_windows(), remote));
    WCHAR name[64];
    EXPECT_EQ(GetClassNameW(remote, name, 64), 16);
    EXPECT_EQ(std::u16string(name), u"RemoteProbeClass");
    EXPECT_EQ(GetParent(remote), nullptr);
    EXPECT_TRUE(IsWindowVisible(remote));
    EXPECT_EQ(FindWindowW(u"remoteprobeclass", nullptr), remote);

    EXPECT_EQ(SendMessageW(remote, WM_USER + 1, 21, 0), 42);

    char16_t const text[] = u"a\u00e9";
    COPYDATASTRUCT data{5, 4, const_cast<char16_t*>(text)};
    EXPECT_EQ(SendMessageW(remote, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 77);
    EXPECT_EQ(helper.read_line(), "copydata 5 4 6100e900");

    EXPECT_TRUE(PostMessageW(remote, WM_USER + 2, 0, 0));
    EXPECT_EQ(helper.wait_for_exit(), 0);
}

LRESULT answer_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER + 7) return static_cast<LRESULT>(wparam * 10);
    return DefWindowProcW(window, message, wparam, lparam);
}

TEST_F(CrossProcessWindowsTest, ASenderServesSendsFromTheProcessItWaitsFor) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = answer_proc;
    window_class.lpszClassName = u"CrossProcessAnswer";
    RegisterClassW(&window_class);
    HWND const own = CreateWindowExW(0, u"CrossProcessAnswer", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ChildProcess helper({"window", "RemoteProbeClass"});
    HWND const remote = handle_from(helper.read_line());
    // The helper's procedure sends WM_USER + 7 back to `own` before it answers.
    EXPECT_EQ(SendMessageW(remote, WM_USER + 3, reinterpret_cast<WPARAM>(own), 0), 51);
    PostMessageW(remote, WM_USER + 2, 0, 0);
    EXPECT_EQ(helper.wait_for_exit(), 0);
    DestroyWindow(own);
}

TEST_F(CrossProcessWindowsTest, ASendThatTheOtherProcessDoesNotAnswerInTimeFails) {
    ChildProcess helper({"window", "RemoteProbeClass"});
    HWND const remote = handle_from(helper.read_line());
    platform::set_send_message_timeout(100);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(SendMessageW(remote, WM_USER + 4, 0, 0), 0);  // the helper waits for a line first
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
    platform::set_send_message_timeout(30000);

    helper.write_line("go on");
    EXPECT_EQ(SendMessageW(remote, WM_USER + 1, 4, 0), 8);
    EXPECT_TRUE(PostMessageW(remote, WM_USER + 2, 0, 0));
    EXPECT_EQ(helper.wait_for_exit(), 0);
}

TEST_F(CrossProcessWindowsTest, AnOwnedWindowReportsItsOwner) {
    ChildProcess helper({"window", "RemoteProbeClass", "owned"});
    HWND const remote = handle_from(helper.read_line());
    EXPECT_NE(GetParent(remote), nullptr);
    PostMessageW(remote, WM_USER + 2, 0, 0);
    helper.wait_for_exit();
}

TEST_F(CrossProcessWindowsTest, ADeadProcessesWindowsVanishAndItsMarkerIsRemoved) {
    ChildProcess helper({"window", "RemoteProbeClass"});
    HWND const remote = handle_from(helper.read_line());
    std::string const marker = device.folder() + "/run/windows/" + std::to_string(helper.pid());
    EXPECT_TRUE(std::filesystem::exists(marker));
    helper.kill_hard();
    EXPECT_FALSE(contains(top_level_windows(), remote));
    EXPECT_FALSE(std::filesystem::exists(marker));
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_FALSE(PostMessageW(remote, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageW(remote, WM_USER + 1, 1, 0), 0);
}

class MutexTest : public testing_support::DeviceTest {
protected:
    void TearDown() override {
        for (HANDLE handle : handles) CloseHandle(handle);
    }
    HANDLE open(const char16_t* name, BOOL initial_owner = FALSE) {
        handles.push_back(CreateMutexW(nullptr, initial_owner, name));
        return handles.back();
    }
    std::vector<HANDLE> handles;
};

TEST_F(MutexTest, TheOwnerTakesItAgainAndOthersWaitUntilItIsReleasedAsOftenAsTaken) {
    HANDLE const mutex = open(nullptr, TRUE);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    DWORD other = 0;
    auto const try_from_other_thread = [&] {
        std::thread([&] {
            other = WaitForSingleObject(mutex, 0);
            if (other == WAIT_OBJECT_0) ReleaseMutex(mutex);
        }).join();
        return other;
    };
    EXPECT_EQ(try_from_other_thread(), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(try_from_other_thread(), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    EXPECT_EQ(try_from_other_thread(), WAIT_OBJECT_0);
}

TEST_F(MutexTest, AMutexLeftByAnEndedThreadIsAbandoned) {
    HANDLE const mutex = open(u"thread-left");
    std::thread([&] { WaitForSingleObject(mutex, INFINITE); }).join();
    EXPECT_EQ(WaitForSingleObject(mutex, 1000), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex));
}

TEST_F(MutexTest, ANameOpensTheMutexAnotherProcessHolds) {
    ChildProcess helper({"mutex", "shared\\name"});
    EXPECT_EQ(helper.read_line(), "owned 0");
    HANDLE const mutex = open(u"shared\\name");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(mutex, 20), static_cast<DWORD>(WAIT_TIMEOUT));
    helper.write_line("release");
    EXPECT_EQ(WaitForSingleObject(mutex, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(helper.wait_for_exit(), 0);
    ReleaseMutex(mutex);
}

TEST_F(MutexTest, AMutexHeldByADeadProcessIsAbandoned) {
    HANDLE const mutex = open(u"left behind");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    ChildProcess helper({"mutex", "left behind"});
    EXPECT_EQ(helper.read_line(), "owned 1");
    helper.write_line("die");
    EXPECT_EQ(helper.wait_for_exit(), 3);
    EXPECT_EQ(WaitForSingleObject(mutex, 10000), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    ReleaseMutex(mutex);
}

TEST_F(MutexTest, ANameNobodyHoldsOpenAnyMoreIsMadeAfresh) {
    CloseHandle(CreateMutexW(nullptr, FALSE, u"fresh"));
    open(u"fresh");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
}

}  // namespace
