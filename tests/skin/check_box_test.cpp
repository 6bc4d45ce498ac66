// Check boxes: the flag flips before the click is heard, the texts and looks of each state,
// and a change that is no change.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "skin/check_box.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlCheckBox;

// Logs the state that a listener reads when it hears the click.
class CheckForm : public EventForm {
public:
    using EventForm::EventForm;
    void on_click(skinner::Control* sender) override {
        auto* const box = dynamic_cast<ControlCheckBox*>(sender);
        clicks.push_back(box && box->is_checked());
    }
    std::vector<bool> clicks;
};

class CheckBoxTest : public ControlKindsTest {
protected:
    std::unique_ptr<ControlCheckBox> box(const std::string& records) {
        form.reset();
        use_kinds_skin(form_xml("Checks", 200, 100,
                                control_xml("chk", 10, 10, 40, 20,
                                            picture_xml("Normal", "blue") + picture_xml("CheckedNormal", "green") +
                                                records)));
        form = std::make_unique<CheckForm>(properties.get(), u"Checks", log);
        return std::make_unique<ControlCheckBox>(form.get(), u"chk");
    }
    void tap() {
        form->on_stylus_down({20, 20}, 0);
        form->on_stylus_up({20, 20}, 0);
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<CheckForm> form;
};

TEST_F(CheckBoxTest, EachActivationFlipsTheFlagBeforeTheClickIsHeard) {
    auto const chk = box(string_xml("Text", "Off") + string_xml("CheckedText", "On"));
    EXPECT_FALSE(chk->is_checked());
    EXPECT_EQ(chk->get_text(), u"Off");
    tap();
    EXPECT_EQ(chk->get_text(), u"On");
    tap();
    chk->activate();
    EXPECT_EQ(form->clicks, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(chk->get_text(), u"On");
}

TEST_F(CheckBoxTest, TheTextsOfBothStates) {
    struct Case {
        const char* name;
        std::string records;
        std::function<void(ControlCheckBox&)> before;
        const char16_t* unchecked;
        const char16_t* checked;
    };
    std::vector<Case> const cases = {
        {"no CheckedText", string_xml("Text", "Loop"), nullptr, u"Loop", u"Loop"},
        {"two texts", string_xml("Text", "Off") + string_xml("CheckedText", "On"), nullptr, u"Off", u"On"},
        {"set_text replaces both", string_xml("Text", "Off") + string_xml("CheckedText", "On"),
         [](ControlCheckBox& c) { c.set_text(u"New"); }, u"New", u"New"},
        {"set_state_text of the checked state", string_xml("Text", "Off"),
         [](ControlCheckBox& c) { c.set_state_text(u"Yes", true); }, u"Off", u"Yes"},
    };
    for (auto const& c : cases) {
        auto const chk = box(c.records);
        if (c.before) c.before(*chk);
        EXPECT_EQ(chk->get_text(), c.unchecked) << c.name;
        chk->set_checked(true);
        EXPECT_EQ(chk->get_text(), c.checked) << c.name;
        chk->set_checked(false);
        EXPECT_EQ(chk->get_text(), c.unchecked) << c.name;
    }
}

TEST_F(CheckBoxTest, TheCheckedLooksAreDrawnWhileChecked) {
    auto const chk = box("");
    Surface before(80, 40);
    before.paint(*chk);
    EXPECT_EQ(before.at(20, 20), blue);
    chk->set_checked(true);
    Surface after(80, 40);
    after.paint(*chk);
    EXPECT_EQ(after.at(20, 20), green);
}

TEST_F(CheckBoxTest, CheckingACheckedBoxChangesNothing) {
    ASSERT_TRUE(screen.connected());
    auto const chk = box(integer_xml("Checked", 1));
    EXPECT_TRUE(chk->is_checked()) << "the skin's Checked";
    painted();
    chk->set_checked(true);
    RECT rect;
    EXPECT_FALSE(GetUpdateRect(form->get_window(), &rect, FALSE));
    chk->set_checked(false);
    EXPECT_TRUE(GetUpdateRect(form->get_window(), &rect, FALSE));
}

TEST_F(CheckBoxTest, AReloadKeepsTheUsersChoiceUnlessTheSkinSetsIt) {
    auto const chk = box("");
    chk->set_checked(true);
    chk->load_properties();
    EXPECT_TRUE(chk->is_checked());
    EXPECT_NE(chk->get_impl(), nullptr);
}

}  // namespace
}  // namespace form_test
