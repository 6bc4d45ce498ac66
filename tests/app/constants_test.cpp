#include "app/constants.h"

#include <gtest/gtest.h>

#include "foundation/paths.h"
#include "tests/support/test_device.h"

namespace {

TEST(ConstantsTest, SkinPathsExpandBelowTheProgramFolder) {
    testing_support::TestDevice device;
    constants::StartupGlobals const& globals = constants::startup_globals();
    std::u16string const program_folder = os::remove_trailing_separator(os::get_folder(os::get_module_path()));
    EXPECT_EQ(os::expand_path_macros(globals.default_skin_path), program_folder + u"\\skins\\Default\\Default.skin");
    EXPECT_EQ(globals.default_skin_path, u"%app_path%\\skins\\Default\\Default.skin");
    EXPECT_EQ(globals.default_today_skin_path, u"%windows%\\Today Default.skin");
    EXPECT_EQ(globals.settings_skin_path, u"%app_path%\\skins\\settings\\settings.skin");
    EXPECT_EQ(globals.dialogs_skin_path, u"%app_path%\\skins\\settings\\dialogs.skin");
}

TEST(ConstantsTest, RecordingExtensionFollowsTheCodec) {
    for (const char16_t* codec : {constants::codec_pcm, constants::codec_adpcm, constants::codec_gsm})
        EXPECT_EQ(constants::recording_extension(codec), u"wav");
    EXPECT_EQ(constants::recording_extension(constants::codec_mp3), u"mp3");
    EXPECT_EQ(constants::recording_extension(u"MP3"), u"wav");
}

}  // namespace
