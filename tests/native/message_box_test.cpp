// The message box on the device's screen, answered through the screen's stylus and keys
// while the box runs its own loop on the test's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "native/message_box.h"
#include "native/native_controls.h"
#include "platform/dialogs.h"
#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "tests/support/eventually.h"
#include "tests/support/message_loop.h"
#include "tests/support/expected_image.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace {

using platform::screen::ScreenPicture;
using platform::screen::ScreenRect;

constexpr char box_class[] = "sonbrix_message_box";

std::atomic<int> ticks{0};
std::atomic<int> owner_taps{0};
std::atomic<bool> box_ended{false};

LRESULT owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER) ++ticks;
    if (message == WM_LBUTTONDOWN) ++owner_taps;
    return DefWindowProcW(window, message, wparam, lparam);
}

// The test's second thread: sees the screen as a user does, and acts on it.
class User {
public:
    explicit User(testing_support::TestScreen& screen) : screen_(screen) {}

    // The open box; waits until it is on the screen, in front.
    platform::screen::ScreenWindow box() {
        for (int attempt = 0; attempt < 1000 && !box_ended; ++attempt) {
            screen_.wait_idle();
            for (auto const& window : screen_.windows()) {
                if (window.class_name == box_class && window.visible && window.foreground) return window;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ADD_FAILURE() << "no message box on the screen";
        return {};
    }
    int scale() { return screen_.control().metrics().dpi >= 192 ? 2 : 1; }
    // The middle of button `index` of `count`: buttons of 60 pixels (their texts are
    // narrower) 8 apart, centred, 8 above the bottom edge, at 96 dpi.
    POINT button(const ScreenRect& box, int index, int count) {
        int const s = scale();
        int const row = count * 60 * s + (count - 1) * 8 * s;
        int const left = box.left + (box.right - box.left - row) / 2 + index * 68 * s;
        return {left + 30 * s, box.bottom - 8 * s - 12 * s};
    }
    void tap(POINT point) { EXPECT_TRUE(screen_.control().tap(point.x, point.y)); }
    void press(std::uint32_t vk) { EXPECT_TRUE(screen_.control().press(vk)); }
    testing_support::TestScreen& screen() { return screen_; }

private:
    testing_support::TestScreen& screen_;
};

class MessageBoxTest : public testing_support::DeviceTest {
protected:
    explicit MessageBoxTest(const char* size = "240x320") : screen(size) {}
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        native::start_native_controls();
        ticks = 0;
        owner_taps = 0;
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = owner_procedure;
        window_class.hbrBackground = brush_;
        window_class.lpszClassName = u"BoxOwner";
        RegisterClassW(&window_class);
        owner_ = CreateWindowExW(0, u"BoxOwner", u"Owner", WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                 GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        SetForegroundWindow(owner_);
        SetTimer(owner_, 1, 10, nullptr);
    }
    void TearDown() override {
        platform::set_message_box_presenter(nullptr);
        DestroyWindow(owner_);
        UnregisterClassW(u"BoxOwner", nullptr);
        DeleteObject(brush_);
    }

    // Runs the box on this thread while `act` plays the user on another.
    int ask(HWND owner, LPCWSTR text, UINT type, const std::function<void(User&)>& act) {
        box_ended = false;
        std::thread user_thread([&] {
            User user(screen);
            act(user);
            // A guard against a hanging test: a box still open long after is answered.
            for (int wait = 0; wait < 1000 && !box_ended; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (box_ended) return;
            ADD_FAILURE() << "the box stayed open";
            user.press(VK_ESCAPE);
        });
        int const answer = MessageBoxW(owner, text, u"Question", type);
        box_ended = true;
        user_thread.join();
        return answer;
    }

    bool box_gone() {
        return testing_support::pump_messages_until([&] {
            for (auto const& window : screen.windows()) {
                if (window.class_name == box_class) return false;
            }
            return true;
        });
    }

    testing_support::TestScreen screen;
    HBRUSH brush_ = CreateSolidBrush(RGB(0, 128, 0));
    HWND owner_ = nullptr;
};

struct AnswerCase {
    const char* name;
    UINT type;
    std::function<void(User&)> act;
    int answer;
};

std::function<void(User&)> tap_button(int index, int count) {
    return [=](User& user) { user.tap(user.button(user.box().rect, index, count)); };
}

std::function<void(User&)> press_keys(std::vector<std::uint32_t> keys) {
    return [=](User& user) {
        user.box();
        for (auto vk : keys) user.press(vk);
    };
}

TEST_F(MessageBoxTest, EachButtonAndKeyGivesItsAnswer) {
    std::vector<AnswerCase> const cases = {
        {"OK tapped", MB_OK, tap_button(0, 1), IDOK},
        {"OK of OK/Cancel tapped", MB_OKCANCEL, tap_button(0, 2), IDOK},
        {"Cancel tapped", MB_OKCANCEL, tap_button(1, 2), IDCANCEL},
        {"Yes tapped", MB_YESNO | MB_ICONQUESTION, tap_button(0, 2), IDYES},
        {"No tapped", MB_YESNO | MB_ICONQUESTION, tap_button(1, 2), IDNO},
        {"Yes of three tapped", MB_YESNOCANCEL, tap_button(0, 3), IDYES},
        {"No of three tapped", MB_YESNOCANCEL, tap_button(1, 3), IDNO},
        {"Cancel of three tapped", MB_YESNOCANCEL, tap_button(2, 3), IDCANCEL},
        {"Enter answers the first button", MB_YESNO, press_keys({VK_RETURN}), IDYES},
        {"Enter answers the default button", MB_YESNO | MB_DEFBUTTON2, press_keys({VK_RETURN}), IDNO},
        {"Right moves to the next button", MB_YESNOCANCEL, press_keys({VK_RIGHT, VK_RIGHT, VK_RETURN}), IDCANCEL},
        {"Left wraps to the last button", MB_OKCANCEL, press_keys({VK_LEFT, VK_RETURN}), IDCANCEL},
        {"Escape of OK", MB_OK | MB_ICONINFORMATION, press_keys({VK_ESCAPE}), IDOK},
        {"Escape of OK/Cancel", MB_OKCANCEL, press_keys({VK_ESCAPE}), IDCANCEL},
        {"Escape of Yes/No is No", MB_YESNO, press_keys({VK_ESCAPE}), IDNO},
        {"Escape of Yes/No/Cancel", MB_YESNOCANCEL, press_keys({VK_ESCAPE}), IDCANCEL},
        {"a press dragged off its button answers nothing",
         MB_OKCANCEL,
         [](User& user) {
             ScreenRect const box = user.box().rect;
             POINT const ok = user.button(box, 0, 2);
             EXPECT_TRUE(user.screen().control().drag(ok.x, ok.y, ok.x, box.top + 4));
             user.box();
             user.press(VK_ESCAPE);
         },
         IDCANCEL},
        {"a tap on the text answers nothing",
         MB_OKCANCEL,
         [](User& user) {
             ScreenRect const box = user.box().rect;
             user.tap({(box.left + box.right) / 2, box.top + 40});
             user.box();
             user.press(VK_ESCAPE);
         },
         IDCANCEL},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(ask(owner_, u"Save the changes?", c.type, c.act), c.answer) << c.name;
        EXPECT_TRUE(box_gone()) << c.name << ": left open";
    }
}

TEST_F(MessageBoxTest, TheOwnerIsDisabledWhileItsTimerKeepsTickingAndComesBackAfter) {
    int const answer = ask(owner_, u"Recording stopped.", MB_OK, [&](User& user) {
        auto const box = user.box();
        EXPECT_FALSE(IsWindowEnabled(owner_));
        int const before = ticks;
        EXPECT_TRUE(testing_support::eventually([&] { return ticks >= before + 3; })) << "the owner's timer stopped";
        user.tap({2, 2});  // on the owner, outside the box
        user.screen().wait_idle();
        user.tap(user.button(box.rect, 0, 1));
    });
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(owner_taps.load(), 0) << "a disabled owner got the tap";
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(GetForegroundWindow(), owner_);
    EXPECT_EQ(GetActiveWindow(), owner_);
}

TEST_F(MessageBoxTest, ABoxWithoutOwnerLeavesTheOtherWindowsEnabled) {
    int const answer = ask(nullptr, u"No owner.", MB_OKCANCEL, [&](User& user) {
        user.box();
        EXPECT_TRUE(IsWindowEnabled(owner_));
        user.tap(user.button(user.box().rect, 1, 2));
    });
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_TRUE(box_gone());
}

TEST_F(MessageBoxTest, SendsToTheBoxAreAnsweredInItsLoopAndTheFormsPrivateMessagesAreIgnored) {
    int const answer = ask(owner_, u"Wait.", MB_OK, [&](User& user) {
        auto const box = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(user.box().window));
        for (UINT message : {WM_USER + 2, WM_USER + 4, WM_USER + 33}) {
            EXPECT_EQ(SendMessageW(box, message, 1, 1), 0) << message;
        }
        EXPECT_EQ(user.box().window, reinterpret_cast<std::uintptr_t>(box)) << "still up";
        user.press(VK_RETURN);
    });
    EXPECT_EQ(answer, IDOK);
}

TEST_F(MessageBoxTest, WithoutTheNativeControlsTheAnswerComesFromTheStandardErrorStand_in) {
    platform::set_message_box_presenter(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(owner_, u"disk full", u"Recorder", MB_YESNO), IDYES);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Recorder: disk full\n");
}

// ---- How it looks ---------------------------------------------------------------------

void expect_look(const char* name, const std::function<int(const std::function<void(User&)>&)>& ask) {
    ask([&](User& user) {
        user.box();
        user.screen().wait_idle();
        ScreenPicture const actual = user.screen().screenshot();
        EXPECT_EQ(testing_support::compare_with_expected(actual, SONBRIX_NATIVE_EXPECTED, name), "");
        user.press(VK_ESCAPE);
    });
}

TEST_F(MessageBoxTest, LooksAsExpected) {
    expect_look("message_box_240x320", [&](const std::function<void(User&)>& act) {
        return ask(owner_, u"Delete \"Morning walk.wav\"? A deleted recording cannot be brought back.",
                   MB_YESNO | MB_ICONQUESTION, act);
    });
}

class LargeMessageBoxTest : public MessageBoxTest {
protected:
    LargeMessageBoxTest() : MessageBoxTest("480x640") {}
};

TEST_F(LargeMessageBoxTest, LooksAsExpected) {
    expect_look("message_box_480x640", [&](const std::function<void(User&)>& act) {
        return ask(owner_, u"Delete \"Morning walk.wav\"? A deleted recording cannot be brought back.",
                   MB_YESNO | MB_ICONQUESTION, act);
    });
}

TEST_F(LargeMessageBoxTest, ButtonsAreTappedAtTheLargeScreensSize) {
    EXPECT_EQ(ask(owner_, u"Overwrite?", MB_YESNOCANCEL | MB_ICONEXCLAMATION, tap_button(1, 3)), IDNO);
}

}  // namespace
