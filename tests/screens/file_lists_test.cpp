// The folder and playlist lists with the program's own skin: what is listed, how the sort
// orders arrange it, the selection through a sort, painting past the last row, and a
// playlist written back with everything it held.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/text_utils.h"
#include "screens/control_list_files.h"
#include "screens/control_list_playlist.h"
#include "skin/canvas.h"
#include "tests/screens/fixed_dates.h"
#include "tests/screens/screens_fixture.h"

namespace screens_test {
namespace {

using screens::ControlListFiles;
using Names = std::vector<std::string>;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

class FileListsTest : public ScreensTest {
protected:
    explicit FileListsTest(const char* size = "240x320") : ScreensTest(size) {}

    void SetUp() override {
        properties = load_skin(main_skin);
        form = std::make_unique<skinner::Form>(nullptr, properties.get(), u"ExplorerPanel", nullptr);
        files = std::make_unique<ControlListFiles>(form.get(), u"lstFilelist");
        add_sound_extensions(*files);
        add_playlist_extensions(*files);
        files->add_type_icon(ControlListFiles::folder_type);
        playlist = std::make_unique<screens::ControlListPlaylist>(form.get(), u"lstPlaylist");
        playlist->set_visible(false);
        add_sound_extensions(*playlist);
    }
    void TearDown() override {
        playlist.reset();
        files.reset();
        form.reset();
    }

    Names names(const ControlListFiles& list) const {
        Names shown;
        for (const auto& row : list.get_rows()) shown.push_back(narrow(row.file_name));
        return shown;
    }

    // Files made one after another, so that their creation times follow the order given.
    void put_in_order(const std::vector<std::pair<std::string, std::size_t>>& files_and_sizes) {
        for (const auto& [name, size] : files_and_sizes) {
            put("music/" + name, std::string(size, 'x'));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // beyond the clock granularity of file times
        }
    }

    std::unique_ptr<skinner::Properties> properties;
    std::unique_ptr<skinner::Form> form;
    std::unique_ptr<ControlListFiles> files;
    std::unique_ptr<screens::ControlListPlaylist> playlist;
};

TEST_F(FileListsTest, ListsRegisteredTypesAndFoldersOnly) {
    put("music/song.MP3");
    put("music/notes.txt");
    put("music/README");
    put("music/list.M3U", "");
    put("music/sub/x.wav");
    files->set_folder(u"\\music");
    EXPECT_EQ(names(*files), (Names{"sub", "list.M3U", "song.MP3"}));
    EXPECT_TRUE(files->get_row(1).is_playlist);
    EXPECT_EQ(narrow(files->get_row(2).type), "mp3");
    EXPECT_EQ(files->get_row(1).size_text, u"") << "an empty file shows no size";
    EXPECT_THROW(files->get_row(3), std::out_of_range);

    files->remove_type_icon(ControlListFiles::folder_type);
    files->set_folder(u"\\music");
    EXPECT_EQ(names(*files), (Names{"list.M3U", "song.MP3"}));

    files->set_folder(u"\\nowhere");
    EXPECT_TRUE(names(*files).empty()) << "a missing folder lists nothing, quietly";
}

TEST_F(FileListsTest, EachSortOrderKeepsFoldersAndPlaylistsFirst) {
    put_in_order({{"b.wav", 30}, {"A.mp3", 10}, {"c.ogg", 30}, {"z.m3u", 5}, {"d.wma", 20}});
    std::filesystem::create_directories(device.host_path("music/folder"));
    struct Case {
        int order;
        Names expected;
    };
    std::vector<Case> const cases{
        {screens::SORT_NAME, {"folder", "z.m3u", "A.mp3", "b.wav", "c.ogg", "d.wma"}},
        {screens::SORT_NAME_DESCENDING, {"folder", "z.m3u", "d.wma", "c.ogg", "b.wav", "A.mp3"}},
        {screens::SORT_DATE, {"folder", "z.m3u", "b.wav", "A.mp3", "c.ogg", "d.wma"}},
        {screens::SORT_DATE_DESCENDING, {"folder", "z.m3u", "d.wma", "c.ogg", "A.mp3", "b.wav"}},
        {screens::SORT_SIZE, {"folder", "z.m3u", "A.mp3", "d.wma", "b.wav", "c.ogg"}},
        {screens::SORT_SIZE_DESCENDING, {"folder", "z.m3u", "b.wav", "c.ogg", "d.wma", "A.mp3"}},
    };
    files->set_folder(u"\\music");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        files->set_sort(c.order);
        EXPECT_EQ(names(*files), c.expected);
    }
}

TEST_F(FileListsTest, TheSelectionFollowsTheRowsThroughASortAndTheCurrentIndexStays) {
    put_in_order({{"e.wav", 1}, {"d.wav", 2}, {"c.wav", 3}, {"b.wav", 4}, {"a.wav", 5}, {"f.wav", 6}});
    files->set_sort(screens::SORT_NAME);
    files->set_folder(u"\\music");
    files->set_row_selected(2, true);  // c
    files->set_row_selected(5, true);  // f
    files->set_current_row(1);
    files->set_sort(screens::SORT_SIZE_DESCENDING);
    EXPECT_EQ(names(*files), (Names{"f.wav", "a.wav", "b.wav", "c.wav", "d.wav", "e.wav"}));
    EXPECT_EQ(files->get_selected_rows(), (std::set<int>{0, 3}));
    EXPECT_EQ(files->get_current_row(), 1);
    EXPECT_EQ(files->get_selected_paths(), (std::vector<std::u16string>{u"\\music\\f.wav", u"\\music\\c.wav"}));
    EXPECT_EQ(files->get_single_selected_path(), u"") << "two rows are selected";
}

TEST_F(FileListsTest, PathsFindTheirRowsAndAnEmptySelectionHasNoFirstRow) {
    put("music/a.wav");
    put("music/b.wav");
    files->set_sort(screens::SORT_NAME);
    files->set_folder(u"\\music");
    EXPECT_EQ(files->get_first_selected_row(), nullptr);
    EXPECT_EQ(files->get_first_selected_index(), -1);

    files->set_current_path(u"\\MUSIC\\B.WAV");
    EXPECT_EQ(files->get_current_row(), 1);
    EXPECT_EQ(files->get_current_path(), u"\\music\\b.wav");
    files->select_path(u"\\music\\a.wav");
    EXPECT_EQ(files->get_single_selected_path(), u"\\music\\a.wav");
    files->select_path(u"");
    EXPECT_TRUE(files->get_selected_rows().empty());
    files->find_current_row(u"\\music\\gone.wav");
    EXPECT_EQ(files->get_current_path(), u"");
}

TEST_F(FileListsTest, RowsShowTheCreationDateInTwoDigitFields) {
    put("music/a.wav", std::string(2048, 'x'));
    files->set_folder(u"\\music");
    const auto& row = files->get_row(0);
    const os::DateTime& made = row.creation_time;
    EXPECT_EQ(row.date_text, two_digit_text(made.get_day()) + u"." + two_digit_text(made.get_month()) + u"." +
                                 two_digit_text(made.get_year() % 100));
    EXPECT_EQ(row.size_text, format_file_size(2048));
}

TEST_F(FileListsTest, PaintingPastTheLastRowDrawsNothing) {
    put("music/a.wav");
    files->set_folder(u"\\music");
    HDC const dc = CreateCompatibleDC(nullptr);
    HBITMAP const bitmap = CreateCompatibleBitmap(dc, 100, 20);
    HGDIOBJ const previous = SelectObject(dc, bitmap);
    {
        skinner::CanvasImpl impl(dc, {0, 0}, {100, 20});
        skinner::Canvas canvas(&impl);
        for (int row : {1, 2, -1})
            for (int column = 0; column < ControlListFiles::COLUMN_COUNT; ++column)
                EXPECT_NO_THROW(files->paint_item(column, row, canvas, {0, 0}, {100, 20}, false, false));
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(FileListsTest, TheListLooksRight) {
    put_in_order({{"Morning walk.wav", 120000}, {"Interview with a very long name.mp3", 3500000}, {"b.ogg", 0}});
    put("music/Best of.m3u", "a.mp3\n");
    std::filesystem::create_directories(device.host_path("music/Archive"));
    files->set_sort(screens::SORT_NAME);
    files->set_folder(u"\\music");
    files->set_row_selected(2, true);
    files->set_current_path(u"\\music\\Morning walk.wav");
    form->set_visible(true);
    show_fixed_dates(*files);
    expect_looks_like("file_list_240x320");
}

class FileListsLargeTest : public FileListsTest {
protected:
    FileListsLargeTest() : FileListsTest("480x640") {}
};

TEST_F(FileListsLargeTest, TheListLooksRightOnTheLargeScreen) {
    put_in_order({{"Morning walk.wav", 120000}, {"Interview with a very long name.mp3", 3500000}, {"b.ogg", 0}});
    std::filesystem::create_directories(device.host_path("music/Archive"));
    files->set_sort(screens::SORT_NAME);
    files->set_folder(u"\\music");
    files->set_row_selected(1, true);
    form->set_visible(true);
    show_fixed_dates(*files);
    expect_looks_like("file_list_480x640");
}

// --- the playlist list ---

constexpr const char* three_entries =
    "#EXTM3U\r\n#EXTINF:61,A\r\n\\music\\a.mp3\r\n#EXTINF:7,B\r\n\\music\\b.aac\r\n#EXTINF:30,C\r\n\\music\\c.wav\r\n";

TEST_F(FileListsTest, APlaylistShowsItsRegisteredEntriesInItsOrder) {
    put("music/a.mp3");
    put("music/c.wav");
    put("music/list.m3u", three_entries);
    ASSERT_TRUE(playlist->load_playlist(u"\\music\\list.m3u"));
    EXPECT_EQ(names(*playlist), (Names{"a.mp3", "c.wav"}));
    EXPECT_EQ(playlist->get_row(0).entry.duration, 61.0);
    EXPECT_EQ(playlist->get_current_row(), -1);

    playlist->add_file(u"\\music\\notes.txt");
    playlist->add_file(u"\\music\\LOUD.WAV");
    EXPECT_EQ(names(*playlist), (Names{"a.mp3", "c.wav", "LOUD.WAV"}));

    EXPECT_FALSE(playlist->load_playlist(u"\\music\\missing.m3u"));
    EXPECT_EQ(playlist->get_playlist_path(), u"\\music\\list.m3u") << "a failed load keeps what was shown";
    EXPECT_EQ(names(*playlist).size(), 3u);
}

TEST_F(FileListsTest, LeavingAnUnchangedPlaylistWritesNothing) {
    put("music/list.m3u", three_entries);
    ASSERT_TRUE(playlist->load_playlist(u"\\music\\list.m3u"));
    EXPECT_TRUE(playlist->save_playlist());
    EXPECT_EQ(content("music/list.m3u"), three_entries) << "the hidden entry and the file's own form stay";
}

TEST_F(FileListsTest, SavingAChangedPlaylistKeepsItsHiddenEntries) {
    put("music/list.m3u", three_entries);
    ASSERT_TRUE(playlist->load_playlist(u"\\music\\list.m3u"));
    auto& rows = playlist->get_rows();
    std::swap(rows[0], rows[1]);
    playlist->refresh();
    ASSERT_TRUE(playlist->save_playlist());

    ASSERT_TRUE(playlist->load_playlist(u"\\music\\list.m3u"));
    const auto& entries = playlist->get_playlist()->get_entries();
    std::vector<std::string> paths;
    for (const auto& entry : entries) paths.push_back(narrow(entry.path) + " " + std::to_string(int(entry.duration)));
    EXPECT_EQ(paths, (std::vector<std::string>{"\\music\\c.wav 30", "\\music\\a.mp3 61", "\\music\\b.aac 7"}))
        << "the unshown entry stays with the entry it followed";

    playlist->get_rows().erase(playlist->get_rows().begin() + 1);  // a.mp3 goes
    playlist->refresh();
    ASSERT_TRUE(playlist->save_playlist());
    ASSERT_TRUE(playlist->load_playlist(u"\\music\\list.m3u"));
    paths.clear();
    for (const auto& entry : playlist->get_playlist()->get_entries()) paths.push_back(narrow(entry.path));
    EXPECT_EQ(paths, (std::vector<std::string>{"\\music\\c.wav", "\\music\\b.aac"}));
}

TEST_F(FileListsTest, SavingWithoutAPlaylistFails) { EXPECT_FALSE(playlist->save_playlist()); }

}  // namespace
}  // namespace screens_test
