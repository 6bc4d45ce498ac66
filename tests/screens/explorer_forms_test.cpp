// The forms that the file explorer's commands open, run from the explorer on a device folder
// with real sound files: names typed in place in the list, the bookmarks form whose Go plays
// from the chosen range, the properties, the ID3 tag read back by ffprobe, beaming to the test
// OBEX receiver, and the select-file and select-folder forms that add to a playlist.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/playlist/open.h"
#include "audio/bookmarks.h"
#include "platform/messages.h"
#include "platform/wave_testing.h"
#include "platform/windows.h"
#include "screens/beam_form.h"
#include "screens/bookmarks_form.h"
#include "screens/id3_tag_form.h"
#include "screens/message_forms.h"
#include "screens/panel_file_explorer.h"
#include "screens/properties_form.h"
#include "screens/select_forms.h"
#include "skin/form_impl.h"
#include "skin/frame.h"
#include "tests/screens/dialog_fixture.h"
#include "tests/screens/fixed_dates.h"
#include "tests/support/shell_tools.h"
#include "tests/support/child_process.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace dialog_test {
namespace {

using testing_support::command_output;

using screens::PanelFileExplorer;
using Names = std::vector<std::string>;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// 22050 Hz, 16-bit mono: 44100 bytes a second.
constexpr std::int32_t second = 44100;

class ExplorerFormsTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        platform::reset_virtual_wave();
        std::filesystem::create_directories(device.host_path("My Documents/Music"));
        make_sound("My Documents/talk.wav", "-ar 22050 -ac 1 -c:a pcm_s16le", 8);
        make_sound("My Documents/short.wav", "-ar 8000 -ac 1 -c:a pcm_s16le", 1);
        make_sound("My Documents/song.mp3", "-c:a libmp3lame -b:a 64k -id3v2_version 0", 2);
        make_sound("My Documents/Music/x.wav", "-ar 8000 -ac 1 -c:a pcm_s16le", 1);
        main_skin = load_skin(main_skin_path);
        document = std::make_unique<Document>();
        form = std::make_unique<skinner::Form>(nullptr, main_skin.get(), u"Main", nullptr);
        panel = std::make_unique<PanelFileExplorer>(form.get(), u"PanelFileExplorer", *document, dialogs.get());
        panel->set_sort(screens::SORT_NAME);
    }
    void TearDown() override {
        if (document) document->stop();
        panel.reset();
        form.reset();
        document.reset();
        platform::reset_virtual_wave();
    }

    void make_sound(const std::string& path, const std::string& format, int seconds) {
        std::string const command = "ffmpeg -v error -f lavfi -i sine=f=440:d=" + std::to_string(seconds) + " " +
                                    format + " '" + device.host_path(path) + "' </dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    Names shown() {
        Names names;
        for (const auto& row : panel->get_shown_list().get_rows()) names.push_back(narrow(row.file_name));
        return names;
    }
    static void select_in(screens::ControlListFiles& list, const Names& names) {
        list.clear_selection();
        for (int row = 0; row < list.get_row_count(); ++row)
            for (const std::string& name : names)
                if (narrow(list.get_row(row).file_name) == name) list.set_row_selected(row, true);
    }
    void select(const Names& names) { select_in(panel->get_shown_list(), names); }

    // The modal form of that class in front, or null.
    template <class F>
    static F* modal() {
        return dynamic_cast<F*>(skinner::Form::get_current_modal());
    }

    void press(UINT vk, char16_t character = 0) { EXPECT_TRUE(screen.control().press(vk, character)); }
    // The name field opened with the focus and the proposed name selected; then waits, without
    // a tap, until the screen gives the device's keys to the form that shows it.
    void expect_keys_go_to_editor(const std::u16string& selected) {
        auto& editor = panel->get_file_list().get_editor();
        EXPECT_TRUE(editor.has_focus());
        EXPECT_EQ(editor.get_text().substr(0, static_cast<std::size_t>(editor.selection_end())), selected);
        EXPECT_EQ(editor.selection_start(), 0);
        ASSERT_TRUE(pump_until_in_front(form->get_window(), form->get_window()));
    }
    void type(const std::u16string& text) {
        for (char16_t c : text) press(c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c, c);
        settle();
    }

    // Plays on the virtual sound device.
    testing_support::ScopedEnvironment audio{"SONBRIX_AUDIO", "virtual"};
    std::unique_ptr<skinner::Properties> main_skin;
    std::unique_ptr<Document> document;
    std::unique_ptr<skinner::Form> form;
    std::unique_ptr<PanelFileExplorer> panel;
};

TEST_F(ExplorerFormsTest, NamesAreTypedInPlaceInTheList) {
    form->set_visible(true);
    settle();
    auto& list = panel->get_file_list();
    post_action([&] {
        select({"short.wav"});
        panel->run_command(u"Rename");
        EXPECT_EQ(list.get_inplace_edit(), &list.get_editor());
        EXPECT_EQ(list.get_editor().get_text(), u"short") << "the name without its extension";
        expect_keys_go_to_editor(u"short");
        type(u"brief");
        screens_test::show_fixed_dates(list);
        expect_looks_like("explorer_renaming");
        press(VK_RETURN);
        settle();
        EXPECT_TRUE(std::filesystem::exists(device.host_path("My Documents/brief.wav")));
        EXPECT_FALSE(std::filesystem::exists(device.host_path("My Documents/short.wav")));

        // Escape drops what was typed.
        select({"brief.wav"});
        panel->run_command(u"Rename");
        expect_keys_go_to_editor(u"brief");
        type(u"gone");
        press(VK_ESCAPE);
        settle();
        EXPECT_EQ(list.get_inplace_edit(), nullptr);
        EXPECT_TRUE(std::filesystem::exists(device.host_path("My Documents/brief.wav")));
        EXPECT_FALSE(std::filesystem::exists(device.host_path("My Documents/gone.wav")));

        // A new folder's row is added at the end with a free name to type over.
        panel->run_command(u"NewFolder");
        EXPECT_EQ(list.get_editor().get_text(), u"NewFolder1");
        EXPECT_EQ(list.get_inplace_cell().row, list.get_row_count() - 1);
        expect_keys_go_to_editor(u"NewFolder1");
        type(u"Talks");
        press(VK_RETURN);
        settle();
        EXPECT_TRUE(std::filesystem::is_directory(device.host_path("My Documents/Talks")));
        EXPECT_EQ(shown(), (Names{"Music", "Talks", "brief.wav", "song.mp3", "talk.wav"}))
            << "the list is read again: no row is left without a file";

        // Escape leaves no folder behind.
        panel->run_command(u"NewFolder");
        expect_keys_go_to_editor(u"NewFolder1");
        press(VK_ESCAPE);
        settle();
        EXPECT_FALSE(std::filesystem::exists(device.host_path("My Documents/NewFolder1")));
        EXPECT_EQ(shown(), (Names{"Music", "Talks", "brief.wav", "song.mp3", "talk.wav"}));
        form->close();
    });
    form->do_modal();
}

// The ranges "Start" and "Chorus" (from 5 s) in the sound file's bookmark file.
bool save_start_and_chorus(const std::u16string& path) {
    Bookmarks marks;
    marks.insert(0, u"Start", false);
    marks.insert(5 * second, u"Chorus", false);
    return marks.save(path + u".bm");
}

TEST_F(ExplorerFormsTest, GoInTheBookmarksFormPlaysFromTheChosenRange) {
    std::u16string const path = u"\\My Documents\\talk.wav";
    ASSERT_TRUE(save_start_and_chorus(path));
    select({"talk.wav"});
    when([] { return modal<screens::BookmarksForm>() != nullptr; },
         [&] {
             auto& shown_form = *modal<screens::BookmarksForm>();
             auto& grid = shown_form.get_grid();
             ASSERT_EQ(grid.get_row_count(), 2);
             EXPECT_EQ(grid.get_rows()[1].name, u"Chorus");
             grid.select_only_row(1);
             tap(*shown_form.find_control(u"btnGo"));
         });
    panel->run_command(u"Bookmarks");
    EXPECT_TRUE(document->is_playing());
    EXPECT_EQ(document->get_play_file().path, path);
    EXPECT_GE(document->get_position(), static_cast<std::uint32_t>(5 * second)) << "played from the chosen range";
    EXPECT_EQ(Bookmarks(path + u".bm").size(), 2) << "the list is written back";
}

// The bookmarks form opens over the explorer in front and takes the keys from it: a range is
// renamed by typing at once, with no tap into the form first.
TEST_F(ExplorerFormsTest, TheBookmarksFormTakesTheKeysAsItOpens) {
    std::u16string const path = u"\\My Documents\\talk.wav";
    ASSERT_TRUE(save_start_and_chorus(path));
    form->set_visible(true);
    form->get_impl()->bring_to_front();
    ASSERT_TRUE(pump_until_in_front(form->get_window()));
    select({"talk.wav"});
    when([] { return modal<screens::BookmarksForm>() != nullptr; },
         [&] {
             auto& shown_form = *modal<screens::BookmarksForm>();
             auto& grid = shown_form.get_grid();
             grid.select_only_row(1);
             shown_form.on_click(shown_form.find_control(u"btnEdit"));
             EXPECT_TRUE(grid.get_editor().has_focus());
             ASSERT_TRUE(pump_until_in_front(shown_form.get_window(), shown_form.get_window()));
             type(u"Verse");
             press(VK_RETURN);
             settle();
             EXPECT_EQ(grid.get_rows()[1].name, u"Verse");
             shown_form.close();
         });
    panel->run_command(u"Bookmarks");
    Bookmarks const saved(path + u".bm");
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved.get(1).name, u"Verse");
}

TEST_F(ExplorerFormsTest, ABookmarkFileThatIsNotUnderstoodIsKept) {
    std::string const unreadable = "<not a bookmark list";
    testing_support::write_host_file(device.host_path("My Documents/talk.wav.bm"), unreadable);
    select({"talk.wav"});
    when([] { return modal<screens::BookmarksForm>() != nullptr; },
         [&] { modal<screens::BookmarksForm>()->close(); });
    panel->run_command(u"Bookmarks");
    EXPECT_EQ(testing_support::read_host_file(device.host_path("My Documents/talk.wav.bm")), unreadable);
}

TEST_F(ExplorerFormsTest, PropertiesOfTheSelectedFile) {
    select({"talk.wav"});
    std::u16string name_shown;
    when([] { return modal<screens::PropertiesForm>() != nullptr; },
         [&] {
             auto& shown_form = *modal<screens::PropertiesForm>();
             name_shown = dynamic_cast<skinner::ControlFrame&>(*shown_form.find_control(u"frmFileName")).get_text();
             tap(*shown_form.find_control(u"btnOk"));
         });
    panel->run_command(u"Properties");
    EXPECT_NE(name_shown.find(u"talk.wav"), std::u16string::npos) << narrow(name_shown);
}

TEST_F(ExplorerFormsTest, AnId3TagEditedFromTheExplorerIsReadBackByAnotherProgram) {
    select({"song.mp3"});
    when([] { return modal<screens::Id3TagForm>() != nullptr; },
         [&] {
             auto& shown_form = *modal<screens::Id3TagForm>();
             shown_form.field(u"txtTitle").set_text(u"Evening");
             shown_form.field(u"txtArtist").set_text(u"Duo");
             tap(*shown_form.find_control(u"btnOk"));
         });
    panel->run_command(u"Id3Tags");
    std::string const tags = command_output("ffprobe -v error -show_entries format_tags=title,artist -of "
                                       "default=noprint_wrappers=1 '" +
                                       device.host_path("My Documents/song.mp3") + "'");
    EXPECT_NE(tags.find("TAG:title=Evening\n"), std::string::npos) << tags;
    EXPECT_NE(tags.find("TAG:artist=Duo\n"), std::string::npos) << tags;
}

// The file is read-only, or goes before the command or while the form is open: the error form
// says so, and the file is neither changed nor made anew.
TEST_F(ExplorerFormsTest, AnId3TagThatCannotBeReadOrWrittenIsReported) {
    std::string const song = device.host_path("My Documents/song.mp3");
    std::string const before = testing_support::read_host_file(song);
    struct Case {
        const char* what;
        std::function<void()> before_command;
        std::function<void()> in_form;
        bool form_opens;
        std::u16string caption;
        bool kept;           // false: the file is gone and not made anew
        const char* look;    // the error form's expected picture, or null
    };
    auto const make_read_only = [&] { ASSERT_EQ(chmod(song.c_str(), 0444), 0); };
    auto const remove_song = [&] { std::filesystem::remove(song); };
    Case const cases[] = {
        {"read-only", make_read_only, [] {}, true, u"Tag not saved", true, "explorer_id3_write_error"},
        {"gone while the form is open", [] {}, remove_song, true, u"Tag not saved", false, nullptr},
        {"gone before the command", remove_song, [] {}, false, u"Cannot read tag", false, nullptr},
    };
    // Kept for the whole test: an answer still waiting when a case fails must not outlive them.
    const Case* current = nullptr;
    bool form_opened = false;
    std::u16string caption;
    std::u16string message;
    std::function<void()> answer = [&] {
        skinner::Form* const shown = skinner::Form::get_current_modal();
        if (auto* const tag_form = dynamic_cast<screens::Id3TagForm*>(shown)) {
            form_opened = true;
            tag_form->field(u"txtTitle").set_text(u"Lost");
            current->in_form();
            tap(*tag_form->find_control(u"btnOk"));
            when([shown] { return skinner::Form::get_current_modal() && skinner::Form::get_current_modal() != shown; },
                 answer);
            return;
        }
        auto text = [shown](const char16_t* frame) {
            return dynamic_cast<skinner::ControlFrame&>(*shown->find_control(frame)).get_text();
        };
        caption = text(u"frmCaption");
        message = text(u"frmMessage");
        EXPECT_NE(dynamic_cast<screens::ErrorForm*>(shown), nullptr);
        if (current->look) expect_looks_like(current->look);
        tap(*shown->find_control(u"btnOk"));
    };
    form->set_visible(true);
    settle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        current = &c;
        form_opened = false;
        caption.clear();
        message.clear();
        testing_support::write_host_file(song, before);
        c.before_command();
        select({"song.mp3"});
        when([] { return skinner::Form::get_current_modal() != nullptr; }, answer);
        panel->run_command(u"Id3Tags");
        EXPECT_EQ(form_opened, c.form_opens);
        EXPECT_EQ(caption, c.caption);
        EXPECT_NE(message.find(u"song.mp3"), std::u16string::npos) << narrow(message);
        ASSERT_EQ(std::filesystem::exists(song), c.kept);
        if (c.kept) {
            EXPECT_EQ(testing_support::read_host_file(song), before);
            ASSERT_EQ(chmod(song.c_str(), 0644), 0);
        }
    }
}

TEST_F(ExplorerFormsTest, FormCommandsWithoutTheirSelectionOpenNothing) {
    struct Case {
        const char16_t* command;
        Names selection;
    };
    // AddFile and AddFolder belong to a shown playlist; Id3Tags to an MP3 file.
    for (Case const& c : {Case{u"Bookmarks", {}}, Case{u"Properties", {}}, Case{u"Infrared", {}},
                          Case{u"Id3Tags", {}}, Case{u"Id3Tags", {"talk.wav"}}, Case{u"Bookmarks", {"Music"}},
                          Case{u"Bookmarks", {"talk.wav", "short.wav"}}, Case{u"AddFile", {}},
                          Case{u"AddFolder", {}}}) {
        SCOPED_TRACE(narrow(c.command));
        select(c.selection);
        bool opened = false;
        when([] { return skinner::Form::get_current_modal() != nullptr; },
             [&] {
                 opened = true;
                 skinner::Form::get_current_modal()->close();
             });
        post_action([&] {
            panel->run_command(c.command);
            form->close();
        });
        form->do_modal();
        EXPECT_FALSE(opened);
    }
}

TEST_F(ExplorerFormsTest, InfraredBeamsTheFileThroughTheBeamForm) {
    std::string const received = device.folder() + "/received";
    std::filesystem::create_directories(received);
    testing_support::ChildProcess receiver(SONBRIX_OBEX_RECEIVE,
                                           std::vector<std::string>{"--name", "Desktop", "--into", received});
    ASSERT_NE(receiver.read_line().find("in range"), std::string::npos);
    select({"short.wav"});
    when([] { return modal<screens::BeamForm>() && modal<screens::BeamForm>()->get_state() == screens::BeamForm::State::choosing; },
         [&] { tap(*modal<screens::BeamForm>()->find_control(u"btnBeam")); });
    panel->run_command(u"Infrared");
    EXPECT_EQ(testing_support::read_host_file(received + "/short.wav"),
              testing_support::read_host_file(device.host_path("My Documents/short.wav")));
}

class ExplorerPlaylistTest : public ExplorerFormsTest {
protected:
    void SetUp() override {
        ExplorerFormsTest::SetUp();
        testing_support::write_host_file(device.host_path("My Documents/Mix.m3u"), "#EXTM3U\r\n");
        panel->open_folder(u"\\My Documents\\Mix.m3u", true);
        ASSERT_TRUE(panel->is_playlist_mode());
    }
    Names saved() {
        Names paths;
        if (auto list = playlist::open(u"\\My Documents\\Mix.m3u"))
            for (const auto& entry : list->get_entries()) paths.push_back(narrow(entry.path));
        return paths;
    }
};

TEST_F(ExplorerPlaylistTest, AddFileAddsTheFilesPickedInTheSelectFileForm) {
    when([] { return modal<screens::SelectFileForm>() != nullptr; },
         [&] {
             auto& picker = *modal<screens::SelectFileForm>();
             EXPECT_EQ(picker.get_folder_combo().get_path(), u"\\");
             picker.on_click(picker.find_control(u"btnUp"));
             EXPECT_EQ(picker.get_folder_combo().get_path(), u"\\") << "the root has no parent";
             picker.show_folder(u"\\My Documents");
             auto& list = picker.get_list();
             EXPECT_EQ(list.get_row_count(), 3) << "the sound files of every type";
             picker.get_type_combo().set_selected_index(1);
             ASSERT_EQ(list.get_row_count(), 1) << "mp3 files alone";
             EXPECT_EQ(list.get_row(0).file_name, u"song.mp3");
             EXPECT_EQ(picker.get_type_combo().get_text_frame().get_text(), u"Mp3 files (*.mp3)");
             picker.get_type_combo().set_selected_index(0);
             select_in(list, {"short.wav", "song.mp3"});
             screens_test::show_fixed_dates(list);
             expect_looks_like("select_files");
             tap(*picker.find_control(u"btnOk"));
         });
    panel->run_command(u"AddFile");
    EXPECT_EQ(shown(), (Names{"short.wav", "song.mp3"}));
    EXPECT_EQ(saved(), (Names{"\\My Documents\\short.wav", "\\My Documents\\song.mp3"}));

    when([] { return modal<screens::SelectFileForm>() != nullptr; },
         [&] {
             auto& picker = *modal<screens::SelectFileForm>();
             picker.show_folder(u"\\My Documents");
             select_in(picker.get_list(), {"talk.wav"});
             tap(*picker.find_control(u"btnCancel"));
         });
    panel->run_command(u"AddFile");
    EXPECT_EQ(shown(), (Names{"short.wav", "song.mp3"})) << "cancelled: nothing added";
}

TEST_F(ExplorerPlaylistTest, AddFolderAddsTheSoundFilesOfTheChosenFolder) {
    when([] { return modal<screens::SelectFolderForm>() != nullptr; },
         [&] {
             auto& picker = *modal<screens::SelectFolderForm>();
             auto& tree = picker.get_tree();
             for (int row = 0; row < tree.get_row_count(); ++row) {
                 skinner::ControlTreeFolderNode* const node = tree.get_folder_at_row(row);
                 if (node != nullptr && node->get_path() == u"\\My Documents") tree.select_row(row);
             }
             EXPECT_EQ(picker.get_chosen_folder(), u"\\My Documents");
             tap(*picker.find_control(u"btnOk"));
         });
    panel->run_command(u"AddFolder");
    EXPECT_EQ(shown(), (Names{"short.wav", "song.mp3", "talk.wav"})) << "files only, no folder, no playlist";
    EXPECT_EQ(saved().size(), 3u);
}

}  // namespace
}  // namespace dialog_test
