// The turn-off combo: its six choices, what select_seconds picks, and the field's text.
#include "screens/turn_off_combo.h"

#include <gtest/gtest.h>

#include <memory>

#include "foundation/application.h"
#include "tests/skin/combo_fixture.h"

namespace form_test {
namespace {

class TurnOffComboTest : public ComboFixture {
protected:
    void SetUp() override {
        use_kinds_skin(combo_skin("Page", 240, 200, control_xml("cbTurnOff", 10, 10, 120, 20, combo_records(0, 60))));
        form = std::make_unique<ComboForm>(properties.get(), u"Page", log);
        combo = std::make_unique<screens::ControlComboBoxTurnOff>(form.get(), u"cbTurnOff");
    }

    void TearDown() override {
        combo.reset();
        form.reset();
    }

    os::Application application{nullptr, u"TurnOffComboTest"};
    std::unique_ptr<ComboForm> form;
    std::unique_ptr<screens::ControlComboBoxTurnOff> combo;
};

TEST_F(TurnOffComboTest, SecondsChooseTheFirstLongEnoughDelayAndNeverPastTheLongest) {
    struct Case {
        int seconds;
        int index;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{7, 3}, Case{30, 4}, Case{60, 5}, Case{61, 0}, Case{3600, 0}}) {
        SCOPED_TRACE(c.seconds);
        combo->select_seconds(c.seconds);
        EXPECT_EQ(combo->get_selected_index(), c.index);
    }
    EXPECT_EQ(combo->get_items()[5].seconds, 60);
}

TEST_F(TurnOffComboTest, TheFieldShowsTheChoiceAndTheFirstItemWhileNothingIsChosen) {
    EXPECT_EQ(combo->get_selected_index(), -1);
    combo->on_selection_changed(combo.get());
    EXPECT_EQ(combo->get_text_frame().get_text(), u"TurnOffTimeNever") << "untranslated keys show as they are";
    combo->select_seconds(5);
    EXPECT_EQ(combo->get_text_frame().get_text(), u"TurnOffTime5sec");
    combo->set_selected_index(9);
    EXPECT_EQ(combo->get_text_frame().get_text(), u"") << "an index past the items reads nothing";
    EXPECT_EQ(log, Log{}) << "the choice is read when the page closes, not reported";
}

}  // namespace
}  // namespace form_test
