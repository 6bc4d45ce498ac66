// The skins page: which skin files the walk finds (and where it does not go), the previews,
// and what choosing a skin changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/constants.h"
#include "foundation/paths.h"
#include "foundation/registry.h"
#include "screens/settings_skin_page.h"
#include "skin/combo_box_string.h"
#include "skin/frame.h"
#include "tests/screens/settings_fixture.h"

namespace settings_test {
namespace {

namespace fs = std::filesystem;

using SettingsSkinTest = SettingsFormTest;

constexpr char16_t today_item_key[] = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Today\\Items\\Sonbrix";

std::vector<std::u16string> names_of(const std::vector<std::u16string>& paths) {
    std::vector<std::u16string> names;
    for (auto const& path : paths) names.push_back(os::get_name_without_extension(path));
    return names;
}

// The program's dialog skins (beside the main skins, with the main skin's name) are no
// choice for the main window.
TEST_F(SettingsSkinTest, TheWalkSortsSkinsByWhatTheyFitAndStaysOutOfWindowsLinksAndDialogs) {
    fs::path const skins = program_file("skins");
    fs::path const windows = device.fs() + "/Windows";
    fs::create_directories(skins / "Night");
    fs::copy_file(skins / "Default" / "Default.skin", skins / "Night" / "Night.skin");
    fs::create_directories(skins / "Night" / "Deeper");
    fs::copy_file(windows / "Today Default.skin", skins / "Night" / "Deeper" / "Night Today.skin");
    fs::create_directories(skins / "Broken");
    std::ofstream(skins / "Broken" / "Broken.skin") << "not a skin";
    fs::copy_file(skins / "Default" / "Default.skin", skins / "Default" / "Upper.SKIN");
    fs::copy_file(skins / "Default" / "Default.skin", skins / "Default" / "Other.bin");
    // A link back up the tree: followed, the walk would never end.
    fs::create_directory_symlink(skins, skins / "Night" / "Loop");
    fs::create_directories(windows / "skins");
    fs::copy_file(skins / "Default" / "Default.skin", windows / "skins" / "Hidden.skin");

    MySkinFinder finder;
    os::find_files(finder, u"%app_path%\\skins", u"*.skin", u"*", false);
    finder.on_folder(u"%windows%\\skins");
    auto main = names_of(finder.main_skins);
    std::sort(main.begin(), main.end());
    EXPECT_EQ(main, (std::vector<std::u16string>{u"Default", u"Night", u"Upper"}));
    EXPECT_EQ(names_of(finder.today_skins), (std::vector<std::u16string>{u"Night Today"}));
}

TEST_F(SettingsSkinTest, ThePageSelectsTheStoredSkinsWithTheirPreviews) {
    settings.skin = u"%app_path%\\skins\\default\\DEFAULT.skin";  // the same file, written otherwise
    SettingsSkin& page = open().get_skin();
    // The default start-screen skin lies in \Windows, and is listed all the same.
    ASSERT_EQ(page.get_today().get_item_count(), 1);
    EXPECT_EQ(page.get_today().get_item_text(page.get_today().get_selected_index()), u"Today Default");
    EXPECT_EQ(page.get_main().get_item_text(page.get_main().get_selected_index()), u"Default");
    EXPECT_NE(page.get_main_preview().get_picture().get_picture(), nullptr);
    EXPECT_NE(page.get_today_preview().get_picture().get_picture(), nullptr);
    close();
    EXPECT_TRUE(os::paths_equal(settings.skin, u"%app_path%\\skins\\Default\\Default.skin"));
}

TEST_F(SettingsSkinTest, AnUnknownStoredSkinSelectsNothingAndStaysAsItWas) {
    settings.skin = u"\\Storage Card\\Gone.skin";
    SettingsSkin& page = open().get_skin();
    EXPECT_EQ(page.get_main().get_selected_index(), -1);
    close();
    EXPECT_EQ(settings.skin, u"\\Storage Card\\Gone.skin");
}

TEST_F(SettingsSkinTest, OnlyANewStartScreenSkinIsWrittenWithTheItemSwitchedAround) {
    fs::path const today_skins = program_file("TodayPlugin/skins");
    fs::create_directories(today_skins);
    fs::copy_file(device.fs() + "/Windows/Today Default.skin", today_skins / "Bright.skin");

    ASSERT_TRUE(os::write_registry_dword(today_item_key, u"Enabled", 7));
    open();
    close();
    DWORD enabled = 0;
    ASSERT_TRUE(os::read_registry_dword(today_item_key, u"Enabled", enabled));
    EXPECT_EQ(enabled, 7u);  // nothing written
    std::u16string stored;
    EXPECT_FALSE(os::read_registry_string(constants::program_registry_key, constants::today_skin_value, stored));

    SettingsSkin& page = open().get_skin();
    ASSERT_EQ(page.get_today().get_item_count(), 2);
    page.get_today().set_selected_index(page.get_today().get_item_text(0) == u"Bright" ? 0 : 1);
    close();
    ASSERT_TRUE(os::read_registry_string(constants::program_registry_key, constants::today_skin_value, stored));
    EXPECT_EQ(stored, os::expanded_path(u"%app_path%\\TodayPlugin\\skins\\Bright.skin"));
    ASSERT_TRUE(os::read_registry_dword(today_item_key, u"Enabled", enabled));
    EXPECT_EQ(enabled, 1u);
}

}  // namespace
}  // namespace settings_test
