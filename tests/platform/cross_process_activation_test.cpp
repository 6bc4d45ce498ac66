// Activation between windows of two processes of one device.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "tests/support/child_process.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ChildProcess;

std::vector<std::pair<WPARAM, LPARAM>> activations;

LRESULT local_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ACTIVATE) activations.emplace_back(wparam, lparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND handle_from(const std::string& ready_line) {
    EXPECT_EQ(ready_line.rfind("ready ", 0), 0u) << ready_line;
    return reinterpret_cast<HWND>(std::strtoull(ready_line.c_str() + 6, nullptr, 16));
}

std::string activate_line(WPARAM state, HWND other) {
    char text[64];
    std::snprintf(text, sizeof text, "activate %lu %p", static_cast<unsigned long>(state), static_cast<void*>(other));
    return text;
}

using CrossProcessActivationTest = testing_support::DeviceTest;

TEST_F(CrossProcessActivationTest, TheForegroundMovesBetweenProcessesWithWmActivateOnBothSides) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = local_proc;
    window_class.lpszClassName = u"ActivationLocal";
    RegisterClassW(&window_class);
    HWND const local = CreateWindowExW(0, u"ActivationLocal", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ChildProcess helper({"window", "ActivationRemote"});
    HWND const remote = handle_from(helper.read_line());

    ASSERT_TRUE(SetForegroundWindow(local));
    activations.clear();

    ASSERT_TRUE(SetForegroundWindow(remote));
    EXPECT_EQ(activations, (std::vector<std::pair<WPARAM, LPARAM>>{{WA_INACTIVE, reinterpret_cast<LPARAM>(remote)}}));
    EXPECT_EQ(helper.read_line(), activate_line(WA_ACTIVE, local));  // sent: there before the call returned
    EXPECT_EQ(GetForegroundWindow(), remote);
    EXPECT_EQ(GetActiveWindow(), nullptr);

    activations.clear();
    ASSERT_TRUE(SetForegroundWindow(local));
    EXPECT_EQ(helper.read_line(), activate_line(WA_INACTIVE, local));
    EXPECT_EQ(activations, (std::vector<std::pair<WPARAM, LPARAM>>{{WA_ACTIVE, reinterpret_cast<LPARAM>(remote)}}));
    EXPECT_EQ(GetForegroundWindow(), local);
    EXPECT_EQ(GetActiveWindow(), local);

    PostMessageW(remote, WM_USER + 2, 0, 0);  // the helper ends
    EXPECT_EQ(helper.wait_for_exit(), 0);
    DestroyWindow(local);
}

TEST_F(CrossProcessActivationTest, AForegroundWindowOfAProcessThatEndedIsNone) {
    ChildProcess helper({"window", "ActivationGone"});
    HWND const remote = handle_from(helper.read_line());
    ASSERT_TRUE(SetForegroundWindow(remote));
    EXPECT_EQ(helper.read_line(), activate_line(WA_ACTIVE, nullptr));
    EXPECT_EQ(GetForegroundWindow(), remote);
    helper.kill_hard();
    helper.wait_for_exit();
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

}  // namespace
