// The dialog forms on the high-density screen, where the skin is drawn at twice its size.
// One form a test: the screen's size is learnt once per process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "audio/active_buffer.h"
#include "audio/bookmarks.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/id3_tag.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "screens/bookmarks_form.h"
#include "screens/id3_tag_form.h"
#include "screens/message_forms.h"
#include "tests/screens/dialog_fixture.h"

namespace dialog_test {
namespace {

class DialogLooks480x640Test : public DialogTest {
protected:
    DialogLooks480x640Test() : DialogTest("480x640") {}

    // Takes the screen from inside the form's modal loop, then closes it.
    void look_at(skinner::Form& form, const std::string& name) {
        post_action([&form, name, this] {
            expect_looks_like(name);
            PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
        });
    }
};

TEST_F(DialogLooks480x640Test, TheConfirmation) {
    screens::ConfirmForm form(nullptr, dialogs.get(), u"Confirm5Way");
    screens::set_form_texts(form, u"Replace", u"Replace the file take.mp3?");
    look_at(form, "confirm_5way_480x640");
    form.run();
}

TEST_F(DialogLooks480x640Test, TheTagForm) {
    screens::Id3TagForm form(nullptr, dialogs.get());
    audio::Id3Tag tag;
    tag.title = u"Morning";
    tag.genre = 8;
    look_at(form, "id3_480x640");
    form.edit(tag);
}

TEST_F(DialogLooks480x640Test, TheBookmarksForm) {
    std::string const host = device.host_path("My Documents/talk.wav");
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    ASSERT_EQ(std::system(("sox -n -r 22050 -c 1 -b 16 '" + host + "' synth 10 sine 440 2>/dev/null").c_str()), 0);
    audio::FileReaderWAVPCM reader(u"\\My Documents\\talk.wav");
    auto const main_skin = load_skin(main_skin_path);
    Bookmarks marks;
    marks.insert(3 * 44100, u"Verse", true);
    marks.insert(6 * 44100, u"Chorus", false);
    screens::BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", reader, u"\\My Documents\\talk.wav");
    post_action([&] {
        form.get_grid().set_row_selected(1, true);
        expect_looks_like("bookmarks_480x640");
        PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
    });
    form.run(marks);
}

}  // namespace
}  // namespace dialog_test
