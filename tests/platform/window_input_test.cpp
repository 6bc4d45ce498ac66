// Input state: activation, focus, capture and keys, and the input messages of a queue.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "tests/support/test_device.h"

namespace {

struct Call {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    bool operator==(const Call&) const = default;
};
std::vector<Call> calls;

LRESULT input_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_CAPTURECHANGED: calls.push_back(Call{window, message, wparam, lparam}); break;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

WPARAM w(HWND window) { return reinterpret_cast<WPARAM>(window); }
LPARAM l(HWND window) { return reinterpret_cast<LPARAM>(window); }

std::string describe(const std::vector<Call>& list) {
    std::string text;
    for (auto const& call : list) {
        text += std::to_string(call.message) + "(" + std::to_string(call.wparam) + "," + std::to_string(call.lparam) +
                ") ";
    }
    return text;
}

class WindowInputTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = input_proc;
        window_class.lpszClassName = u"WindowInputTest";
        RegisterClassW(&window_class);
        calls.clear();
    }
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            if (IsWindow(*it)) DestroyWindow(*it);
        }
    }
    HWND make(DWORD style = 0, HWND parent = nullptr) {
        HWND const window =
            CreateWindowExW(0, u"WindowInputTest", u"", style, 0, 0, 50, 50, parent, nullptr, nullptr, nullptr);
        made.push_back(window);
        return window;
    }
    std::vector<HWND> made;
};

TEST_F(WindowInputTest, ActivationAndFocusSendTheirMessagesInOrder) {
    HWND const a = make();
    HWND const b = make();
    HWND const c = make(WS_CHILD, b);  // a child of b
    struct Step {
        const char* what;
        void (*act)(HWND a, HWND b, HWND c);
        std::vector<Call> expected;
        HWND active;
        HWND focus;
    };
    Step const steps[] = {
        {"a becomes active; its default procedure takes the focus",
         [](HWND a, HWND, HWND) { SetActiveWindow(a); },
         {{a, WM_ACTIVATE, WA_ACTIVE, 0}, {a, WM_SETFOCUS, 0, 0}},
         a,
         a},
        {"a again: nothing", [](HWND a, HWND, HWND) { SetActiveWindow(a); }, {}, a, a},
        {"b becomes active: a loses activation, then focus; b gains both",
         [](HWND, HWND b, HWND) { SetActiveWindow(b); },
         {{a, WM_ACTIVATE, WA_INACTIVE, l(b)},
          {a, WM_KILLFOCUS, w(b), 0},
          {b, WM_ACTIVATE, WA_ACTIVE, l(a)},
          {b, WM_SETFOCUS, 0, 0}},
         b,
         b},
        {"focus to b's child", [](HWND, HWND, HWND c) { SetFocus(c); },
         {{b, WM_KILLFOCUS, w(c), 0}, {c, WM_SETFOCUS, w(b), 0}},
         b,
         c},
        {"focus to a: a is activated first",
         [](HWND a, HWND, HWND) { SetFocus(a); },
         {{b, WM_ACTIVATE, WA_INACTIVE, l(a)},
          {c, WM_KILLFOCUS, w(a), 0},
          {a, WM_ACTIVATE, WA_ACTIVE, l(b)},
          {a, WM_SETFOCUS, 0, 0}},
         a,
         a},
        {"focus to the child of b again: b is activated, its procedure focuses b, then c",
         [](HWND, HWND, HWND c) { SetFocus(c); },
         {{a, WM_ACTIVATE, WA_INACTIVE, l(b)},
          {a, WM_KILLFOCUS, w(b), 0},
          {b, WM_ACTIVATE, WA_ACTIVE, l(a)},
          {b, WM_SETFOCUS, 0, 0},
          {b, WM_KILLFOCUS, w(c), 0},
          {c, WM_SETFOCUS, w(b), 0}},
         b,
         c},
        {"focus to none", [](HWND, HWND, HWND) { SetFocus(nullptr); }, {{c, WM_KILLFOCUS, 0, 0}}, b, nullptr},
    };
    for (auto const& step : steps) {
        calls.clear();
        step.act(a, b, c);
        EXPECT_EQ(calls, step.expected) << step.what << ": " << describe(calls);
        EXPECT_EQ(GetActiveWindow(), step.active) << step.what;
        EXPECT_EQ(GetFocus(), step.focus) << step.what;
    }
}

TEST_F(WindowInputTest, TheForegroundWindowIsActiveAndFollowsActivationOnItsThread) {
    HWND const a = make();
    HWND const b = make();
    HWND const child = make(WS_CHILD, a);
    ASSERT_TRUE(SetForegroundWindow(child));  // its top-level window comes forward
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(GetActiveWindow(), a);
    calls.clear();
    ASSERT_TRUE(SetForegroundWindow(b));
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], (Call{a, WM_ACTIVATE, WA_INACTIVE, l(b)}));
    EXPECT_EQ(calls[2], (Call{b, WM_ACTIVATE, WA_ACTIVE, l(a)}));
    SetActiveWindow(a);
    EXPECT_EQ(GetForegroundWindow(), a);
    DestroyWindow(a);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_FALSE(SetForegroundWindow(reinterpret_cast<HWND>(0x5555)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowInputTest, TheWindowLosingTheCaptureIsToldBeforeTheCallReturns) {
    HWND const a = make();
    HWND const b = make();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(calls, (std::vector<Call>{{a, WM_CAPTURECHANGED, 0, l(b)}}));
    EXPECT_EQ(GetCapture(), b);
    calls.clear();
    EXPECT_EQ(SetCapture(b), b);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(calls, (std::vector<Call>{{b, WM_CAPTURECHANGED, 0, 0}}));
    EXPECT_EQ(GetCapture(), nullptr);
    calls.clear();
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_TRUE(calls.empty());

    SetCapture(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WindowInputTest, FocusActivationAndCaptureBelongToEachThread) {
    HWND const window = make();
    SetFocus(window);
    SetCapture(window);
    HWND focus = window, active = window, capture = window;
    std::thread([&] {
        focus = GetFocus();
        active = GetActiveWindow();
        capture = GetCapture();
    }).join();
    EXPECT_EQ(focus, nullptr);
    EXPECT_EQ(active, nullptr);
    EXPECT_EQ(capture, nullptr);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_EQ(GetCapture(), window);
}

TEST_F(WindowInputTest, ConsecutiveMouseMovesToOneWindowAreMerged) {
    HWND const a = make();
    HWND const b = make();
    auto const move = [](HWND window, int x) { return MSG{window, WM_MOUSEMOVE, 0, x, 0, {}}; };
    auto const down = [](HWND window, int x) { return MSG{window, WM_LBUTTONDOWN, 0, x, 0, {}}; };
    struct Case {
        const char* what;
        std::vector<MSG> fed;
        std::vector<std::pair<UINT, LPARAM>> taken;
    };
    std::vector<Case> const cases{
        {"three moves: the last", {move(a, 1), move(a, 2), move(a, 3)}, {{WM_MOUSEMOVE, 3}}},
        {"a press between moves keeps both sides",
         {move(a, 1), down(a, 2), move(a, 3), move(a, 4)},
         {{WM_MOUSEMOVE, 1}, {WM_LBUTTONDOWN, 2}, {WM_MOUSEMOVE, 4}}},
        {"moves to other windows are kept", {move(a, 1), move(b, 2), move(a, 3)},
         {{WM_MOUSEMOVE, 1}, {WM_MOUSEMOVE, 2}, {WM_MOUSEMOVE, 3}}},
    };
    for (auto const& one : cases) {
        for (auto const& message : one.fed) ASSERT_TRUE(platform::post_input_message(message));
        std::vector<std::pair<UINT, LPARAM>> taken;
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, PM_REMOVE)) {
            taken.emplace_back(message.message, message.lParam);
        }
        EXPECT_EQ(taken, one.taken) << one.what;
    }
    EXPECT_FALSE(platform::post_input_message(move(reinterpret_cast<HWND>(0x77), 1)));
}

TEST_F(WindowInputTest, KeyStateFollowsTheKeyMessagesTaken) {
    HWND const window = make();
    platform::post_input_message(MSG{window, WM_KEYDOWN, VK_SHIFT, 0, 0, {}});
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "down before it was taken";
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "down when only looked at";
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, 1);
    platform::post_input_message(MSG{window, WM_KEYUP, VK_SHIFT, 0, 0, {}});
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, 1) << "the toggle stays until the next press";
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetKeyState(0x1000), 0);
}

TEST_F(WindowInputTest, InputWakesAWaitForInput) {
    HWND const window = make();
    std::thread later([&] { platform::post_input_message(MSG{window, WM_LBUTTONDOWN, 0, 0, 0, {}}); });
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_MOUSEBUTTON), WAIT_OBJECT_0);
    later.join();
}

TEST_F(WindowInputTest, AThreadsEndDropsItsInputState) {
    HWND window = nullptr;
    std::thread([&] {
        window = make();
        SetFocus(window);
        SetCapture(window);
    }).join();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(window), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

}  // namespace
