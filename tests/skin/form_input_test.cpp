// Stylus and keys through the platform to the controls of a form: capture, hover, double
// taps, tap-and-hold, characters before key-downs, Tab order, the input method's result and
// a command line from a second start.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "foundation/application.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "skin/form_impl.h"
#include "skin/shell_calls.h"
#include "tests/skin/form_fixture.h"
#include "tests/support/child_process.h"

namespace form_test {
namespace {

constexpr UINT vk_tab = 9;

skinner::shell::Overrides gesture_override() {
    skinner::shell::Overrides overrides;
    overrides.gesture = [](HWND, skinner::Point) { return skinner::shell::GN_CONTEXTMENU; };
    return overrides;
}

LPARAM at(int x, int y) { return static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) | (x & 0xFFFF)); }

class FormInputTest : public FormTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        use_skin(form_xml("Input", 200, 200,
                          control_xml("a", 10, 10, 50, 50) +
                              control_xml("off", 100, 10, 50, 50, "<integer name=\"Enabled\" value=\"0\"/>") +
                              control_xml("g", 10, 100, 50, 50, "<integer name=\"Gestures\" value=\"1\"/>") +
                              control_xml("b", 100, 100, 50, 50)));
        form = std::make_unique<TestForm>(nullptr, properties.get(), u"Input", log);
        a = std::make_unique<ProbeControl>(form.get(), "a", log);
        off = std::make_unique<ProbeControl>(form.get(), "off", log);
        g = std::make_unique<ProbeControl>(form.get(), "g", log);
        b = std::make_unique<ProbeControl>(form.get(), "b", log);
        SetForegroundWindow(form->get_window());
        painted();
        log.clear();
    }

    void TearDown() override {
        skinner::shell::set_overrides({});
        b.reset();
        g.reset();
        off.reset();
        a.reset();
        form.reset();
    }

    // What reached the controls, without stylus moves, painting and focus changes.
    Log input() const {
        Log found;
        for (auto const& line : log) {
            bool const shown = line.find(" move ") == std::string::npos && !line.ends_with(" paint") &&
                               !line.ends_with(" focus") && !line.ends_with(" blur");
            if (shown) found.push_back(line);
        }
        return found;
    }

    // Runs the action and waits until `count` input lines came; then until the screen is idle.
    Log input_after(const std::function<bool()>& action, std::size_t count) {
        log.clear();
        EXPECT_TRUE(action());
        EXPECT_TRUE(pump_until([&] { return input().size() >= count; })) << input().size() << " lines";
        painted();
        return input();
    }

    void post(UINT message, int x, int y) {
        ASSERT_TRUE(platform::post_input_message(MSG{form->get_window(), message, message == WM_LBUTTONUP ? 0u : 1u, at(x, y), 0, {}}));
    }

    std::unique_ptr<TestForm> form;
    std::unique_ptr<ProbeControl> a, off, g, b;
};

TEST_F(FormInputTest, StylusSequencesReachTheControlThatWasPressed) {
    skinner::shell::set_overrides(gesture_override());
    auto& control = screen.control();
    struct Case {
        const char* name;
        std::function<bool()> action;
        Log expected;
    };
    std::vector<Case> const cases = {
        {"a tap", [&] { return control.tap(20, 20); }, {"a down 20,20 0", "a up 20,20 0"}},
        {"a tap on a disabled control reaches nobody", [&] { return control.tap(110, 20) && control.tap(120, 120); },
         {"b down 120,120 0", "b up 120,120 0"}},
        {"dragged off and lifted outside, the pressed control hears the up",
         [&] { return control.drag(45, 45, 190, 190); }, {"a down 45,45 0", "a up 190,190 0"}},
        {"tap-and-hold on a control with gestures is the context button",
         [&] { return control.tap(20, 110); }, {"g context-down 20,110 0", "g context-up 20,110 0"}},
        {"tap-and-hold elsewhere is an ordinary tap", [&] { return control.tap(130, 140); },
         {"b down 130,140 0", "b up 130,140 0"}},
        {"a double tap", [&] { return control.tap(30, 50) && control.tap(31, 50); },
         {"a down 30,50 0", "a up 30,50 0", "a down 31,50 1", "a up 31,50 1"}},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(input_after(c.action, c.expected.size()), c.expected);
    }
    EXPECT_EQ(form->get_hovered(), a.get());
    control.tap(110, 20);
    EXPECT_TRUE(pump_until([&] { return form->get_hovered() == nullptr; })) << "a disabled control clears the hover";
}

TEST_F(FormInputTest, HoldingTheStylusOnAControlWithGesturesGivesTheContextButton) {
    // The stylus is held from another thread while this one runs the form's loop.
    std::thread user;
    auto const held = [&](int x, int y) {
        return [&user, x, y] {
            user = std::thread([x, y] {
                platform::screen::ScreenControl own;  // a link of its own for this thread
                if (own.connect()) own.hold(x, y, 800);
            });
            return true;
        };
    };
    EXPECT_EQ(input_after(held(20, 110), 2), (Log{"g context-down 20,110 0", "g context-up 20,110 0"}));
    user.join();
    EXPECT_EQ(input_after(held(120, 120), 2), (Log{"b down 120,120 0", "b up 120,120 0"}))
        << "without gestures a hold is an ordinary press";
    user.join();
}

TEST_F(FormInputTest, AnUpWithoutADownReachesNobody) {
    post(WM_LBUTTONUP, 20, 20);
    post(WM_LBUTTONDOWN, 120, 120);
    post(WM_LBUTTONUP, 120, 120);
    ASSERT_TRUE(pump_until([&] { return input().size() >= 2; }));
    EXPECT_EQ(input(), (Log{"b down 120,120 0", "b up 120,120 0"}));
}

TEST_F(FormInputTest, LosingTheCaptureMidPressGivesExactlyOneUp) {
    post(WM_LBUTTONDOWN, 20, 20);
    ASSERT_TRUE(pump_until([&] { return input().size() == 1; }));
    EXPECT_EQ(GetCapture(), form->get_window());
    HWND const other = CreateWindowExW(0, skinner::form_class_name().c_str(), u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
    SetCapture(other);
    ReleaseCapture();
    DestroyWindow(other);
    post(WM_LBUTTONUP, 25, 25);
    post(WM_LBUTTONDOWN, 120, 120);
    ASSERT_TRUE(pump_until([&] { return input().size() >= 3; }));
    EXPECT_EQ(input(), (Log{"a down 20,20 0", "a up -1,-1 0", "b down 120,120 0"}));
    EXPECT_EQ(form->get_capturing(), b.get());
}

TEST_F(FormInputTest, ACharacterComesFirstAndTheKeyDownOnlyWhenTheCharacterIsRefused) {
    a->set_focus();
    ASSERT_EQ(form->get_focused(), a.get());
    auto& control = screen.control();
    EXPECT_EQ(input_after([&] { return control.press('A', u'a'); }, 3), (Log{"a char a", "a keydown 20", "a keyup 20"}));
    a->takes_chars = true;
    EXPECT_EQ(input_after([&] { return control.press('B', u'b'); }, 2), (Log{"a char b", "a keyup 21"}));
    EXPECT_EQ(input_after([&] { return control.press(VK_LEFT); }, 2), (Log{"a keydown 4", "a keyup 4"}));
}

TEST_F(FormInputTest, TabAndShiftTabMoveTheFocusInTabOrderAndWrap) {
    use_skin(form_xml("Tabs", 200, 200,
                      control_xml("t2", 0, 0, 10, 10, "<integer name=\"TabOrder\" value=\"2\"/>") +
                          control_xml("t0", 20, 0, 10, 10) +
                          control_xml("t1", 40, 0, 10, 10, "<integer name=\"TabOrder\" value=\"1\"/>") +
                          control_xml("no", 60, 0, 10, 10, "<integer name=\"WantFocus\" value=\"0\"/>")));
    TearDown();
    TestForm tabs(nullptr, properties.get(), u"Tabs", log);
    ProbeControl t2(&tabs, "t2", log), t0(&tabs, "t0", log), t1(&tabs, "t1", log), no(&tabs, "no", log);
    SetForegroundWindow(tabs.get_window());
    tabs.set_has_focus(true);
    ASSERT_EQ(tabs.get_focused(), &t2) << "the first control that can take the focus took it";
    ASSERT_TRUE(pump_until_in_front(tabs.get_window()));
    auto& control = screen.control();
    auto const focus_after = [&](const std::function<bool()>& keys, skinner::Control* expected) {
        EXPECT_TRUE(keys());
        return pump_until([&] { return tabs.get_focused() == expected; });
    };
    EXPECT_TRUE(focus_after([&] { return control.press(vk_tab); }, &t0)) << "Tab from the last wraps";
    EXPECT_TRUE(focus_after([&] { return control.press(vk_tab); }, &t1));
    EXPECT_TRUE(focus_after([&] { return control.press(vk_tab); }, &t2));
    EXPECT_TRUE(focus_after([&] { return control.press(vk_tab); }, &t0));
    auto const shift_tab = [&] {
        return control.key(VK_SHIFT, true) && control.press(vk_tab) && control.key(VK_SHIFT, false);
    };
    EXPECT_TRUE(focus_after(shift_tab, &t2)) << "Shift+Tab from the first wraps";
    EXPECT_TRUE(focus_after(shift_tab, &t1));
    EXPECT_TRUE(tabs.move_focus(false));
    EXPECT_EQ(tabs.get_focused(), &t0);
    EXPECT_FALSE(tabs.move_focus(false)) << "t0 is first: wrapping reports false";
    EXPECT_EQ(tabs.get_focused(), &t2);
    t2.set_enabled(false);
    EXPECT_EQ(tabs.get_focused(), &t0) << "disabling the focused control moves the focus on";
}

TEST_F(FormInputTest, OnlyANonEmptyInputMethodResultReachesTheFocusedControl) {
    a->set_focus();
    struct Case {
        long byte_length;
        std::u16string text;
        Log expected;
    };
    std::vector<Case> const cases = {
        {6, u"abc", {"a char abc"}}, {5, u"abc", {"a char ab"}}, {1, u"abc", {}},
        {0, u"", {}},               {-1, u"", {}},             {-2, u"junk", {}},
        {40, u"ab", {"a char ab"}},
    };
    for (auto const& c : cases) {
        skinner::shell::Overrides overrides;
        overrides.composition = [&](HWND) { return skinner::shell::Composition{c.byte_length, c.text}; };
        skinner::shell::set_overrides(overrides);
        log.clear();
        SendMessageW(form->get_window(), WM_IME_COMPOSITION, 0, 0x800);
        SendMessageW(form->get_window(), WM_IME_COMPOSITION, 0, 0x1);
        EXPECT_EQ(input(), c.expected) << c.byte_length;
    }
}

TEST_F(FormInputTest, CopiedDataWithWordZeroIsBroughtToTheFront) {
    struct Case {
        ULONG_PTR word;
        std::u16string text;
        DWORD bytes;
        Log expected;
    };
    std::vector<Case> const cases = {
        {0, u"play", 8, {"front play"}}, {0, u"play", 7, {"front pla"}}, {1, u"play", 8, {}}, {0, u"", 0, {"front "}},
    };
    for (auto const& c : cases) {
        log.clear();
        COPYDATASTRUCT data{c.word, c.bytes, const_cast<char16_t*>(c.text.data())};
        SendMessageW(form->get_window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(FormInputTest, ASecondStartHandsItsCommandLineToTheMainForm) {
    TearDown();
    os::Application application{nullptr, u"Probe"};
    TestForm main(nullptr, properties.get(), u"Input", log);
    log.clear();
    testing_support::ChildProcess start({"start", "Probe", "\\My Documents\\a.mp3"});
    EXPECT_TRUE(pump_until([&] { return !log.empty(); }));
    EXPECT_EQ(log, (Log{"front \\My Documents\\a.mp3"}));
    EXPECT_TRUE(pump_until([&] { return start.exit_code_if_ended().has_value(); }));
    EXPECT_EQ(start.exit_code_if_ended(), 1) << "the second start found the first";
}

}  // namespace
}  // namespace form_test
