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
#include "tests/data/language_keys.h"
#include "tests/data/shipped_data.h"

namespace data_test {
namespace {

// The keys whose texts the screens fill in: each text must carry its placeholders.
const std::map<std::string, std::string> placeholders{
    {"on_delete_read_only", "%src%"},
    {"on_overwrite", "%dst%"},
    {"on_overwrite_read_only", "%dst%"},
    {"on_move_read_only", "%src%"},
    {"on_recursive_operation_error", "%src% %dst%"},
    {"on_self_operation_error", "%src% %dst%"},
    {"on_delete_error", "%src%"},
    {"on_copy_error", "%src%"},
    {"on_move_error", "%src%"},
    {"on_invalid_name", "%src%"},
    {"on_convert_error", "%src%"},
    {"on_id3_read_error", "%src%"},
    {"on_id3_write_error", "%src%"},
    {"on_insert_failed", "%src% %dst%"},
};

// Keys of English.lng that the code does not use yet: their screens are still to come. A key
// that its screen now uses may stay here until the list is next pruned.
const std::set<std::string> awaiting_their_screens{
    "on_not_enough_storage_memory_caption",
};

// The program's code that looks texts up.
const LanguageKeyScan& code_keys() {
    static const LanguageKeyScan scan = scan_language_keys(
        program_sources(source_folder() + "/..", {"app", "native", "screens", "skin", "todayplugin"}));
    return scan;
}

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

TEST_F(EnglishLanguageTest, EveryKeyTheCodeLooksUpIsThereWithItsPlaceholders) {
    liba::StringTranslator english(installed_language);
    ASSERT_FALSE(code_keys().looked_up.empty());
    for (const auto& [key, file] : code_keys().looked_up)
        EXPECT_NE(english.translate(widen(key), u""), u"") << key << " (looked up in " << file << ")";
    for (const auto& [key, wanted] : placeholders) {
        std::u16string const text = english.translate(widen(key), u"");
        std::istringstream names(wanted);
        std::string name;
        while (names >> name) EXPECT_NE(text.find(widen(name)), std::u16string::npos) << key << " lacks " << name;
    }
}

TEST_F(EnglishLanguageTest, EverySkinTextHasItsKeyAndNoKeyIsLeftOver) {
    liba::StringTranslator english(installed_language);
    std::set<std::string> const skin_texts = skin_text_keys();
    ASSERT_FALSE(skin_texts.empty());
    for (const std::string& key : skin_texts) EXPECT_NE(english.translate(widen(key), u""), u"") << key;
    const LanguageKeyScan& code = code_keys();
    for (const auto& entry : entries_of(read_file(language_path()))) {
        const std::string& key = entry.first;
        bool const used = skin_texts.count(key) || code.looked_up.count(key) || code.literals.count(key);
        EXPECT_TRUE(used || awaiting_their_screens.count(key)) << key << " is used by nothing";
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
