// How a focused field with a selection looks beside an unfocused one, on the small and the
// large screen, kept as expected images.
#include <gtest/gtest.h>

#include <string>

#include "tests/skin/edit_fixture.h"
#include "tests/support/expected_image.h"

namespace edit_test {
namespace {

class EditLook : public EditTest, public testing::WithParamInterface<const char*> {
protected:
    EditLook() : EditTest(GetParam()) {}
};

TEST_P(EditLook, AFocusedFieldShowsItsSelectionAndCaret) {
    make_edit();
    skinner::ControlEdit other(form.get(), u"other");
    focus();
    // The caret stays shown while the picture is taken.
    edit->stop_timer();
    edit->set_text(u"Take 01.wav");
    EXPECT_TRUE(edit->on_keydown(skinner::KEY_END));
    edit->set_selection(5, 7);
    EXPECT_EQ(testing_support::compare_with_expected(painted(), SONBRIX_SKIN_FIXTURES "/edit",
                                                     std::string("focused-") + GetParam()),
              "");
}

INSTANTIATE_TEST_SUITE_P(Screens, EditLook, testing::Values("240x320", "480x640"));

}  // namespace
}  // namespace edit_test
