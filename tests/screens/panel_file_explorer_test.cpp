// The file explorer panel on a device folder with real sound files: browsing folders and a
// playlist, sorting, cut, copy and paste between folders and into a playlist, rename, new
// folder, new playlist and delete, driven as the main form drives it (commands by name,
// list events, the sort and folder-up buttons); what the device folder holds afterwards.
#include "screens/panel_file_explorer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/playlist/open.h"
#include "screens/explorer_manager.h"
#include "tests/screens/fixed_dates.h"
#include "tests/screens/screens_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/expected_image.h"

namespace screens_test {
namespace {

using screens::CONFIRM_NO;
using screens::CONFIRM_YES;
using screens::PanelFileExplorer;
using Names = std::vector<std::string>;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// A short PCM WAV file (8 kHz, mono, 16 bits) of the given number of samples.
std::string wav_file(std::uint32_t samples) {
    auto le = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        return out;
    };
    std::uint32_t const data = samples * 2;
    return "RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) + le(16000, 4) +
           le(2, 2) + le(16, 2) + "data" + le(data, 4) + std::string(data, '\x10');
}

// The entry paths of a playlist file, as the program reads it.
Names playlist_paths(const std::u16string& path) {
    Names paths;
    if (auto list = playlist::open(path))
        for (const auto& entry : list->get_entries()) paths.push_back(narrow(entry.path));
    return paths;
}

class PanelFileExplorerTest : public ScreensTest {
protected:
    explicit PanelFileExplorerTest(const char* size = "240x320") : ScreensTest(size) {}

    void SetUp() override {
        put("My Documents/b.wav", wav_file(800));
        put("My Documents/a.wav", wav_file(1600));
        put("My Documents/a.wav.bm", "bookmarks of a");
        put("My Documents/c.wav", wav_file(400));
        put("My Documents/Music/x.wav", wav_file(100));
        put("My Documents/Music/x.wav.bm", "bookmarks of x");
        std::filesystem::create_directories(device.host_path("My Documents/Empty"));
        document = std::make_unique<Document>();
        dialog_skin = load_skin(settings_skin);
        main_skin_properties = load_skin(main_skin);
        form = std::make_unique<skinner::Form>(nullptr, main_skin_properties.get(), u"Main", nullptr);
        panel = std::make_unique<PanelFileExplorer>(form.get(), u"PanelFileExplorer", *document, dialog_skin.get());
        screens::set_confirm_asker([this](skinner::Form*, skinner::Properties*, const std::u16string& name,
                                          const std::u16string& caption, const std::u16string&) {
            questions.push_back(narrow(name) + " " + narrow(caption));
            if (answers.empty()) return static_cast<int>(screens::CONFIRM_CANCEL);
            int const answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    void TearDown() override {
        screens::set_confirm_asker(nullptr);
        panel.reset();
        form.reset();
        document.reset();
    }

    Names shown() {
        Names names;
        for (const auto& row : panel->get_shown_list().get_rows()) names.push_back(narrow(row.file_name));
        return names;
    }
    void select(const Names& names) {
        auto& list = panel->get_shown_list();
        list.clear_selection();
        for (int row = 0; row < list.get_row_count(); ++row) {
            for (const std::string& name : names)
                if (narrow(list.get_row(row).file_name) == name) list.set_row_selected(row, true);
        }
    }
    int row_of(const std::string& name) {
        auto& list = panel->get_shown_list();
        for (int row = 0; row < list.get_row_count(); ++row)
            if (narrow(list.get_row(row).file_name) == name) return row;
        return -1;
    }
    // Selects the row and taps it, as the list reports a tap.
    void tap_row(const std::string& name) {
        select({name});
        panel->on_item_click(&panel->get_shown_list(), {2, row_of(name)});
    }
    // Runs the command; the name it opens for typing in place is answered from `typed` and
    // accepted, or, with nothing left to type, dropped.
    void run_typed(const std::u16string& command) {
        panel->run_command(command);
        auto& list = panel->get_file_list();
        if (list.get_inplace_edit() != &list.get_editor()) return;
        prompts.push_back(std::to_string(panel->get_edit_mode()) + " " + narrow(list.get_editor().get_text()));
        bool const answered = !typed.empty();
        if (answered) {
            list.get_editor().set_text(typed.front());
            typed.pop_front();
        }
        list.end_inplace_edit(answered);
    }
    bool menu_enabled(const char16_t* command) {
        panel->update_menu();
        return panel->get_menu_button(command)->is_enabled();
    }
    // Runs the command while a user closes the error form it opens by tapping OK.
    void run_closing_error(const std::u16string& command) {
        bool done = false;
        as_user(
            [&] {
                auto const box = wait_for_window(224 * scale(), 140 * scale());
                tap(box.left + 180 * scale(), box.top + 122 * scale());
            },
            [&] {
                post_action([&] {
                    run_typed(command);
                    done = true;
                });
                EXPECT_TRUE(pump_until([&] { return done; }));
            });
    }
    int scale() const { return width >= 480 ? 2 : 1; }
    // Opens the context menu on the row as a held tap does, and compares the screen with the
    // menu open; the user then dismisses it with a tap beside it.
    void expect_context_menu_looks_like(const std::string& row_name, const std::string& name) {
        bool closed = false;
        as_user(
            [&] {
                platform::screen::ScreenRect menu{};
                bool const open = testing_support::eventually([&] {
                    for (const auto& window : screen.windows())
                        if (window.class_name == "sonbrix_popup_menu" && window.visible) menu = window.rect;
                    return menu.right > menu.left;
                });
                ASSERT_TRUE(open) << "no menu";
                // The menu window shows before it has drawn itself: black until then.
                EXPECT_TRUE(testing_support::eventually([&] {
                    auto const picture = screen.screenshot();
                    int black = 0;
                    int all = 0;
                    for (int y = std::max(menu.top, 0); y < std::min(menu.bottom, picture.height); ++y)
                        for (int x = std::max(menu.left, 0); x < std::min(menu.right, picture.width); ++x, ++all)
                            black += (picture.at(x, y) & 0xFFFFFF) == 0;
                    return black * 2 < all;
                }));
                EXPECT_TRUE(screen.wait_idle());
                EXPECT_EQ(testing_support::compare_with_expected(screen.screenshot(), SONBRIX_SCREENS_EXPECTED, name), "");
                tap(4, 40);  // outside the menu: dismissed
            },
            [&] {
                post_action([&] {
                    panel->on_item_context(&panel->get_shown_list(), {2, row_of(row_name)});
                    closed = true;
                });
                EXPECT_TRUE(pump_until([&] { return closed; }));
            });
    }

    std::unique_ptr<Document> document;
    std::unique_ptr<skinner::Properties> dialog_skin;
    std::unique_ptr<skinner::Properties> main_skin_properties;
    std::unique_ptr<skinner::Form> form;
    std::unique_ptr<PanelFileExplorer> panel;
    std::deque<std::u16string> typed;
    std::vector<std::string> prompts;
    std::deque<int> answers;
    std::vector<std::string> questions;
};

TEST_F(PanelFileExplorerTest, BrowsesFoldersAndKeepsTheDocumentsPlaylist) {
    EXPECT_EQ(narrow(panel->get_folder()), "\\My Documents");
    EXPECT_EQ(shown(), (Names{"Empty", "Music", "a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(document->get_playlist_size(), 3) << "the playable rows, folders left out";

    tap_row("Music");
    EXPECT_EQ(narrow(panel->get_folder()), "\\My Documents\\Music");
    EXPECT_EQ(shown(), (Names{"x.wav"}));
    EXPECT_EQ(narrow(document->get_settings().file_explorer.folder), "\\My Documents\\Music");

    panel->on_click(panel->get_panel_container()->find_control(u"btnFolderUp"));
    EXPECT_EQ(narrow(panel->get_folder()), "\\My Documents");
    EXPECT_EQ(narrow(panel->get_file_list().get_single_selected_path()), "\\My Documents\\Music")
        << "going up selects the folder just left";

    panel->on_click(panel->get_panel_container()->find_control(u"btnFolderUp"));
    EXPECT_EQ(narrow(panel->get_folder()), "\\");
    panel->on_click(panel->get_panel_container()->find_control(u"btnFolderUp"));
    EXPECT_EQ(narrow(panel->get_folder()), "\\") << "the root has no parent";
}

TEST_F(PanelFileExplorerTest, BrowsingWithTheStylus) {
    form->set_visible(true);
    painted();
    // Taps on the device screen while this thread serves the form, until the panel shows
    // what the tap asked for.
    auto tap_until = [&](int x, int y, const std::function<bool()>& shown_as_asked) {
        as_user([&] { tap(x, y); }, [&] { EXPECT_TRUE(pump_until(shown_as_asked)); });
    };
    // The panel lies at (0, 96): sort buttons at y 130, rows of 20 from y 154.
    tap_until(60, 184, [&] { return panel->get_folder() == u"\\My Documents\\Music"; });  // the row "Music"
    EXPECT_EQ(shown(), (Names{"x.wav"}));
    tap_until(220, 112, [&] { return panel->get_folder() == u"\\My Documents"; });  // folder up
    EXPECT_EQ(narrow(panel->get_file_list().get_single_selected_path()), "\\My Documents\\Music");
    tap_until(60, 140, [&] { return document->get_settings().file_explorer.sort == screens::SORT_NAME_DESCENDING; });
    EXPECT_EQ(shown(), (Names{"Music", "Empty", "c.wav", "b.wav", "a.wav"}));
    tap_until(60, 184, [&] { return panel->get_folder() == u"\\My Documents\\Empty"; });
    EXPECT_TRUE(shown().empty());
}

TEST_F(PanelFileExplorerTest, TheFolderComboShowsTheFolderAndOpensTheOneChosen) {
    auto& combo = panel->get_folder_combo();
    EXPECT_EQ(narrow(combo.get_path()), "\\My Documents");
    tap_row("Music");
    EXPECT_EQ(narrow(combo.get_path()), "\\My Documents\\Music");

    combo.set_path(u"\\My Documents\\Empty");  // as the drop-down's tree leaves it
    panel->on_combo_changed(&combo);
    EXPECT_EQ(narrow(panel->get_folder()), "\\My Documents\\Empty");
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(narrow(document->get_settings().file_explorer.folder), "\\My Documents\\Empty");
}

TEST_F(PanelFileExplorerTest, SortButtonsToggleBetweenAscendingAndDescending) {
    auto& name_button = panel->get_sort_button(0);
    auto& size_button = panel->get_sort_button(2);
    panel->set_sort(screens::SORT_NAME);
    panel->on_click(&name_button);
    EXPECT_EQ(document->get_settings().file_explorer.sort, screens::SORT_NAME_DESCENDING);
    EXPECT_EQ(name_button.get_state(), 2u);
    EXPECT_EQ(shown(), (Names{"Music", "Empty", "c.wav", "b.wav", "a.wav"}));

    panel->on_click(&size_button);
    EXPECT_EQ(size_button.get_state(), 1u);
    EXPECT_EQ(name_button.get_state(), 0u);
    EXPECT_EQ(shown(), (Names{"Empty", "Music", "c.wav", "b.wav", "a.wav"}));
    panel->on_click(&size_button);
    EXPECT_EQ(shown(), (Names{"Empty", "Music", "a.wav", "b.wav", "c.wav"}));
}

TEST_F(PanelFileExplorerTest, CutAndPasteMovesFilesWithTheirBookmarks) {
    select({"a.wav", "b.wav"});
    EXPECT_FALSE(menu_enabled(u"Paste"));
    panel->run_command(u"Cut");
    EXPECT_FALSE(menu_enabled(u"Paste")) << "no paste into the folder the files were cut from";
    tap_row("Music");
    EXPECT_TRUE(menu_enabled(u"Paste"));
    panel->run_command(u"Paste");
    EXPECT_EQ(shown(), (Names{"a.wav", "b.wav", "x.wav"}));
    EXPECT_EQ(content("My Documents/Music/a.wav.bm"), "bookmarks of a");
    EXPECT_FALSE(has("My Documents/a.wav"));
    EXPECT_FALSE(has("My Documents/a.wav.bm"));
    EXPECT_TRUE(panel->get_clipboard().empty());
    EXPECT_EQ(document->get_playlist_size(), 3);
}

TEST_F(PanelFileExplorerTest, CopyAndPasteIntoAPlaylistAddsThePathsAndKeepsTheClipboard) {
    put("My Documents/Mix.m3u", "#EXTM3U\r\n#EXTINF:1,\r\n\\My Documents\\Music\\x.wav\r\n");
    panel->refresh_file_list();
    select({"a.wav", "c.wav"});
    panel->run_command(u"Copy");
    tap_row("Mix.m3u");
    ASSERT_TRUE(panel->is_playlist_mode());
    EXPECT_EQ(shown(), (Names{"x.wav"}));
    panel->run_command(u"Paste");
    EXPECT_EQ(shown(), (Names{"x.wav", "a.wav", "c.wav"}));
    EXPECT_EQ(panel->get_clipboard().size(), 2u);
    EXPECT_EQ(playlist_paths(u"\\My Documents\\Mix.m3u"),
              (Names{"\\My Documents\\Music\\x.wav", "\\My Documents\\a.wav", "\\My Documents\\c.wav"}))
        << "saved at once";
    EXPECT_TRUE(has("My Documents/a.wav")) << "the files themselves stay";

    select({"a.wav"});
    panel->run_command(u"MoveUp");
    EXPECT_EQ(shown(), (Names{"a.wav", "x.wav", "c.wav"}));
    panel->run_command(u"MoveUp");
    EXPECT_EQ(shown(), (Names{"a.wav", "x.wav", "c.wav"})) << "the first row goes no higher";
    select({"x.wav"});
    panel->run_command(u"Delete");
    EXPECT_EQ(shown(), (Names{"a.wav", "c.wav"}));
    EXPECT_EQ(playlist_paths(u"\\My Documents\\Mix.m3u"), (Names{"\\My Documents\\a.wav", "\\My Documents\\c.wav"}));
    EXPECT_TRUE(has("My Documents/Music/x.wav")) << "removing an entry deletes no file";
}

TEST_F(PanelFileExplorerTest, RenameKeepsTheExtensionAndTakesTheBookmarks) {
    select({"a.wav"});
    typed = {u"song", u"other.mp3"};
    run_typed(u"Rename");
    EXPECT_EQ(prompts, (std::vector<std::string>{"0 a"}));
    EXPECT_EQ(content("My Documents/song.wav.bm"), "bookmarks of a");
    EXPECT_TRUE(has("My Documents/song.wav"));
    EXPECT_FALSE(has("My Documents/a.wav"));

    select({"song.wav"});
    run_typed(u"Rename");
    EXPECT_TRUE(has("My Documents/other.wav")) << "a typed extension does not change the file's";

    select({"other.wav"});
    typed = {u"b"};
    answers = {CONFIRM_NO};
    run_typed(u"Rename");
    EXPECT_EQ(questions, (std::vector<std::string>{"ConfirmYesNo Replace file"}));
    EXPECT_TRUE(has("My Documents/other.wav.bm")) << "declined: the bookmarks stay with their file";
    EXPECT_FALSE(has("My Documents/b.wav.bm"));
}

TEST_F(PanelFileExplorerTest, RefusedNamesAreSaidAndChangeNothing) {
    std::vector<std::u16string> const refused{u"", u"..", u"a\\b", u"a/b", u"   "};
    for (const std::u16string& name : refused) {
        SCOPED_TRACE(narrow(name));
        select({"a.wav"});
        typed = {name};
        run_closing_error(u"Rename");
        typed = {name};
        run_closing_error(u"NewFolder");
        typed = {name};
        run_closing_error(u"NewPlaylist");
    }
    EXPECT_EQ(shown(), (Names{"Empty", "Music", "a.wav", "b.wav", "c.wav"}));
    EXPECT_TRUE(has("My Documents/a.wav.bm"));
    EXPECT_FALSE(has("My Documents/a"));
}

TEST_F(PanelFileExplorerTest, NewFolderAndNewPlaylist) {
    typed = {u"Fresh"};
    run_typed(u"NewFolder");
    EXPECT_EQ(prompts.back(), "1 NewFolder1");
    EXPECT_TRUE(std::filesystem::is_directory(device.host_path("My Documents/Fresh")));

    // What was cut before is not moved into the new playlist: it gets the selected files.
    select({"c.wav"});
    panel->run_command(u"Cut");
    select({"a.wav", "b.wav"});
    typed = {u"Evening"};
    run_typed(u"NewPlaylist");
    EXPECT_EQ(prompts.back(), "2 NewPlaylist1");
    ASSERT_TRUE(panel->is_playlist_mode());
    EXPECT_EQ(shown(), (Names{"a.wav", "b.wav"}));
    EXPECT_EQ(playlist_paths(u"\\My Documents\\Evening.m3u"), (Names{"\\My Documents\\a.wav", "\\My Documents\\b.wav"}));
    EXPECT_TRUE(has("My Documents/c.wav")) << "the cut file stays where it was";
    EXPECT_TRUE(has("My Documents/a.wav"));
}

TEST_F(PanelFileExplorerTest, NoToReplacingAPlaylistLeavesItAndCreatesNothing) {
    put("My Documents/Evening.m3u", "#EXTM3U\r\n\\My Documents\\c.wav\r\n");
    panel->refresh_file_list();
    select({"a.wav"});
    typed = {u"Evening"};
    answers = {CONFIRM_NO};
    run_typed(u"NewPlaylist");
    EXPECT_EQ(content("My Documents/Evening.m3u"), "#EXTM3U\r\n\\My Documents\\c.wav\r\n");
    EXPECT_FALSE(panel->is_playlist_mode());
}

TEST_F(PanelFileExplorerTest, DeleteAsksFirstAndTakesTheBookmarks) {
    select({"a.wav", "b.wav"});
    answers = {CONFIRM_NO};
    panel->run_command(u"Delete");
    EXPECT_TRUE(has("My Documents/a.wav"));

    chmod(device.host_path("My Documents/b.wav").c_str(), 0444);
    answers = {CONFIRM_YES, CONFIRM_YES};
    panel->run_command(u"Delete");
    EXPECT_EQ(questions, (std::vector<std::string>{"ConfirmYesNo Delete", "ConfirmYesNo Delete",
                                                   "Confirm5Way Read-only file"}));
    EXPECT_FALSE(has("My Documents/a.wav"));
    EXPECT_FALSE(has("My Documents/a.wav.bm"));
    EXPECT_FALSE(has("My Documents/b.wav"));
    EXPECT_EQ(shown(), (Names{"Empty", "Music", "c.wav"}));
}

TEST_F(PanelFileExplorerTest, SendingNeedsASelectedFile) {
    std::vector<std::string> sent;
    panel->set_beam([&](const std::u16string& path) { sent.push_back("beam " + narrow(path)); });
    panel->set_mail([&](const std::u16string& path) { sent.push_back("mail " + narrow(path)); });
    panel->run_command(u"Infrared");
    panel->run_command(u"Mail");
    EXPECT_TRUE(sent.empty());
    select({"c.wav"});
    panel->run_command(u"Infrared");
    panel->run_command(u"Mail");
    EXPECT_EQ(sent, (std::vector<std::string>{"beam \\My Documents\\c.wav", "mail \\My Documents\\c.wav"}));
}

TEST_F(PanelFileExplorerTest, ConvertingAFileThatNoReaderTakesIsAnError) {
    put("My Documents/broken.wav", "not a sound");
    panel->refresh_file_list();
    bool converted = false;
    panel->set_converter([&](const std::u16string&, const std::u16string&) { return converted = true; });
    select({"broken.wav"});
    run_closing_error(u"WavToMp3");
    EXPECT_FALSE(converted);
    EXPECT_FALSE(has("My Documents/broken.mp3"));
}

TEST_F(PanelFileExplorerTest, ConvertingAWavFileMakesTheMp3FileBesideItAndSelectsIt) {
    select({"a.wav"});
    panel->run_command(u"WavToMp3");
    EXPECT_TRUE(has("My Documents/a.mp3"));
    EXPECT_TRUE(has("My Documents/a.wav"));
    EXPECT_EQ(narrow(panel->get_file_list().get_single_selected_path()), "\\My Documents\\a.mp3");
}

TEST_F(PanelFileExplorerTest, ConvertingOverAReadOnlyMp3FileReplacesItOnceAgreedTo) {
    put("My Documents/a.mp3", "old");
    chmod(device.host_path("My Documents/a.mp3").c_str(), 0444);
    panel->refresh_file_list();
    select({"a.wav"});
    answers = {CONFIRM_YES, CONFIRM_YES};
    panel->run_command(u"WavToMp3");
    EXPECT_EQ(questions.size(), 2u) << "replace, then replace the read-only file";
    EXPECT_NE(content("My Documents/a.mp3"), "old");
}

TEST_F(PanelFileExplorerTest, TheContextMenuFollowsTheSelection) {
    auto enabled = [this](const std::u16string& command) {
        for (const auto& entry : panel->context_menu())
            if (entry.command == command) return entry.enabled;
        ADD_FAILURE() << narrow(command) << " is not in the menu";
        return false;
    };
    EXPECT_FALSE(enabled(u"Rename"));
    EXPECT_FALSE(enabled(u"Cut"));
    EXPECT_TRUE(enabled(u"NewPlaylist"));
    select({"a.wav"});
    EXPECT_TRUE(enabled(u"Rename"));
    EXPECT_TRUE(enabled(u"WavToMp3"));
    EXPECT_FALSE(enabled(u"Id3Tags"));
    select({"Music"});
    EXPECT_FALSE(enabled(u"Beam"));
    EXPECT_TRUE(enabled(u"Rename"));
}

TEST_F(PanelFileExplorerTest, ThePanelLooksRight) {
    select({"b.wav"});
    form->set_visible(true);
    show_fixed_dates(panel->get_shown_list());
    expect_looks_like("explorer_panel_240x320");
    painted();
    expect_context_menu_looks_like("b.wav", "explorer_menu_240x320");
}

class PanelFileExplorerLargeTest : public PanelFileExplorerTest {
protected:
    PanelFileExplorerLargeTest() : PanelFileExplorerTest("480x640") {}
};

TEST_F(PanelFileExplorerLargeTest, ThePanelLooksRightOnTheLargeScreen) {
    select({"b.wav"});
    form->set_visible(true);
    show_fixed_dates(panel->get_shown_list());
    expect_looks_like("explorer_panel_480x640");
    painted();
    expect_context_menu_looks_like("b.wav", "explorer_menu_480x640");
}

}  // namespace
}  // namespace screens_test
