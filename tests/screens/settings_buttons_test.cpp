// The buttons page: the rows built from the device's buttons and the stored bindings, the
// command combo and the list following each other, and what the page writes back.
#include <gtest/gtest.h>

#include "screens/settings_buttons.h"
#include "skin/check_box.h"
#include "skin/combo_box_string.h"
#include "tests/screens/settings_fixture.h"

namespace settings_test {
namespace {

using SettingsButtonsTest = SettingsFormTest;

int row_count_for_keys(SettingsButtons& page) { return page.get_list().get_row_count() - 2; }

TEST_F(SettingsButtonsTest, MissingAndUnknownBindingsAreShownAndSavedAsNoAction) {
    settings.buttons.keys = {u"Record", u"Dance", u"VolumeUp"};  // fewer than the device's six
    settings.buttons.joy_left_action = u"Next";
    settings.buttons.joy_right_action = u"Jump";
    settings.buttons.unmap_when_inactive = false;
    SettingsButtons& page = open().get_buttons();
    auto const& rows = page.get_list().get_rows();
    ASSERT_EQ(row_count_for_keys(page), 6);
    EXPECT_EQ(rows[0].action, 2);
    EXPECT_EQ(rows[1].action, 0);
    EXPECT_EQ(rows[2].action, 11);
    for (std::size_t index = 3; index < 6; ++index) EXPECT_EQ(rows[index].action, 0);
    EXPECT_EQ(rows[6].kind, SettingsButtons::joystick_left);
    EXPECT_EQ(rows[6].action, 5);
    EXPECT_EQ(rows[7].kind, SettingsButtons::joystick_right);
    EXPECT_EQ(rows[7].action, 0);
    EXPECT_FALSE(page.get_unmap().is_checked());
    // The first row is current and the combo shows its command.
    EXPECT_EQ(page.get_list().get_current_row(), 0);
    EXPECT_EQ(page.get_assign().get_selected_index(), 2);

    close();
    std::vector<std::u16string> const expected{u"Record", u"", u"VolumeUp", u"", u"", u""};
    EXPECT_EQ(settings.buttons.keys, expected);  // one per button of the device
    EXPECT_EQ(settings.buttons.joy_left_action, u"Next");
    EXPECT_EQ(settings.buttons.joy_right_action, u"");
    EXPECT_FALSE(settings.buttons.unmap_when_inactive);
}

TEST_F(SettingsButtonsTest, MoreStoredBindingsThanButtonsAreDropped) {
    settings.buttons.keys.assign(9, u"Play");
    open();
    close();
    EXPECT_EQ(settings.buttons.keys, std::vector<std::u16string>(6, u"Play"));
}

TEST_F(SettingsButtonsTest, TheComboAndTheListFollowEachOther) {
    SettingsButtons& page = open().get_buttons();
    page.get_list().set_current_row(3);
    page.get_assign().set_selected_index(7);  // "PlayStop"
    EXPECT_EQ(page.get_list().get_rows()[3].action, 7);
    page.get_list().set_current_row(6);
    EXPECT_EQ(page.get_assign().get_selected_index(), page.get_list().get_rows()[6].action);
    page.get_assign().set_selected_index(8);  // "RecordStop" on the joystick's left
    close();
    EXPECT_EQ(settings.buttons.keys[3], u"PlayStop");
    EXPECT_EQ(settings.buttons.joy_left_action, u"RecordStop");
}

TEST_F(SettingsButtonsTest, AChoiceWithoutACurrentRowChangesNoRow) {
    SettingsButtons& page = open().get_buttons();
    page.get_list().set_current_row(-1);
    page.get_assign().set_selected_index(4);
    for (auto const& row : page.get_list().get_rows()) EXPECT_NE(row.action, 4);
    close();
}

}  // namespace
}  // namespace settings_test
