// ID3v1 tags: the field layout both ways, the track form, where a tag is looked for, how
// writing appends or replaces, and that a write that fails leaves the file as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <string>

#include "audio/id3_tag.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::read_host_file;
using testing_support::write_host_file;

// A tag record: "TAG" then each field at its place, padded with the pad byte.
struct RawTag {
    std::string bytes = "TAG" + std::string(125, '\0');

    RawTag& put(std::size_t at, const std::string& text, std::size_t size, char pad = '\0') {
        std::string field = text.substr(0, size);
        field.resize(size, pad);
        bytes.replace(at, size, field);
        return *this;
    }
    RawTag& byte(std::size_t at, int value) {
        bytes[at] = static_cast<char>(value);
        return *this;
    }
};

class Id3TagTest : public testing_support::DeviceTest {
protected:
    std::u16string file(const std::string& bytes) {
        write_host_file(device.host_path("a.mp3"), bytes);
        return u"\\a.mp3";
    }
    std::string host() { return read_host_file(device.host_path("a.mp3")); }
};

TEST_F(Id3TagTest, FieldsAreReadFromTheirPlaces) {
    struct Case {
        const char* what;
        RawTag tag;
        std::u16string title, comment;
        std::uint32_t track;
    };
    std::string const comment30 = "012345678901234567890123456789";
    Case const cases[] = {
        {"spaces after the text", RawTag().put(3, "Song", 30, ' '), u"Song", u"", 0},
        {"a 0 byte inside the text", RawTag().put(3, std::string("Ab\0cd", 5), 30), u"Ab", u"", 0},
        {"a full title and comment", RawTag().put(3, comment30, 30).put(97, comment30, 30),
         u"012345678901234567890123456789", u"012345678901234567890123456789", 0},
        {"the track form", RawTag().put(97, "note", 28).byte(125, 0).byte(126, 7), u"", u"note", 7},
        {"byte 125 and 126 both 0", RawTag().put(97, "note", 28), u"", u"note", 0},
        {"byte 125 set: no track", RawTag().put(97, "note", 28).byte(125, 'x').byte(126, 7), u"", u"note", 0},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        audio::Id3Tag const tag = audio::read_id3_tag(file("audio" + c.tag.bytes));
        EXPECT_TRUE(tag.present);
        EXPECT_EQ(c.title, tag.title);
        EXPECT_EQ(c.comment, tag.comment);
        EXPECT_EQ(c.track, tag.track);
    }
}

TEST_F(Id3TagTest, EveryFieldComesBackAsWritten) {
    audio::Id3Tag tag;
    tag.title = u"Caf\u00e9 title";
    tag.artist = u"Artist";
    tag.album = u"Album";
    tag.year = u"1999";
    tag.comment = u"Comment";
    tag.track = 12;
    tag.genre = 17;
    ASSERT_TRUE(audio::write_id3_tag(tag, file(std::string(500, 'a'))));
    audio::Id3Tag const read = audio::read_id3_tag(u"\\a.mp3");
    EXPECT_TRUE(read.present);
    EXPECT_EQ(tag.title, read.title);
    EXPECT_EQ(tag.artist, read.artist);
    EXPECT_EQ(tag.album, read.album);
    EXPECT_EQ(tag.year, read.year);
    EXPECT_EQ(tag.comment, read.comment);
    EXPECT_EQ(12u, read.track);
    EXPECT_EQ(17u, read.genre);
    std::string const bytes = host();
    EXPECT_EQ('\xE9', bytes[500 + 3 + 3]) << "texts are in the system code page";
}

TEST_F(Id3TagTest, WrittenFieldsAreCutToTheirSizeAndTheTrackFormIsAlwaysUsed) {
    audio::Id3Tag tag;
    tag.title = u"0123456789012345678901234567890123";  // 34
    tag.year = u"199912";
    tag.comment = u"01234567890123456789012345678";  // 29
    tag.track = 0x1FF;
    tag.genre = 0x102;
    ASSERT_TRUE(audio::write_id3_tag(tag, file("")));
    std::string const expected = RawTag()
                                     .put(3, "012345678901234567890123456789", 30)
                                     .put(93, "1999", 4)
                                     .put(97, "0123456789012345678901234567", 28)
                                     .byte(126, 0xFF)
                                     .byte(127, 2)
                                     .bytes;
    EXPECT_EQ(expected, host());
    EXPECT_EQ(u"0123456789012345678901234567", audio::read_id3_tag(u"\\a.mp3").comment);
}

TEST_F(Id3TagTest, WritingAppendsOnceAndThenReplaces) {
    std::string const audio_bytes(3000, 'm');
    file(audio_bytes);
    audio::Id3Tag tag;
    tag.title = u"First";
    ASSERT_TRUE(audio::write_id3_tag(tag, u"\\a.mp3"));
    EXPECT_EQ(audio_bytes.size() + 128, host().size());
    tag.title = u"Second";
    ASSERT_TRUE(audio::write_id3_tag(tag, u"\\a.mp3"));
    EXPECT_EQ(audio_bytes.size() + 128, host().size());
    EXPECT_EQ(audio_bytes, host().substr(0, audio_bytes.size()));
    EXPECT_EQ(u"Second", audio::read_id3_tag(u"\\a.mp3").title);
}

TEST_F(Id3TagTest, ATagIsOnlyTheLast128Bytes) {
    // "TAG" in the sound data, or inside the tag's own title, is not a tag.
    std::string const sound = std::string(600, 's') + "TAG" + std::string(300, 's');
    struct Case {
        const char* what;
        std::string bytes;
        bool present;
    };
    Case const cases[] = {
        {"TAG in the sound, no tag", sound, false},
        {"a short file with TAG", "xxTAGyy", false},
        {"a file of the tag only", RawTag().put(3, "Only", 30).bytes, true},
        {"a title holding TAG", sound + RawTag().put(3, "VINTAGE", 30).bytes, true},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        audio::Id3Tag const tag = audio::read_id3_tag(file(c.bytes));
        EXPECT_EQ(c.present, tag.present);
    }
    EXPECT_EQ(u"VINTAGE", audio::read_id3_tag(u"\\a.mp3").title);

    // Rewriting that tag changes only the tag.
    audio::Id3Tag tag;
    tag.title = u"Renamed";
    ASSERT_TRUE(audio::write_id3_tag(tag, u"\\a.mp3"));
    std::string const bytes = host();
    EXPECT_EQ(sound.size() + 128, bytes.size());
    EXPECT_EQ(sound, bytes.substr(0, sound.size()));
    EXPECT_EQ(u"Renamed", audio::read_id3_tag(u"\\a.mp3").title);
}

TEST_F(Id3TagTest, MissingFilesHaveNoTagAndAreCreatedByWriting) {
    EXPECT_FALSE(audio::read_id3_tag(u"\\missing.mp3").present);
    audio::Id3Tag tag;
    tag.artist = u"Someone";
    EXPECT_TRUE(audio::write_id3_tag(tag, u"\\new.mp3"));
    EXPECT_EQ(128u, read_host_file(device.host_path("new.mp3")).size());
    EXPECT_FALSE(audio::write_id3_tag(tag, u"\\no folder\\new.mp3"));
}

// The write while no file may grow past the limit, as when the storage fills.
bool write_with_size_limit(const audio::Id3Tag& tag, const std::u16string& path, rlim_t limit) {
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    auto const previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
    bool const written = audio::write_id3_tag(tag, path);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previous_handler);
    return written;
}

TEST_F(Id3TagTest, AFailedWriteLeavesTheFileAsItWas) {
    audio::Id3Tag tag;
    tag.title = u"Lost";
    std::string const untagged(3000, 'm');
    std::string const tagged = untagged + RawTag().put(3, "Kept", 30).bytes;
    for (const std::string& before : {tagged, untagged}) {
        SCOPED_TRACE(before.size());
        file(before);
        ASSERT_EQ(chmod(device.host_path("a.mp3").c_str(), 0444), 0);
        EXPECT_FALSE(audio::write_id3_tag(tag, u"\\a.mp3")) << "a read-only file";
        EXPECT_EQ(before, host());
        ASSERT_EQ(chmod(device.host_path("a.mp3").c_str(), 0644), 0);
    }

    file(untagged);
    EXPECT_FALSE(write_with_size_limit(tag, u"\\a.mp3", untagged.size() + 50));
    EXPECT_EQ(untagged, host()) << "no part of a tag is left at the end";
    EXPECT_FALSE(write_with_size_limit(tag, u"\\new.mp3", 60));
    EXPECT_FALSE(testing_support::host_file_exists(device.host_path("new.mp3"))) << "the file it made is removed";
}

}  // namespace
