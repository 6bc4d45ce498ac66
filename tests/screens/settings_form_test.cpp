// The settings form as a whole: what closing it untouched keeps, the playback page, and the
// Done button.
#include <gtest/gtest.h>

#include "screens/settings_playback.h"
#include "screens/turn_off_combo.h"
#include "skin/combo_box_string.h"
#include "tests/screens/settings_fixture.h"

namespace settings_test {
namespace {

using SettingsFormWholeTest = SettingsFormTest;

SYSTEMTIME at(int day, int hour) {
    SYSTEMTIME time{};
    time.wYear = 2027;
    time.wMonth = 1;
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    return time;
}

TEST_F(SettingsFormWholeTest, ClosingUntouchedKeepsEverySettingButTheNormalisedOnes) {
    settings.record = {u"ADPCM", 1, 16, 11025, 44000, true, u"\\Records", true, u"take", true, 30};
    settings.play.mode = 4;
    settings.play.turn_off = 60;
    settings.language = u"English";
    settings.skin = u"%app_path%\\skins\\Default\\Default.skin";
    settings.buttons.keys = {u"Play", u"Stop", u"Teleport", u"", u"Next", u"Record"};
    settings.buttons.unmap_when_inactive = false;
    settings.buttons.joy_left_action = u"VolumeDown";
    settings.buttons.joy_right_action = u"VolumeUp";
    settings.schedule.insert(ScheduleTask(at(3, 9), at(3, 10)));
    Settings const before = settings;

    open();
    close();
    EXPECT_EQ(settings.record.codec, before.record.codec);
    EXPECT_EQ(settings.record.samples, before.record.samples);
    EXPECT_EQ(settings.record.bitrate, before.record.bitrate);
    EXPECT_EQ(settings.record.folder, before.record.folder);
    EXPECT_EQ(settings.record.prefix, before.record.prefix);
    EXPECT_EQ(settings.record.default_folder, before.record.default_folder);
    EXPECT_EQ(settings.record.date_folder, before.record.date_folder);
    EXPECT_EQ(settings.record.include_date, before.record.include_date);
    EXPECT_EQ(settings.record.turn_off, before.record.turn_off);
    EXPECT_EQ(settings.play.mode, before.play.mode);
    EXPECT_EQ(settings.play.turn_off, before.play.turn_off);
    EXPECT_EQ(settings.language, before.language);
    EXPECT_EQ(settings.skin, before.skin);
    // A command the table does not know becomes no command.
    EXPECT_EQ(settings.buttons.keys,
              (std::vector<std::u16string>{u"Play", u"Stop", u"", u"", u"Next", u"Record"}));
    EXPECT_EQ(settings.buttons.unmap_when_inactive, before.buttons.unmap_when_inactive);
    EXPECT_EQ(settings.buttons.joy_left_action, before.buttons.joy_left_action);
    EXPECT_EQ(settings.buttons.joy_right_action, before.buttons.joy_right_action);
    ASSERT_EQ(settings.schedule.size(), 1u);
    EXPECT_TRUE(settings.schedule[0].Begin == before.schedule[0].Begin);
    EXPECT_TRUE(settings.play.associate_wav_cmd.empty());
}

TEST_F(SettingsFormWholeTest, ThePlaybackPageShowsAndWritesTheModeAndTurnOff) {
    settings.play.mode = 2;
    settings.play.turn_off = 3;
    SettingsPlayback& page = open().get_playback();
    EXPECT_EQ(page.get_mode().get_selected_index(), 2);
    EXPECT_EQ(page.get_mode().get_item_text(2), dialogs->translate(u"PlaybackModeAllFilesByOrder"));
    EXPECT_EQ(page.get_turn_off().get_selected_index(), 2);  // 5 s: the first at least 3 s
    page.get_mode().set_selected_index(1);
    page.get_turn_off().set_selected_index(5);
    close();
    EXPECT_EQ(settings.play.mode, 1);
    EXPECT_EQ(settings.play.turn_off, 60);
}

TEST_F(SettingsFormWholeTest, DoneClosesTheFormWithThePagesWrittenBack) {
    SettingsForm& shown = open();
    shown.get_playback().get_mode().set_selected_index(3);
    skinner::Control* const done = shown.find_control(u"btnOk");
    ASSERT_NE(done, nullptr);
    post_action([&] { tap(*done); });
    shown.do_modal();
    EXPECT_EQ(settings.play.mode, 3);
    form.reset();
}

}  // namespace
}  // namespace settings_test
