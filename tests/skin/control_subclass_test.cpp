// Hooks on a window's messages: their order, results, unhooking, and hooks that change the
// hooks (or destroy the window) while a message is being walked.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/windows.h"
#include "skin/control_subclass.h"
#include "tests/support/test_device.h"

namespace {

std::vector<std::string> seen;
constexpr LRESULT window_answer = 7;

LRESULT window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER) {
        seen.push_back("window");
        return window_answer;
    }
    if (message == WM_DESTROY) seen.push_back("window destroyed");
    return DefWindowProcW(window, message, wparam, lparam);
}

class Hook : public skinner::ControlSubclass {
public:
    explicit Hook(std::string name, std::optional<LRESULT> answer = std::nullopt)
        : name_(std::move(name)), answer_(answer) {}

    // Runs once, at the hook's next WM_USER.
    std::function<void()> action;

    LRESULT on_message(UINT message, WPARAM, LPARAM, bool& pass_on) override {
        if (message == WM_DESTROY) seen.push_back(name_ + " destroyed");
        if (message != WM_USER) return 0;
        seen.push_back(name_);
        auto const answer = answer_;  // the action may delete this hook
        if (action) std::exchange(action, nullptr)();
        if (!answer) return 0;
        pass_on = false;
        return *answer;
    }

private:
    std::string name_;
    std::optional<LRESULT> answer_;
};

class ControlSubclassTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = window_procedure;
        window_class.lpszClassName = u"SubclassTest";
        RegisterClassW(&window_class);
        window = CreateWindowExW(0, u"SubclassTest", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        seen.clear();
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        UnregisterClassW(u"SubclassTest", nullptr);
    }
    LRESULT send() { return SendMessageW(window, WM_USER, 0, 0); }
    WNDPROC procedure() const { return reinterpret_cast<WNDPROC>(GetWindowLongW(window, GWL_WNDPROC)); }

    HWND window = nullptr;
};

using Seen = std::vector<std::string>;

TEST_F(ControlSubclassTest, TwoHooksSeeEveryMessageTheLaterFirst) {
    Hook first("first"), second("second");
    first.install(window);
    second.install(window);
    EXPECT_EQ(send(), window_answer);
    EXPECT_EQ(seen, (Seen{"second", "first", "window"}));
    EXPECT_EQ(first.get_window(), window);
}

TEST_F(ControlSubclassTest, AHandledMessageKeepsTheEarliestInstalledAnswerAndSkipsTheWindow) {
    struct Case {
        std::optional<LRESULT> first, second;
        LRESULT result;
        Seen seen;
    };
    std::vector<Case> const cases = {
        {std::nullopt, std::nullopt, window_answer, {"second", "first", "window"}},
        {std::nullopt, 20, 20, {"second", "first"}},
        {10, std::nullopt, 10, {"second", "first"}},
        {10, 20, 10, {"second", "first"}},
        {0, std::nullopt, 0, {"second", "first"}},
    };
    for (auto const& c : cases) {
        Hook first("first", c.first), second("second", c.second);
        first.install(window);
        second.install(window);
        seen.clear();
        EXPECT_EQ(send(), c.result);
        EXPECT_EQ(seen, c.seen);
    }
}

TEST_F(ControlSubclassTest, TheWindowProcedureComesBackWithTheLastHookRemoved) {
    WNDPROC const own = procedure();
    auto first = std::make_unique<Hook>("first");
    Hook second("second");
    first->install(window);
    second.install(window);
    EXPECT_NE(procedure(), own);

    first.reset();  // its destruction unhooks it
    seen.clear();
    send();
    EXPECT_EQ(seen, (Seen{"second", "window"}));
    EXPECT_NE(procedure(), own);

    second.uninstall();
    EXPECT_EQ(procedure(), own);
    EXPECT_EQ(second.get_window(), nullptr);
    second.uninstall();  // not installed: nothing
    seen.clear();
    send();
    EXPECT_EQ(seen, (Seen{"window"}));

    second.install(window);
    EXPECT_NE(procedure(), own) << "hooked again";
}

TEST_F(ControlSubclassTest, InstallingOnAnotherWindowLeavesTheFirst) {
    HWND const other = CreateWindowExW(0, u"SubclassTest", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    WNDPROC const own = procedure();
    Hook hook("hook");
    hook.install(window);
    hook.install(other);
    EXPECT_EQ(procedure(), own);
    EXPECT_EQ(hook.get_window(), other);
    SendMessageW(other, WM_USER, 0, 0);
    EXPECT_EQ(seen, (Seen{"hook", "window"}));
    DestroyWindow(other);
}

TEST_F(ControlSubclassTest, DestroyingTheWindowUnhooksEveryHookAfterTheySawIt) {
    WNDPROC const own = procedure();
    auto first = std::make_unique<Hook>("first");
    Hook second("second");
    first->install(window);
    second.install(window);
    DestroyWindow(window);
    EXPECT_EQ(seen, (Seen{"second destroyed", "first destroyed", "window destroyed"}));
    EXPECT_EQ(first->get_window(), nullptr);
    EXPECT_EQ(second.get_window(), nullptr);
    first.reset();  // destroying an unhooked object touches nothing

    // A new window, perhaps with the old handle, starts without hooks.
    window = CreateWindowExW(0, u"SubclassTest", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(procedure(), own);
    seen.clear();
    send();
    EXPECT_EQ(seen, (Seen{"window"}));
}

// Hooks that change the hooks of the window while a message is walked (a skin refresh, a
// form destroyed from inside a handler): the walk goes on with the hooks that were there
// when the message came and are still there.
TEST_F(ControlSubclassTest, HooksChangedDuringTheWalkAreTakenAsTheyNowAre) {
    struct Case {
        const char* name;
        std::function<void(Hook& first, std::unique_ptr<Hook>& second, Hook& third, Hook& added)> act;
        Seen during, after;
    };
    std::vector<Case> const cases = {
        {"a hook removes itself",
         [](Hook&, std::unique_ptr<Hook>& second, Hook&, Hook&) { second->action = [&] { second->uninstall(); }; },
         {"third", "second", "first", "window"},
         {"third", "first", "window"}},
        {"a hook removes one that comes later in the walk",
         [](Hook& first, std::unique_ptr<Hook>&, Hook& third, Hook&) { third.action = [&] { first.uninstall(); }; },
         {"third", "second", "window"},
         {"third", "second", "window"}},
        {"a hook deletes one that comes later in the walk",
         [](Hook&, std::unique_ptr<Hook>& second, Hook& third, Hook&) { third.action = [&] { second.reset(); }; },
         {"third", "first", "window"},
         {"third", "first", "window"}},
        {"a hook deletes itself",
         [](Hook&, std::unique_ptr<Hook>& second, Hook&, Hook&) {
             second->action = [&] { second.reset(); };
         },
         {"third", "second", "first", "window"},
         {"third", "first", "window"}},
        {"a hook adds one, which sees the next message first",
         [](Hook&, std::unique_ptr<Hook>& second, Hook&, Hook& added) {
             second->action = [&, window = second->get_window()] { added.install(window); };
         },
         {"third", "second", "first", "window"},
         {"added", "third", "second", "first", "window"}},
        {"a hook removes every hook and puts one back",
         [](Hook& first, std::unique_ptr<Hook>& second, Hook& third, Hook&) {
             third.action = [&, window = third.get_window()] {
                 third.uninstall();
                 second->uninstall();
                 first.uninstall();
                 first.install(window);
             };
         },
         {"third", "window"},
         {"first", "window"}},
    };
    for (auto const& c : cases) {
        Hook first("first"), third("third"), added("added");
        auto second = std::make_unique<Hook>("second");
        first.install(window);
        second->install(window);
        third.install(window);
        c.act(first, second, third, added);
        seen.clear();
        EXPECT_EQ(send(), window_answer) << c.name;
        EXPECT_EQ(seen, c.during) << c.name;
        seen.clear();
        send();
        EXPECT_EQ(seen, c.after) << c.name;
    }
}

TEST_F(ControlSubclassTest, AWindowDestroyedInsideAHookEndsTheWalk) {
    Hook first("first"), second("second", 42);
    first.install(window);
    second.install(window);
    second.action = [&] { DestroyWindow(window); };
    EXPECT_EQ(send(), 42);
    EXPECT_EQ(seen, (Seen{"second", "second destroyed", "first destroyed", "window destroyed"}));
    EXPECT_EQ(first.get_window(), nullptr);
    EXPECT_EQ(second.get_window(), nullptr);
    EXPECT_FALSE(IsWindow(window));

    Hook quiet("quiet");
    quiet.install(window = CreateWindowExW(0, u"SubclassTest", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    quiet.action = [&] { DestroyWindow(window); };
    seen.clear();
    EXPECT_EQ(send(), 0) << "no hook handled it and the window is gone";
    EXPECT_EQ(seen, (Seen{"quiet", "quiet destroyed", "window destroyed"}));
}

}  // namespace
