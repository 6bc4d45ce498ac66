// The platform sides of skinned buttons, chosen by the button's action: the title bar's
// text and OK button, the close button, the system menu that has none, and the plain kinds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/dialogs.h"
#include "platform/windows.h"
#include "skin/button.h"
#include "skin/button_impl_pocket.h"
#include "skin/form.h"
#include "skin/properties.h"
#include "skin/shell_buttons.h"
#include "tests/skin/skin_fixture.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"

namespace {

using skinner::ControlButton;

const char* const action_names[] = {
    "NOTHING", "CAPTION", "BORDER_LEFT", "BORDER_RIGHT", "BORDER_BOTTOM", "BORDER_TOP",
    "CORNER_BOTTOM_LEFT", "CORNER_BOTTOM_RIGHT", "CORNER_TOP_LEFT", "CORNER_TOP_RIGHT", "BUTTON_CLOSE",
    "BUTTON_MINIMIZE", "BUTTON_MAXIMIZE", "BUTTON_SYSMENU", "BUTTON_OK", "BUTTON_CANCEL", "BUTTON_YES",
    "BUTTON_NO_MENU"};

// A form "Kinds" with a button "btnN" for each action N, each 20 pixels square in a row,
// focusable, with a picture, and the text "Text N".
std::string kinds_skin() {
    std::string controls;
    for (int action = 0; action < 18; ++action) {
        std::string const n = std::to_string(action);
        controls += "<control name=\"btn" + n + "\">"
                    "<point name=\"Position\" x=\"" + std::to_string(action * 12) + "\" y=\"" + std::to_string(action % 2 * 30) + "\"/>"
                    "<point name=\"Size\" x=\"12\" y=\"20\"/>"
                    "<integer name=\"WantFocus\" value=\"1\"/>"
                    "<string name=\"Text\" value=\"Text " + n + "\"/>"
                    "<string name=\"Action\" value=\"" + action_names[action] + "\"/>"
                    "<picture name=\"Normal\" image=\"buttons\" outer=\"0 0 20 20\"/>"
                    "</control>";
    }
    return "<screens><screen width=\"240\" height=\"320\"/></screens>"
           "<pictures><picture name=\"buttons\"/></pictures>"
           "<form name=\"Kinds\"><point name=\"Size\" x=\"240\" y=\"100\"/>" + controls + "</form>";
}

class KindsForm : public skinner::Form {
public:
    explicit KindsForm(skinner::Properties* properties) : Form(nullptr, properties, u"Kinds", nullptr) {}
    void on_click(skinner::Control* sender) override { clicked.push_back(sender->get_name()); }
    std::vector<std::u16string> clicked;
};

class ButtonKindsTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        properties = std::make_unique<skinner::Properties>(skin_test::load(skin_test::compile(kinds_skin())));
        ASSERT_TRUE(properties->is_loaded());
        form = std::make_unique<KindsForm>(properties.get());
        skinner::shell::set_title_ok_observer([this](HWND window, DWORD state) { title_ok.push_back({window, state}); });
    }
    void TearDown() override {
        buttons.clear();
        form.reset();
        skinner::shell::set_title_ok_observer(nullptr);
    }
    ControlButton& button(int action) {
        std::string const digits = std::to_string(action);
        buttons.push_back(std::make_unique<ControlButton>(form.get(), u"btn" + std::u16string(digits.begin(), digits.end())));
        return *buttons.back();
    }
    std::u16string window_text() {
        char16_t text[64] = {};
        GetWindowTextW(form->get_window(), text, 64);
        return text;
    }

    std::unique_ptr<skinner::Properties> properties;
    std::unique_ptr<KindsForm> form;
    std::vector<std::unique_ptr<ControlButton>> buttons;
    std::vector<std::pair<HWND, DWORD>> title_ok;
};

TEST_F(ButtonKindsTest, EachActionGetsItsKindAndLooks) {
    struct Expected {
        const std::type_info* kind;
        bool painted, focusable;
    };
    auto const& plain = typeid(skinner::ControlButtonImpl);
    std::vector<Expected> const expected = {
        {&plain, true, true},
        {&typeid(skinner::ControlButtonImplCaptionPocket), true, true},
        {&plain, false, false}, {&plain, false, false}, {&plain, false, false}, {&plain, false, false},
        {&plain, false, false}, {&plain, false, false}, {&plain, false, false}, {&plain, false, false},
        {&typeid(skinner::ControlButtonImplClosePocket), true, true},
        {&plain, true, true}, {&plain, true, true},
        {&plain, false, false},  // the system menu: nothing of its own
        {&typeid(skinner::ControlButtonImplOKPocket), true, true},
        {&plain, true, true}, {&plain, true, true}, {&plain, true, true},
    };
    for (int action = 0; action < 18; ++action) {
        ControlButton& made = button(action);
        ASSERT_EQ(made.get_action(), action);
        skinner::ControlButtonImpl* const impl = made.get_impl();
        ASSERT_NE(impl, nullptr) << action_names[action];
        EXPECT_EQ(typeid(*impl), *expected[action].kind) << action_names[action];
        EXPECT_EQ(impl->is_painted(), expected[action].painted) << action_names[action];
        EXPECT_EQ(impl->is_focusable(), expected[action].focusable) << action_names[action];
        EXPECT_EQ(made.can_focus(), expected[action].focusable) << action_names[action];
        EXPECT_EQ(impl->get_button(), &made);
    }
}

TEST_F(ButtonKindsTest, TheTitleBarOkClicksTheOkButtonWhileItLives) {
    HWND const window = form->get_window();
    ControlButton& ok = button(14);
    EXPECT_EQ(title_ok, (std::vector<std::pair<HWND, DWORD>>{{window, skinner::shell::TITLE_OK_SHOW}}));

    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(form->clicked, (std::vector<std::u16string>{u"btn14"}));
    SendMessageW(window, WM_COMMAND, 2, 0);  // another command is not OK
    EXPECT_EQ(form->clicked.size(), 1u);

    ok.set_enabled(false);
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(form->clicked.size(), 1u) << "a disabled button never clicks";
    ok.set_enabled(true);

    buttons.clear();
    EXPECT_EQ(title_ok.back(), (std::pair<HWND, DWORD>{window, skinner::shell::TITLE_OK_HIDE}));
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(form->clicked.size(), 1u) << "gone with its button";
}

TEST_F(ButtonKindsTest, TheCloseButtonAsksTheFormWindowToClose) {
    ControlButton& close = button(10);
    close.activate();
    EXPECT_EQ(form->clicked, (std::vector<std::u16string>{u"btn10"}));
    MSG message{};
    ASSERT_TRUE(testing_support::next_message(message));
    EXPECT_EQ(message.hwnd, form->get_window());
    EXPECT_EQ(message.message, static_cast<UINT>(WM_CLOSE));
}

TEST_F(ButtonKindsTest, TheCaptionButtonsTextIsTheTaskBarTitle) {
    ControlButton& caption = button(1);
    EXPECT_EQ(window_text(), u"Text 1");
    caption.set_text(u"Recording");
    EXPECT_EQ(window_text(), u"Recording");
}

// A skin may give a button the system-menu action: the button is there, takes no part in
// painting, hit tests or focus, and every event on it is harmless.
TEST_F(ButtonKindsTest, TheSystemMenuButtonDoesNothingAndStaysOutOfTheWay) {
    ControlButton& menu = button(13);
    EXPECT_FALSE(menu.hit_test({menu.get_position().x + 2, menu.get_position().y + 2}));
    EXPECT_FALSE(menu.can_focus());

    skinner::Point const inside{menu.get_position().x + 2, menu.get_position().y + 2};
    menu.on_stylus_down(inside, 0);
    menu.on_stylus_move(inside, 0);
    menu.on_stylus_up(inside, 0);
    EXPECT_TRUE(menu.on_keydown(skinner::action_key_code));
    EXPECT_TRUE(menu.on_keyup(skinner::action_key_code));
    menu.set_pressed(true);
    menu.set_pressed(false);
    menu.set_text(u"System");
    menu.set_visible(false);
    menu.set_visible(true);
    menu.set_enabled(false);
    menu.set_enabled(true);
    InvalidateRect(form->get_window(), nullptr, TRUE);
    UpdateWindow(form->get_window());
    EXPECT_EQ(window_text(), u"Loading...") << "not a caption";
}

}  // namespace
