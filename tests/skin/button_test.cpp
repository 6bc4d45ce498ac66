// Skinned buttons: looks from the skin, the press and click state machine for the stylus,
// Return and the soft-key press, transparent pixels, and an action without an implementation.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/button.h"
#include "tests/skin/form_fixture.h"

namespace form_test {
namespace {

using skinner::ControlButton;
using skinner::Point;

class ButtonTest : public FormTest {
protected:
    void make(const std::string& button_records, const std::string& more_controls = "") {
        use_skin(form_xml("Buttons", 200, 200, control_xml("btn", 10, 10, 60, 30, button_records) + more_controls) +
                 "<kind name=\"Auto.Button\"/>");
        form = std::make_unique<TestForm>(nullptr, properties.get(), u"Buttons", log);
        button = std::make_unique<ControlButton>(form.get(), u"btn");
    }

    void TearDown() override {
        button.reset();
        form.reset();
    }

    int clicks() const { return static_cast<int>(std::count(log.begin(), log.end(), "click btn")); }

    std::unique_ptr<TestForm> form;
    std::unique_ptr<ControlButton> button;
};

TEST_F(ButtonTest, ALookMissingInTheSkinFallsBackToNormal) {
    make("<picture name=\"Normal\" image=\"half\"/><color name=\"Normal\" value=\"#102030\"/>"
         "<color name=\"Pressed\" value=\"#405060\"/><point name=\"BorderMin\" x=\"3\" y=\"4\"/>"
         "<string name=\"HAlignment\" value=\"left\"/><string name=\"VAlignment\" value=\"BOTTOM\"/>"
         "<string name=\"Action\" value=\"BUTTON_OK\"/><string name=\"Text\" value=\"Go\"/>");
    auto const& looks = button->get_looks().looks;
    const skinner::Picture* const normal = looks[skinner::StateLooks::NORMAL].picture.get_picture();
    ASSERT_NE(normal, nullptr);
    for (auto const& look : looks) EXPECT_EQ(look.picture.get_picture(), normal);
    EXPECT_EQ(looks[skinner::StateLooks::NORMAL].colour, 0x302010u);
    EXPECT_EQ(looks[skinner::StateLooks::PRESSED].colour, 0x605040u);
    EXPECT_EQ(looks[skinner::StateLooks::DISABLED].colour, 0x302010u);
    EXPECT_EQ(button->get_border_max(), (Point{3, 4})) << "BorderMax falls back to BorderMin";
    EXPECT_EQ(button->get_halignment(), 1) << "names are compared exactly";
    EXPECT_EQ(button->get_valignment(), 2);
    EXPECT_EQ(button->get_action(), skinner::ACTION_BUTTON_OK);
    EXPECT_EQ(button->get_text(), u"Go");
}

TEST_F(ButtonTest, TheLastPressToEndOverAnEnabledButtonClicksIt) {
    make("<integer name=\"WantFocus\" value=\"1\"/>");
    auto& b = *button;
    Point const inside{20, 20}, outside{150, 150};
    struct Case {
        const char* name;
        std::function<void()> presses;
        int clicks;
    };
    std::vector<Case> const cases = {
        {"a tap", [&] { form->on_stylus_down(inside, 0); form->on_stylus_up(inside, 0); }, 1},
        {"dragged off and lifted", [&] { form->on_stylus_down(inside, 0); form->on_stylus_up(outside, 0); }, 0},
        {"Return", [&] { form->on_keydown(9); form->on_keyup(9); }, 1},
        {"Return held while tapping",
         [&] {
             form->on_keydown(9);
             form->on_stylus_down(inside, 0);
             form->on_stylus_up(inside, 0);
             form->on_keyup(9);
         },
         1},
        {"the soft press", [&] { b.set_pressed(true); b.set_pressed(false); }, 1},
        {"Return while the focus goes elsewhere",
         [&] {
             form->on_keydown(9);
             form->set_focus(nullptr);
             form->on_keyup(9);
         },
         0},
        {"the command of its name", [&] { EXPECT_TRUE(b.on_command(u"btn")); }, 1},
        {"another command", [&] { EXPECT_FALSE(b.on_command(u"btnOther")); }, 0},
    };
    form->set_has_focus(true);
    for (bool enabled : {true, false}) {
        for (auto const& c : cases) {
            b.set_enabled(enabled);
            b.set_focus();
            log.clear();
            c.presses();
            EXPECT_EQ(clicks(), enabled ? c.clicks : 0) << c.name << (enabled ? "" : ", disabled");
            EXPECT_FALSE(b.is_pressed()) << c.name;
        }
    }
}

TEST_F(ButtonTest, ReturnPressesTheFirstSoftKeyButtonOfTheForm) {
    make("<integer name=\"WantFocus\" value=\"0\"/>");
    EXPECT_FALSE(form->on_keydown(9)) << "no soft-key button: Return is not taken";
    form->set_soft_key(0, button.get());
    EXPECT_TRUE(form->on_keydown(9));
    EXPECT_TRUE(button->is_pressed());
    EXPECT_EQ(clicks(), 0);
    EXPECT_TRUE(form->on_keyup(9));
    EXPECT_EQ(clicks(), 1);
    EXPECT_FALSE(form->on_keydown(8)) << "no second soft-key button";
}

TEST_F(ButtonTest, ATapOnATransparentPixelFallsThroughToTheControlBelow) {
    // The button's picture is see-through on its left half; "under" lies below the button.
    make("<picture name=\"Normal\" image=\"half\" outer=\"0 0 20 20\" inner=\"0 0 20 20\" stretch=\"1\"/>"
         "<integer name=\"ZOrder\" value=\"1\"/>",
         control_xml("under", 10, 10, 60, 30));
    ProbeControl under(form.get(), "under", log);
    ASSERT_TRUE(screen.connected());
    painted();
    log.clear();
    screen.control().tap(20, 20);
    ASSERT_TRUE(pump_until([&] { return std::count(log.begin(), log.end(), "under up 20,20 0") == 1; }))
        << ::testing::PrintToString(log);
    EXPECT_EQ(clicks(), 0);
    screen.control().tap(60, 25);
    ASSERT_TRUE(pump_until([&] { return clicks() == 1; }));
}

TEST_F(ButtonTest, AnActionWithoutAnImplementationIsNeitherPaintedNorFocusedNorHit) {
    make("<string name=\"Action\" value=\"BUTTON_SYSMENU\"/><integer name=\"WantFocus\" value=\"1\"/>");
    // The system menu's implementation does nothing of its own.
    ASSERT_NE(button->get_impl(), nullptr);
    EXPECT_FALSE(button->get_impl()->is_painted());
    EXPECT_FALSE(button->can_focus());
    EXPECT_FALSE(button->hit_test({20, 20}));
    button->set_text(u"menu");
    button->on_stylus_down({20, 20}, 0);
    button->on_stylus_up({20, 20}, 0);
    button->set_visible(false);
    button->set_visible(true);
    button->set_enabled(false);
    painted();
    EXPECT_EQ(clicks(), 0);
}

}  // namespace
}  // namespace form_test
