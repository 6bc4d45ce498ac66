// The English language file: every text the skins and the screens look up is there, read
// back as written, and a second language file replaces every skin text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "foundation/string_translator.h"
#include "skin/properties.h"
#include "tests/data/shipped_data.h"

namespace data_test {
namespace {

// The keys the screens look up, with the placeholders their texts must carry.
struct ScreenKey {
    const char* key;
    const char* placeholders = "";
};

const std::vector<ScreenKey> screen_keys{
    // the "File" menu, the explorer's commands and context menus, the menu-bar buttons
    {"Settings"}, {"Help"}, {"Exit"}, {"Cut"}, {"Copy"}, {"Paste"}, {"Delete"}, {"Rename"}, {"NewFolder"},
    {"NewPlaylist"}, {"Beam"}, {"Infrared"}, {"Mail"}, {"Bookmarks"}, {"Id3Tags"}, {"WavToMp3"}, {"Route"},
    {"Properties"}, {"Refresh"}, {"AddFile"}, {"AddFolder"}, {"SelectAll"}, {"ShowFolder"}, {"RecordOperation"},
    {"Overwrite"}, {"Append"}, {"Insert"}, {"MoveUp"}, {"MoveDown"}, {"Help_link"},
    // edit fields and soft keys
    {"menuCut"}, {"menuCopy"}, {"menuPaste"}, {"menuDelete"}, {"menuSelectAll"}, {"menuSoftButtonMenu"},
    {"menuSoftButtonOk"},
    // the explorer
    {"MyDevice"}, {"ControlListFilesHeaderName"}, {"ControlListFilesHeaderDate"}, {"ControlListFilesHeaderSize"},
    {"on_delete"}, {"on_delete_caption"},
    {"on_delete_read_only", "%src%"}, {"on_delete_read_only_caption"},
    {"on_overwrite", "%dst%"}, {"on_overwrite_caption"},
    {"on_overwrite_read_only", "%dst%"}, {"on_overwrite_read_only_caption"},
    {"on_move_read_only", "%src%"}, {"on_move_read_only_caption"},
    {"on_recursive_operation_error", "%src% %dst%"}, {"on_recursive_operation_error_caption"},
    {"on_self_operation_error", "%src% %dst%"}, {"on_self_operation_error_caption"},
    {"on_delete_error", "%src%"}, {"on_delete_error_caption"},
    {"on_copy_error", "%src%"}, {"on_copy_error_caption"},
    {"on_move_error", "%src%"}, {"on_move_error_caption"},
    {"on_create_folder_error"}, {"on_create_folder_error_caption"},
    {"on_invalid_name", "%src%"}, {"on_invalid_name_caption"}, {"on_convert_error", "%src%"}, {"on_convert_error_caption"},
    {"on_progress_delete"}, {"on_progress_delete_caption"}, {"on_progress_copy"}, {"on_progress_copy_caption"},
    {"on_progress_move"}, {"on_progress_move_caption"},
    {"on_not_enough_storage_memory"}, {"on_not_enough_storage_memory_caption"},
    // recording, playing, sending
    {"on_recording_error"}, {"on_recording_error_caption"}, {"on_insert_failed", "%src% %dst%"},
    {"on_insert_failed_caption"}, {"on_settings_not_saved"},
    {"on_settings_not_saved_caption"}, {"NO_WMA"}, {"NO_WMA_CAPTION"}, {"BEAM_SEARCHING"},
    {"BEAM_NO_DEVICES"}, {"on_failed_to_beam"}, {"on_failed_to_beam_caption"},
    {"on_failed_to_convert"}, {"on_failed_to_convert_caption"},
    // panels and settings pages
    {"DynamicProcessorOff"}, {"DynamicProcessorLow"}, {"DynamicProcessorMedium"}, {"DynamicProcessorHigh"},
    {"TurnOffTimeNever"}, {"TurnOffTime2sec"}, {"TurnOffTime5sec"}, {"TurnOffTime10sec"}, {"TurnOffTime30sec"},
    {"TurnOffTime1min"},
    {"PlaybackModeSingleFile"}, {"PlaybackModeSingleFileRepeat"}, {"PlaybackModeAllFilesByOrder"},
    {"PlaybackModeAllFilesRepeating"}, {"PlaybackModeShuffle"},
    {"SettingsButtonsNone"}, {"SettingsButtonsPlay"}, {"SettingsButtonsPlayStop"}, {"SettingsButtonsStop"},
    {"SettingsButtonsRecord"}, {"SettingsButtonsRecordStop"}, {"SettingsButtonsNext"}, {"SettingsButtonsPrevious"},
    {"SettingsButtonsForward"}, {"SettingsButtonsRewind"}, {"SettingsButtonsNewBookmark"},
    {"SettingsButtonsVolumeUp"}, {"SettingsButtonsVolumeDown"}, {"SettingsButtonsJoyLeft"},
    {"SettingsButtonsJoyRight"},
    {"SettingsScheduleOverlaped"}, {"SettingsScheduleBadStopStart"},
};

std::string language_path() {
    return source_folder() + "/English.lng";
}

// The language file as the program reads it: on the device, beside the program.
const char16_t* const installed_language = u"\\Program Files\\Sonbrix\\English.lng";

class EnglishLanguageTest : public StagedDeviceTest {};

// The entries as written: one "key text" a line, notes and blank lines skipped.
std::vector<std::pair<std::string, std::string>> entries_of(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        auto const blank = line.find(' ');
        entries.emplace_back(line.substr(0, blank), blank == std::string::npos ? "" : line.substr(blank + 1));
    }
    return entries;
}

// Every language key a skin source holds: each string value that is a skin text key.
std::set<std::string> skin_text_keys() {
    std::set<std::string> keys;
    for (const ShippedSkin& skin : shipped_skins()) {
        skin_compiler::SkinSource source = read_source(skin.source);
        auto collect = [&](const skin_compiler::Node& node) {
            for (const auto& property : node.properties) {
                if (property.type != skinner::format::RecordType::string) continue;
                bool const is_text = property.name == u"Text" || property.name == u"CheckedText";
                if (is_text) {
                    EXPECT_EQ(property.text.rfind(u"form.", 0), 0u) << narrow(property.text);
                }
                if (property.text.rfind(u"form.", 0) == 0) keys.insert(narrow(property.text));
            }
        };
        for (const auto& form : source.forms) {
            collect(form);
            for (const auto& control : form.controls) collect(control);
        }
        for (const auto& kind : source.kinds) collect(kind);
    }
    return keys;
}

TEST_F(EnglishLanguageTest, EveryEntryReadsBackAsWrittenAndNoKeyIsGivenTwice) {
    liba::StringTranslator english;
    ASSERT_TRUE(english.load(installed_language));
    std::set<std::string> seen;
    for (const auto& [key, text] : entries_of(read_file(language_path()))) {
        EXPECT_TRUE(seen.insert(key).second) << key << " is given twice";
        EXPECT_FALSE(text.empty()) << key << " has no text: it would take the next line as its text";
        EXPECT_EQ(narrow(english.translate(widen(key), u"(missing)")), text) << key;
    }
}

TEST_F(EnglishLanguageTest, TheScreensKeysAreThereWithTheirPlaceholders) {
    liba::StringTranslator english(installed_language);
    for (const ScreenKey& wanted : screen_keys) {
        std::u16string const text = english.translate(widen(wanted.key), u"");
        EXPECT_FALSE(text.empty()) << wanted.key;
        std::istringstream placeholders(wanted.placeholders);
        std::string placeholder;
        while (placeholders >> placeholder)
            EXPECT_NE(text.find(widen(placeholder)), std::u16string::npos) << wanted.key << " lacks " << placeholder;
    }
}

TEST_F(EnglishLanguageTest, EverySkinTextHasItsKeyAndNoKeyIsLeftOver) {
    liba::StringTranslator english(installed_language);
    std::set<std::string> const used = skin_text_keys();
    ASSERT_FALSE(used.empty());
    for (const std::string& key : used) EXPECT_NE(english.translate(widen(key), u""), u"") << key;
    std::set<std::string> screens;
    for (const ScreenKey& wanted : screen_keys) screens.insert(wanted.key);
    for (const auto& entry : entries_of(read_file(language_path()))) {
        bool const skin_text = entry.first.rfind("form.", 0) == 0;
        EXPECT_TRUE(skin_text ? used.count(entry.first) : screens.count(entry.first)) << entry.first << " is used by nothing";
    }
}

TEST_F(EnglishLanguageTest, TheHelpPageItNamesIsInstalledBesideTheProgram) {
    liba::StringTranslator english(installed_language);
    std::string const page = narrow(english.translate(u"Help_link", u""));
    ASSERT_FALSE(page.empty());
    EXPECT_TRUE(std::filesystem::exists(stage_folder() + "/Program Files/Sonbrix/" + page)) << page;
}

class SecondLanguageTest : public StagedDeviceTest {
protected:
    CaughtReports reports;
    DeviceWorkArea work_area;
};

// A language file with every key of the English one, each text marked: every skin text of every
// form, read through the skin as the screens read it, comes from it.
TEST_F(SecondLanguageTest, ASecondLanguageFileReplacesEverySkinText) {
    std::string const marked = device.host_path("Program Files/Sonbrix/Marked.lng");
    {
        std::ofstream out(marked);
        for (const auto& entry : entries_of(read_file(language_path()))) out << entry.first << " <" << entry.first << ">\n";
    }
    for (const ShippedSkin& skin : shipped_skins()) {
        skinner::Properties properties(skin.device_path, {240, 320});
        ASSERT_TRUE(properties.set_language(u"\\Program Files\\Sonbrix\\Marked.lng"));
        skin_compiler::SkinSource source = read_source(skin.source);
        for (const auto& form : source.forms) {
            if (!form.variant_of.empty()) continue;  // reached through its base form's name
            for (const auto& control : form.controls) {
                for (const auto& property : control.properties) {
                    if (property.text.rfind(u"form.", 0) != 0) continue;
                    std::u16string const shown = properties.get_string(form.name, control.name, property.name, u"");
                    EXPECT_EQ(shown, u"<" + property.text + u">") << skin.source << " " << narrow(control.name);
                }
            }
        }
    }
}

}  // namespace
}  // namespace data_test
