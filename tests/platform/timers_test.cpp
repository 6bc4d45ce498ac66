#include <gtest/gtest.h>

#include <vector>

#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/timers.h"
#include "platform/windows.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"

namespace {

std::vector<std::pair<UINT, WPARAM>> received;

LRESULT recording_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER || message >= WM_USER) received.emplace_back(message, wparam);
    return DefWindowProcW(window, message, wparam, lparam);
}

class TimersTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = recording_proc;
        window_class.lpszClassName = u"TimersTestClass";
        RegisterClassW(&window_class);
        window = CreateWindowExW(0, u"TimersTestClass", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        received.clear();
    }
    void TearDown() override { DestroyWindow(window); }
    HWND window = nullptr;
};

TEST_F(TimersTest, ATimerRepeatsUntilKilled) {
    ASSERT_TRUE(SetTimer(window, 3, 1, nullptr));
    EXPECT_TRUE(testing_support::pump_messages_until([] { return received.size() >= 3; }));
    EXPECT_EQ(received[0], std::make_pair(UINT{WM_TIMER}, WPARAM{3}));
    ASSERT_TRUE(KillTimer(window, 3));
    EXPECT_FALSE(KillTimer(window, 3));
    EXPECT_EQ(platform::window_timer_period(window, 3), std::nullopt);
}

TEST_F(TimersTest, ADueTimerYieldsOneMessageAfterThePostedOnesAndNoneOnceKilled) {
    SetTimer(window, 1, 1, nullptr);
    Sleep(10);  // overdue many times over
    PostMessageW(window, WM_USER, 0, 0);
    MSG message;
    std::vector<UINT> order;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) order.push_back(message.message);
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_TIMER}));

    Sleep(5);
    KillTimer(window, 1);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(TimersTest, SettingTheSameIdAgainRestartsItWithTheNewPeriod) {
    SetTimer(window, 7, 100000, nullptr);
    SetTimer(window, 7, 250, nullptr);
    EXPECT_EQ(platform::window_timer_period(window, 7), 250u);
}

TEST_F(TimersTest, DestroyingTheWindowEndsItsTimers) {
    SetTimer(window, 2, 1, nullptr);
    HWND const gone = window;
    DestroyWindow(window);
    window = CreateWindowExW(0, u"TimersTestClass", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    Sleep(5);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(platform::window_timer_period(gone, 2), std::nullopt);
}

std::vector<UINT_PTR> procedure_calls;
void timer_procedure(HWND, UINT, UINT_PTR id, DWORD) { procedure_calls.push_back(id); }

TEST_F(TimersTest, ATimerWithoutAWindowCallsItsProcedureThroughDispatch) {
    procedure_calls.clear();
    UINT_PTR const id = SetTimer(nullptr, 0, 1, timer_procedure);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(testing_support::pump_messages_until([] { return !procedure_calls.empty(); }));
    KillTimer(nullptr, id);
    EXPECT_EQ(procedure_calls.front(), id);
}

}  // namespace
