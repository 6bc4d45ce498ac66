// Multistate buttons: the state advances before the click is heard, wraps at the count,
// set_state ignores what is out of range, and each state has its own looks.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "skin/button_multistate.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlButtonMultistate;
using skinner::StateLooks;

class StateForm : public EventForm {
public:
    using EventForm::EventForm;
    void on_click(skinner::Control* sender) override {
        states.push_back(static_cast<ControlButtonMultistate*>(sender)->get_state());
    }
    std::vector<std::uint32_t> states;
};

class MultistateTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("Modes", 200, 100,
                                control_xml("mode", 10, 10, 40, 20,
                                            picture_xml("Normal", "red") + picture_xml("State0Normal", "blue") +
                                                picture_xml("State0Pressed", "yellow") +
                                                picture_xml("State1Normal", "green"))));
        form = std::make_unique<StateForm>(properties.get(), u"Modes", log);
    }
    void TearDown() override { form.reset(); }
    void tap() {
        form->on_stylus_down({20, 20}, 0);
        form->on_stylus_up({20, 20}, 0);
    }

    std::unique_ptr<StateForm> form;
};

TEST_F(MultistateTest, AClickAdvancesTheStateBeforeTheListenerHearsIt) {
    struct Case {
        std::uint32_t count;
        std::vector<std::uint32_t> heard;
    };
    for (Case const& c : {Case{2, {1, 0, 1}}, Case{3, {1, 2, 0}}, Case{1, {0, 0, 0}}, Case{0, {0, 0, 0}}}) {
        ControlButtonMultistate button(c.count, form.get(), u"mode");
        form->states.clear();
        for (int tap_index = 0; tap_index < 3; ++tap_index) tap();
        EXPECT_EQ(form->states, c.heard) << c.count << " states";
    }
}

TEST_F(MultistateTest, SetStateIgnoresTheCurrentAndOutOfRangeValues) {
    ASSERT_TRUE(screen.connected());
    ControlButtonMultistate button(2, form.get(), u"mode");
    painted();
    RECT rect;
    for (std::uint32_t index : {0u, 2u, std::numeric_limits<std::uint32_t>::max()}) {
        button.set_state(index);
        EXPECT_EQ(button.get_state(), 0u) << index;
        EXPECT_FALSE(GetUpdateRect(form->get_window(), &rect, FALSE)) << index;
    }
    button.set_state(1);
    EXPECT_EQ(button.get_state(), 1u);
    EXPECT_TRUE(GetUpdateRect(form->get_window(), &rect, FALSE));

    ControlButtonMultistate none(0, form.get(), u"none", skinner::LOOKUP_NONE);
    none.set_state(0);
    EXPECT_EQ(none.get_state(), 0u);
}

TEST_F(MultistateTest, EachStateHasItsOwnLooksFallingBackToItsNormal) {
    ControlButtonMultistate button(2, form.get(), u"mode");
    auto const picture_of = [&](int look) { return button.get_looks().looks[look].picture.get_picture(); };
    const skinner::Picture* const state0 = picture_of(StateLooks::NORMAL);
    EXPECT_NE(picture_of(StateLooks::PRESSED), state0);
    button.set_state(1);
    const skinner::Picture* const state1 = picture_of(StateLooks::NORMAL);
    ASSERT_NE(state1, nullptr);
    EXPECT_NE(state1, state0);
    for (int look : {StateLooks::PRESSED, StateLooks::HIGHLIGHTED, StateLooks::DISABLED}) {
        EXPECT_EQ(picture_of(look), state1) << look;
    }
    Surface surface(80, 40);
    surface.paint(button);
    EXPECT_EQ(surface.at(20, 20), green) << "the face follows the state, not the button's own Normal";
    button.load_properties();
    EXPECT_EQ(button.get_state(), 1u) << "a reload keeps the state";
}

}  // namespace
}  // namespace form_test
