#include <gtest/gtest.h>

#include <string>

#include "foundation/string_translator.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::write_host_file;

// Every line form of a language file, with the keys it defines and their texts.
const char16_t* const language_file =
    u"// Sonbrix language file: the keys and texts of the screens\r\n"
    u"TITLE= Hello\r\n"
    u"PLAIN Hello\r\n"
    u"EMPTY=\r\n"
    u"ALONE\r\n"
    u"\r\n"
    u"   the next non-blank line  \r\n"
    u"URL see http://host//path\r\n"
    u"  // indented note\n"
    u"TWICE first\n"
    u"TWICE second\n"
    u"SPACED\t  tab and blanks=kept  \n"
    u"Caf\u00E9 Gr\u00FC\u00DFe \u20AC\n"
    u"LAST at the end";

struct Entry {
    std::u16string key;
    std::u16string text;
};

const Entry expected_entries[] = {
    {u"TITLE", u" Hello"},
    {u"PLAIN", u"Hello"},
    {u"EMPTY", u""},
    {u"ALONE", u"the next non-blank line  "},
    {u"URL", u"see http://host//path"},
    {u"TWICE", u"second"},
    {u"SPACED", u"tab and blanks=kept  "},
    {u"Caf\u00E9", u"Gr\u00FC\u00DFe \u20AC"},
    {u"LAST", u"at the end"},
};

std::string utf16le_with_mark(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t const c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// The text in Windows-1252 (its characters above 0x7F are those of Latin-1 but for the euro sign).
std::string code_page_1252(const std::u16string& text) {
    std::string bytes;
    for (char16_t const c : text) bytes += c == 0x20AC ? '\x80' : static_cast<char>(c);
    return bytes;
}

class StringTranslatorTest : public DeviceTest {
protected:
    std::u16string language(const std::string& name, const std::string& bytes) {
        write_host_file(device.host_path("Program Files/Sonbrix/" + name), bytes);
        return u"\\Program Files\\Sonbrix\\" + std::u16string(name.begin(), name.end());
    }
};

TEST_F(StringTranslatorTest, TheLineFormsInUtf16AndInTheCodePageGiveTheSameTable) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case const cases[] = {
        {"UTF-16LE", utf16le_with_mark(language_file)},
        {"code page", code_page_1252(language_file)},
    };
    std::u16string const absent = u"<absent>";
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        liba::StringTranslator translator;
        ASSERT_TRUE(translator.load(language("English.lng", c.bytes)));
        for (Entry const& entry : expected_entries) {
            SCOPED_TRACE(std::string(entry.key.begin(), entry.key.end()));
            EXPECT_EQ(translator.translate(entry.key, absent), entry.text);
        }
        for (std::u16string const key : {u"//", u"Sonbrix", u"//indented", u"note", u"title", u"the", u"TITLE="}) {
            EXPECT_EQ(translator.translate(key, absent), absent);
        }
    }
}

TEST_F(StringTranslatorTest, AnAbsentKeyGivesTheCallersOwnDefault) {
    liba::StringTranslator translator;
    std::u16string const fallback = u"Record";
    EXPECT_EQ(&translator.translate(u"BUTTON_RECORD", fallback), &fallback);
}

TEST_F(StringTranslatorTest, LoadingAddsToTheTableAndKeepsThePath) {
    liba::StringTranslator translator(language("Base.lng", "A one\nB two\n"));
    EXPECT_EQ(translator.get_path(), u"\\Program Files\\Sonbrix\\Base.lng");
    std::u16string const overlay = language("Overlay.lng", "B deux\nC trois\n");
    ASSERT_TRUE(translator.load(overlay));
    EXPECT_EQ(translator.get_path(), overlay);
    std::u16string const absent;
    EXPECT_EQ(translator.translate(u"A", absent), u"one");
    EXPECT_EQ(translator.translate(u"B", absent), u"deux");
    EXPECT_EQ(translator.translate(u"C", absent), u"trois");
}

TEST_F(StringTranslatorTest, AFileThatCannotBeOpenedChangesNothing) {
    liba::StringTranslator translator;
    std::u16string const base = language("Base.lng", "A one\n");
    ASSERT_TRUE(translator.load(base));
    EXPECT_FALSE(translator.load(u"\\Program Files\\Sonbrix\\Missing.lng"));
    EXPECT_EQ(translator.get_path(), base);
    EXPECT_EQ(translator.translate(u"A", u""), u"one");

    liba::StringTranslator constructed(u"\\Program Files\\Sonbrix\\Missing.lng");
    EXPECT_EQ(constructed.get_path(), u"\\Program Files\\Sonbrix\\Missing.lng");
    EXPECT_EQ(constructed.translate(u"A", u"-"), u"-");
}

TEST_F(StringTranslatorTest, AnEmptyOrBlankFileLoadsAsNoEntries) {
    for (std::string const bytes : {"", "\xFF\xFE", " \r\n\t\r\n"}) {
        liba::StringTranslator translator;
        EXPECT_TRUE(translator.load(language("Blank.lng", bytes)));
        EXPECT_EQ(translator.translate(u"", u"-"), u"-");
    }
}

}  // namespace

namespace {

TEST_F(StringTranslatorTest, AStrayLastByteInAUtf16FileLeavesEveryEntryReadable) {
    liba::StringTranslator translator;
    ASSERT_TRUE(translator.load(language("Odd.lng", utf16le_with_mark(u"A one\r\nB two\r\n") + "\x0A")));
    EXPECT_EQ(translator.translate(u"A", u"-"), u"one");
    EXPECT_EQ(translator.translate(u"B", u"-"), u"two");
}

}  // namespace
