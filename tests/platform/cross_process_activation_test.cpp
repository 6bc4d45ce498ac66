// Activation between windows of two processes of one device.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/testing.h"
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

// An activation request as a peer writes it: header fields in order, then the device.
std::string activation_request(std::uint64_t state, std::uint32_t payload_size, const std::string& payload = "") {
    std::string const device = "/tmp/device";
    std::string bytes;
    auto const put = [&](auto value) { bytes.append(reinterpret_cast<const char*>(&value), sizeof value); };
    put(std::uint32_t{0x4B4E4C57});  // the links' magic number
    put(std::uint32_t{5});           // activate
    put(std::uint32_t{0});
    put(static_cast<std::uint32_t>(device.size()));
    put(std::uint64_t{0x1234500000001});
    put(state);
    put(std::int64_t{0x1234600000002});
    put(payload_size);
    put(std::uint32_t{0});
    return bytes + device + payload;
}

TEST(CrossProcessActivationRequest, OnlyAWellFormedActivationIsAccepted) {
    struct Case {
        const char* what;
        std::string bytes;
        bool accepted;
    };
    Case const cases[] = {
        {"gaining", activation_request(WA_ACTIVE, 0), true},
        {"losing", activation_request(WA_INACTIVE, 0), true},
        {"an unknown state", activation_request(7, 0), false},
        {"with a payload", activation_request(WA_ACTIVE, 4, "abcd"), false},
        {"cut short", activation_request(WA_ACTIVE, 0).substr(0, 30), false},
    };
    for (auto const& one : cases) {
        EXPECT_EQ(platform::parse_window_link_request(one.bytes.data(), one.bytes.size()), one.accepted) << one.what;
    }
}

}  // namespace
