#include "app/text_utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/type_icon_sink.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;

os::DateTime at(int year, int month, int day, int hour, int minute, int second) {
    os::DateTime time;
    time.set_date(year, month, day);
    time.set_time(hour, minute, second);
    return time;
}

TEST(TextUtilsTest, TwoDigitText) {
    struct Case {
        int value;
        const char16_t* text;
    };
    for (const Case& c : {Case{7, u"07"}, Case{0, u"00"}, Case{42, u"42"}, Case{123, u"23"}, Case{2026, u"26"},
                          Case{-5, u"-5"}})
        EXPECT_EQ(two_digit_text(c.value), c.text) << c.value;
}

TEST(TextUtilsTest, FileSizes) {
    struct Case {
        std::int64_t bytes;
        const char16_t* text;
    };
    for (const Case& c : {Case{0, u""}, Case{1, u"1B"}, Case{1023, u"1023B"}, Case{-7, u"-7B"}, Case{1024, u"1K"},
                          Case{1048575, u"1023K"}, Case{1048576, u"1,0M"}, Case{1572864, u"1,5M"},
                          Case{1153433, u"1,0M"}, Case{3221225472LL, u"3072,0M"}, Case{5000000000LL, u"4768,3M"}})
        EXPECT_EQ(format_file_size(c.bytes), c.text) << c.bytes;
}

TEST(TextUtilsTest, DatesAndDurations) {
    EXPECT_EQ(format_short_date_time(at(2007, 3, 5, 9, 4, 0)), u"09:04,  03/05/07");
    struct Case {
        double seconds;
        const char16_t* text;
    };
    for (const Case& c : {Case{0.0, u"00:00:00"}, Case{59.9, u"00:00:59"}, Case{61.0, u"00:01:01"},
                          Case{3725.5, u"01:02:05"}, Case{360000.0, u"00:00:00"}})
        EXPECT_EQ(format_duration_text(c.seconds), c.text) << c.seconds;
}

TEST(TextUtilsTest, RecordingFileNamesAtAFixedTime) {
    os::DateTime const time = at(2026, 12, 9, 14, 5, 33);
    EXPECT_EQ(make_recording_file_name(u"\\My Documents", u"Memo", u"mp3", time),
              u"\\My Documents/Memo 09 dec 26 14-05-33.mp3");
    EXPECT_EQ(make_recording_file_name(u"\\My Documents\\", u"", u"wav", time),
              u"\\My Documents/09 dec 26 14-05-33.wav");
    EXPECT_EQ(make_recording_file_name(u"\\", u"", u"wav", at(2027, 1, 31, 0, 0, 0)), u"/31 jan 27 00-00-00.wav");
}

TEST(TextUtilsTest, ExtensionsSoundFilesAndBookmarkFiles) {
    EXPECT_TRUE(is_sound_file(u"\\x\\A.WAV"));
    EXPECT_TRUE(is_sound_file(u"b.Ogg"));
    EXPECT_TRUE(is_sound_file(u"c.wma"));
    EXPECT_FALSE(is_sound_file(u"a.m3u"));
    EXPECT_FALSE(is_sound_file(u"wav"));
    EXPECT_FALSE(is_sound_file(u"folder.mp3\\file"));
    EXPECT_EQ(get_file_extension_lower(u"\\a.b\\Name.MP3"), u"mp3");
    EXPECT_EQ(get_bookmark_file_path(u"\\My Documents\\a.wav"), u"\\My Documents\\a.wav.bm");
}

TEST(TextUtilsTest, ReplaceAll) {
    EXPECT_EQ(replace_all(u"copy %src% to %dst%", u"%src%", u"\\a"), u"copy \\a to %dst%");
    EXPECT_EQ(replace_all(u"%src% and %src%", u"%src%", u"x%src%"), u"x%src% and x%src%");
    EXPECT_EQ(replace_all(u"aaa", u"a", u"aa"), u"aaaaaa");
    EXPECT_EQ(replace_all(u"text", u"", u"x"), u"text");
}

class NumberedNameTest : public DeviceTest {};

TEST_F(NumberedNameTest, TakesTheFirstFreeNumber) {
    testing_support::write_host_file(device.host_path("Rec1.wav"), "");
    testing_support::write_host_file(device.host_path("Rec2.wav"), "");
    testing_support::write_host_file(device.host_path("Rec3.mp3"), "");
    EXPECT_EQ(find_free_numbered_name(u"\\", u"Rec", u"wav"), u"Rec3");
    EXPECT_EQ(make_numbered_file_path(u"\\", u"Rec", u"wav"), u"\\Rec3.wav");
    EXPECT_EQ(make_numbered_file_path(u"\\", u"Rec", u"mp3"), u"\\Rec1.mp3");
}

class RecordingSink : public TypeIconSink {
public:
    void add_type_icon(const std::u16string& type_name) override { types.push_back(type_name); }
    std::vector<std::u16string> types;
};

TEST(TextUtilsTest, TypeIconsRegisteredInOrder) {
    RecordingSink sink;
    add_sound_extensions(sink);
    add_playlist_extensions(sink);
    EXPECT_EQ(sink.types, (std::vector<std::u16string>{u"wav", u"mp3", u"ogg", u"wma", u"m3u"}));
}

}  // namespace
