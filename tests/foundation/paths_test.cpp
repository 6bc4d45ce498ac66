#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "foundation/paths.h"
#include "platform/shell.h"
#include "platform/unicode.h"
#include "tests/support/scoped_environment.h"

namespace {

using testing_support::ScopedEnvironment;

std::string shown(const std::u16string& text) { return platform::utf16_to_utf8(text); }

TEST(PathStrings, SplitAndJoinAsTheSeparatorsAndDotsSay) {
    using Operation = std::function<std::u16string(const std::u16string&)>;
    struct Case {
        const char* operation;
        Operation apply;
        std::u16string path;
        std::u16string expected;
    };
    auto const change_to_mp3 = [](const std::u16string& path) { return os::change_extension(path, u"mp3"); };
    auto const join_a_wav = [](const std::u16string& folder) { return os::join_path(folder, u"a.wav"); };
    Case const cases[] = {
        {"get_file_name", os::get_file_name, u"a/b\\c.txt", u"c.txt"},
        {"get_file_name", os::get_file_name, u"c.txt", u"c.txt"},
        {"get_file_name", os::get_file_name, u"\\dir\\", u""},
        {"get_folder", os::get_folder, u"c.txt", u""},
        {"get_folder", os::get_folder, u"a\\b/c.txt", u"a\\b/"},
        {"get_folder", os::get_folder, u"\\x", u"\\"},
        {"get_extension", os::get_extension, u"dir.x\\file", u""},
        {"get_extension", os::get_extension, u"dir.x/file", u""},
        {"get_extension", os::get_extension, u"file.tar.gz", u"gz"},
        {"get_extension", os::get_extension, u"file.", u""},
        {"get_extension", os::get_extension, u"file", u""},
        {"remove_extension", os::remove_extension, u"file.tar.gz", u"file.tar"},
        {"remove_extension", os::remove_extension, u"dir.x\\file", u"dir.x\\file"},
        {"remove_trailing_separator", os::remove_trailing_separator, u"\\Card\\", u"\\Card"},
        {"remove_trailing_separator", os::remove_trailing_separator, u"\\Card/", u"\\Card"},
        {"remove_trailing_separator", os::remove_trailing_separator, u"\\Card\\\\", u"\\Card\\"},
        {"remove_trailing_separator", os::remove_trailing_separator, u"\\Card", u"\\Card"},
        {"remove_trailing_separator", os::remove_trailing_separator, u"", u""},
        {"get_parent_folder", os::get_parent_folder, u"\\a\\b\\", u"\\a\\"},
        {"get_parent_folder", os::get_parent_folder, u"\\a\\b", u"\\a\\"},
        {"get_parent_folder", os::get_parent_folder, u"b", u""},
        {"get_name_without_extension", os::get_name_without_extension, u"\\x\\song.mp3", u"song"},
        {"get_name_without_extension", os::get_name_without_extension, u"\\x.d\\song", u"song"},
        {"change_extension", change_to_mp3, u"\\a\\b.wav", u"\\a\\b.mp3"},
        {"change_extension", change_to_mp3, u"\\a.d\\b", u"\\a.d\\b.mp3"},
        {"join_path", join_a_wav, u"\\Card\\", u"\\Card\\a.wav"},
        {"join_path", join_a_wav, u"\\Card/", u"\\Card\\a.wav"},
        {"join_path", join_a_wav, u"\\Card", u"\\Card\\a.wav"},
        {"join_path", join_a_wav, u"", u"a.wav"},
        {"to_lower", os::to_lower, u"\\ÀbC\\Ж", u"\\àbc\\ж"},
        {"to_upper", os::to_upper, u"\\àbC\\ж", u"\\ÀBC\\Ж"},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(c.apply(c.path), c.expected) << c.operation << "(" << shown(c.path) << ")";
    }
}

TEST(PathStrings, TheExtensionDotIsTheLastDotBeforeNoSeparator) {
    struct Case {
        std::u16string path;
        int dot;
    };
    Case const cases[] = {
        {u"a.b", 1}, {u"a.b.c", 3}, {u".hidden", 0}, {u"dir.x\\file", -1}, {u"dir.x/file", -1}, {u"", -1}, {u"a", -1},
    };
    for (auto const& c : cases) EXPECT_EQ(os::find_extension_dot(c.path), c.dot) << shown(c.path);
}

class PathMacros : public ::testing::Test {
protected:
    ScopedEnvironment module{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
};

TEST_F(PathMacros, OnlyALeadingMacroIsReplacedAndSlashesBecomeBackslashes) {
    struct Case {
        std::u16string path;
        std::u16string expected;
    };
    Case const cases[] = {
        {u"%app_path%/skins/Default", u"\\Program Files\\Sonbrix\\skins\\Default"},
        {u"%app_full_name%.txt", u"\\Program Files\\Sonbrix\\Sonbrix.exe.txt"},
        {u"%app_name%", u"Sonbrix.exe"},
        {u"%my_documents%\\a.wav", u"\\My Documents\\a.wav"},
        {u"%windows%", u"\\Windows"},
        {u"%startup%/x.lnk", u"\\Windows\\StartUp\\x.lnk"},
        {u"%programs%", u"\\Windows\\Start Menu\\Programs"},
        {u"%start_menu%", u"\\Windows\\Start Menu"},
        {u"%program_files%/x", u"\\Program Files\\x"},
        {u"%APP_PATH%/x", u"%APP_PATH%\\x"},
        {u"\\x/%app_path%/y", u"\\x\\%app_path%\\y"},
        {u"%app_path%%app_name%", u"\\Program Files\\Sonbrix%app_name%"},
        {u"%my_documents", u"%my_documents"},
        {u"a/b\\c/", u"a\\b\\c\\"},
        {u"", u""},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(os::expand_path_macros(c.path), c.expected) << shown(c.path);
        EXPECT_EQ(os::expanded_path(c.path), c.expected) << shown(c.path);
    }
}

TEST_F(PathMacros, TheModuleValuesAreReadAtEveryExpansion) {
    EXPECT_EQ(os::expand_path_macros(u"%app_path%\\skins"), u"\\Program Files\\Sonbrix\\skins");
    ScopedEnvironment const at_root("SONBRIX_MODULE", "\\Sonbrix.exe");
    EXPECT_EQ(os::expand_path_macros(u"%app_path%\\skins"), u"\\skins");
    EXPECT_EQ(os::expand_path_macros(u"%app_full_name%"), u"\\Sonbrix.exe");
}

TEST_F(PathMacros, PathsCompareExpandedWithoutCaseAndFinalSeparator) {
    struct Case {
        std::u16string a;
        std::u16string b;
        bool equal;
    };
    Case const cases[] = {
        {u"%app_path%\\Skins\\", u"\\program files\\sonbrix\\skins", true},
        {u"\\A/b", u"\\a\\B\\", true},
        {u"\\Ä\\b", u"\\ä\\B", true},
        {u"\\a\\b", u"\\a\\bc", false},
        {u"\\a\\\\", u"\\a", false},
        {u"%APP_PATH%", u"\\program files\\sonbrix", false},
    };
    for (auto const& c : cases) EXPECT_EQ(os::paths_equal(c.a, c.b), c.equal) << shown(c.a) << " ~ " << shown(c.b);
}

TEST_F(PathMacros, APrefixIsComparedOnAsManyCharactersAsItHas) {
    struct Case {
        std::u16string prefix;
        std::u16string path;
        bool is_prefix;
    };
    Case const cases[] = {
        {u"\\My Documents", u"\\my documents\\a.wav", true},
        {u"\\My Documents\\", u"\\MY DOCUMENTS/a.wav", true},
        {u"\\My Documents\\Music", u"\\My Documents", false},
        {u"\\Windows", u"\\My Documents", false},
        {u"", u"\\x", true},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(os::is_path_prefix(c.prefix, c.path), c.is_prefix) << shown(c.prefix) << " < " << shown(c.path);
    }
}

TEST(ModulePath, IsReadWholeHoweverLong) {
    for (std::size_t const length : {1u, 1023u, 1024u, 1025u, 2048u, 5000u}) {
        std::string const path = "\\" + std::string(length - 1, 'm');
        ScopedEnvironment const module("SONBRIX_MODULE", path.c_str());
        EXPECT_EQ(os::get_module_path(), platform::utf8_to_utf16(path)) << length;
    }
}

TEST(SpecialFolderPaths, KnownFoldersHaveTheirPathAndOthersNone) {
    EXPECT_EQ(os::get_special_folder_path(CSIDL_PERSONAL), u"\\My Documents");
    EXPECT_EQ(os::get_special_folder_path(CSIDL_PROGRAMS), u"\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(os::get_special_folder_path(0), u"");
}

}  // namespace
