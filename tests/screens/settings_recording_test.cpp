// The recording page: the format table's matching, the folder controls and what the page
// writes back.
#include <gtest/gtest.h>

#include "screens/settings_recording.h"
#include "screens/turn_off_combo.h"
#include "skin/check_box.h"
#include <filesystem>

#include "skin/combo_box_folder_tree.h"
#include "skin/tree_folder.h"
#include "skin/edit.h"
#include "tests/screens/settings_fixture.h"

namespace settings_test {
namespace {

using SettingsRecordingTest = SettingsFormTest;

struct FormatCase {
    const char16_t* codec;
    int bits;
    int sample_rate;
    int bit_rate;
    int expected_row;
};

TEST_F(SettingsRecordingTest, TheStoredFormatSelectsTheRowEqualInAllFiveValues) {
    FormatCase const cases[] = {
        {u"GSM", 16, 8000, 13000, 0},
        {u"PCM", 8, 22050, 176000, 12},   // not 11 or 13: every value counts
        {u"PCM", 16, 44100, 688000, 14},
        {u"ADPCM", 16, 22050, 88000, 8},
        {u"mp3", 16, 16000, 32000, 4},    // no such row: the default
        {u"MP3", 16, 44100, 64000, 4},    // the codec name is compared exactly
        {u"PCM", 16, 22050, 176000, 4},
    };
    for (FormatCase const& format : cases) {
        SCOPED_TRACE(testing::Message() << format.expected_row << " " << format.sample_rate);
        settings.record.codec = format.codec;
        settings.record.bits = format.bits;
        settings.record.samples = format.sample_rate;
        settings.record.bitrate = format.bit_rate;
        SettingsRecording& page = open().get_recording();
        EXPECT_EQ(page.get_formats().get_selected_index(), format.expected_row);
        EXPECT_EQ(page.get_formats().get_text_frame().get_text(),
                  SettingsRecording::format_table()[static_cast<std::size_t>(format.expected_row)].label);
        close();
        auto const& row = SettingsRecording::format_table()[static_cast<std::size_t>(format.expected_row)];
        EXPECT_EQ(settings.record.codec, row.codec);
        EXPECT_EQ(settings.record.bits, row.bits);
        EXPECT_EQ(settings.record.samples, row.sample_rate);
        EXPECT_EQ(settings.record.bitrate, row.bit_rate);
        EXPECT_EQ(settings.record.channels, 1);
    }
}

TEST_F(SettingsRecordingTest, ThePageShowsAndWritesBackTheRecordingValues) {
    settings.record.prefix = u"take";
    settings.record.folder = u"\\My Documents\\Voice";
    settings.record.default_folder = true;
    settings.record.date_folder = true;
    settings.record.include_date = false;
    settings.record.turn_off = 7;  // between two choices: the next longer one
    SettingsRecording& page = open().get_recording();
    EXPECT_EQ(page.get_prefix().get_text(), u"take");
    EXPECT_EQ(page.get_folder_text(), u"\\My Documents\\Voice");
    EXPECT_TRUE(page.get_default_folder().is_checked());
    EXPECT_TRUE(page.get_date_folder().is_checked());
    EXPECT_FALSE(page.get_include_date().is_checked());
    EXPECT_EQ(page.get_turn_off().get_selected_index(), 3);

    page.get_prefix().set_text(u"memo");
    page.set_folder_text(u"\\Storage Card");
    page.get_include_date().set_checked(true);
    page.get_formats().set_selected_index(0);
    close();
    EXPECT_EQ(settings.record.prefix, u"memo");
    EXPECT_EQ(settings.record.folder, u"\\Storage Card");
    EXPECT_TRUE(settings.record.include_date);
    EXPECT_EQ(settings.record.codec, u"GSM");
    EXPECT_EQ(settings.record.turn_off, 10);
}

TEST_F(SettingsRecordingTest, WithoutTheOwnFolderTheFolderControlsAreDisabledButStillWritten) {
    settings.record.default_folder = false;
    settings.record.date_folder = true;
    settings.record.folder = u"\\Records";
    SettingsRecording& page = open().get_recording();
    EXPECT_FALSE(page.get_folder().is_enabled());
    EXPECT_FALSE(page.get_date_folder().is_enabled());

    tap(page.get_default_folder());
    ASSERT_TRUE(pump_until([&] { return page.get_default_folder().is_checked(); }));
    EXPECT_TRUE(page.get_folder().is_enabled());
    EXPECT_TRUE(page.get_date_folder().is_enabled());
    page.get_default_folder().set_checked(false);
    page.on_click(&page.get_default_folder());
    EXPECT_FALSE(page.get_folder().is_enabled());
    close();
    EXPECT_FALSE(settings.record.default_folder);
    EXPECT_TRUE(settings.record.date_folder);
    EXPECT_EQ(settings.record.folder, u"\\Records");
}

TEST_F(SettingsRecordingTest, TheFolderIsPickedFromTheDevicesFolderTree) {
    std::filesystem::create_directories(device.fs() + "/My Documents/Voice");
    std::filesystem::create_directories(device.fs() + "/Records");
    settings.record.default_folder = true;
    settings.record.folder = u"\\My Documents";
    SettingsRecording& page = open().get_recording();
    show_page(page);
    skinner::ControlComboBoxFolderTree& folder = page.get_folder();
    EXPECT_EQ(folder.get_root_folder(), u"\\");

    bool picked = false;
    TickCheck pick;
    pick.start([&] {
        auto* const tree = folder.get_tree();
        if (!folder.is_dropdown_open() || !tree) return false;
        // Opened on the way to the folder shown; the user picks another one.
        EXPECT_NE(tree->get_current_folder(), nullptr);
        picked = tree->select_folder(u"\\Records");
        folder.close_dropdown_window();
        return true;
    });
    folder.open_dropdown_window();
    EXPECT_TRUE(picked);
    EXPECT_EQ(page.get_folder_text(), u"\\Records");
    close();
    EXPECT_EQ(settings.record.folder, u"\\Records");
}

}  // namespace
}  // namespace settings_test
