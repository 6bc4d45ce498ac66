// The ID3v1 tag form on a real MP3 file: typed by keys, written by the caller and read back
// by ffprobe; the genre list; the track field's text rules; cancelling.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio/id3_tag.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "screens/id3_tag_form.h"
#include "tests/screens/dialog_fixture.h"
#include "tests/support/shell_tools.h"

namespace dialog_test {
namespace {

using testing_support::command_output;

using screens::Id3TagForm;

class Id3TagFormTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        host = device.host_path("My Documents/song.mp3");
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        std::string const command =
            "ffmpeg -v error -f lavfi -i sine=f=440:d=2 -c:a libmp3lame -b:a 64k -id3v2_version 0 '" + host + "'";
        ASSERT_EQ(std::system((command + " </dev/null").c_str()), 0);
    }

    // ffprobe's "key=value" lines of the file's tags.
    std::string tags_read_elsewhere() {
        return command_output("ffprobe -v error -show_entries format_tags=title,artist,album,date,comment,track,genre -of "
                         "default=noprint_wrappers=1 '" +
                         host + "'");
    }

    void type(const std::u16string& text) {
        for (char16_t c : text) {
            UINT const vk = c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
            EXPECT_TRUE(screen.control().press(vk, c));
        }
        settle();
    }

    std::u16string const path = u"\\My Documents\\song.mp3";
    std::string host;
};

TEST_F(Id3TagFormTest, TheGenreListHoldsEveryIdSortedByName) {
    auto const& genres = screens::id3_genres_by_name();
    ASSERT_EQ(genres.size(), 149u);
    EXPECT_EQ(genres.front().name, u"<none>");
    EXPECT_EQ(genres.front().id, 255);
    EXPECT_EQ(genres[1].name, u"A Cappella");
    for (std::size_t i = 1; i < genres.size(); ++i) EXPECT_LT(genres[i - 1].name, genres[i].name);
}

TEST_F(Id3TagFormTest, ATagTypedInIsReadBackByAnotherProgram) {
    audio::Id3Tag tag = audio::read_id3_tag(path);
    ASSERT_FALSE(tag.present);
    Id3TagForm form(nullptr, dialogs.get());
    post_action([&] {
        EXPECT_EQ(form.field(u"txtTrack").get_text(), u"0");
        EXPECT_EQ(form.genre().get_text_frame().get_text(), u"Blues");
        expect_looks_like("id3_empty");
        tap(form.field(u"txtTitle"));
        settle();
        type(u"Morning");
        expect_looks_like("id3_typed");
        tap(form.field(u"txtArtist"));
        type(u"Trio");
        tap(form.field(u"txtTrack"));
        form.field(u"txtTrack").select_all();
        type(u"7");
        // A title longer than the tag holds: the file keeps its first 30 characters.
        form.field(u"txtAlbum").set_text(u"An album whose name is forty chars long!");
        form.genre().select_id(8);
        EXPECT_EQ(form.genre().get_text_frame().get_text(), u"Jazz");
        form.on_click(form.find_control(u"btnOk"));
    });
    ASSERT_TRUE(form.edit(tag));
    ASSERT_TRUE(audio::write_id3_tag(tag, path));
    std::string const tags = tags_read_elsewhere();
    EXPECT_NE(tags.find("TAG:title=Morning\n"), std::string::npos) << tags;
    EXPECT_NE(tags.find("TAG:artist=Trio\n"), std::string::npos) << tags;
    EXPECT_NE(tags.find("TAG:album=An album whose name is forty c\n"), std::string::npos) << tags;
    EXPECT_NE(tags.find("TAG:track=7\n"), std::string::npos) << tags;
    EXPECT_NE(tags.find("TAG:genre=Jazz\n"), std::string::npos) << tags;
}

TEST_F(Id3TagFormTest, TheTrackFieldGivesItsLeadingNumber) {
    struct Case {
        const char16_t* text;
        std::uint32_t track;
    };
    for (Case const c : {Case{u"7a", 7}, Case{u"x", 0}, Case{u"", 12}, Case{u" 3", 3},
                         Case{u"-5", static_cast<std::uint32_t>(-5)}}) {
        audio::Id3Tag tag;
        tag.track = 12;
        Id3TagForm form(nullptr, dialogs.get());
        post_action([&] {
            form.field(u"txtTrack").set_text(c.text);
            form.on_click(form.find_control(u"btnOk"));
        });
        EXPECT_TRUE(form.edit(tag));
        EXPECT_EQ(tag.track, c.track) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    }
}

TEST_F(Id3TagFormTest, AnUnknownGenreShowsNoneAndIsWrittenAsNone) {
    audio::Id3Tag tag;
    tag.genre = 200;
    Id3TagForm form(nullptr, dialogs.get());
    post_action([&] {
        EXPECT_EQ(form.genre().get_text_frame().get_text(), u"<none>");
        form.on_click(form.find_control(u"btnOk"));
    });
    EXPECT_TRUE(form.edit(tag));
    EXPECT_EQ(tag.genre, 255u);
}

TEST_F(Id3TagFormTest, ClosingWithoutSaveIsNotAccepted) {
    audio::Id3Tag tag;
    tag.title = u"Old";
    Id3TagForm form(nullptr, dialogs.get());
    post_action([&] {
        form.field(u"txtTitle").set_text(u"New");
        PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(form.edit(tag));
}

}  // namespace
}  // namespace dialog_test
