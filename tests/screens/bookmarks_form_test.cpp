// The bookmarks form over a real WAV file: the rows as the list gives them, ticking, moving,
// deleting and going by stylus, the list rewritten in grid order, the ranges played back
// afterwards, and buttons pressed without a selection or at the ends of the list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "audio/bookmarks.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/play_chain_factory.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "screens/bookmarks_form.h"
#include "tests/screens/dialog_fixture.h"

namespace dialog_test {
namespace {

using screens::BookmarksForm;
using screens::RangeMark;

// 22050 Hz, 16-bit mono: 44100 bytes a second.
constexpr std::int32_t second = 44100;

class BookmarksFormTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        main_skin = load_skin(main_skin_path);
        std::string const host = device.host_path("My Documents/talk.wav");
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        ASSERT_EQ(std::system(("sox -n -r 22050 -c 1 -b 16 '" + host + "' synth 10 sine 440 2>/dev/null").c_str()), 0);
        reader = std::make_unique<audio::FileReaderWAVPCM>(path);
        ASSERT_TRUE(reader->is_valid());
    }

    void tap_cell(BookmarksForm& form, int column, int row) {
        skinner::Point position;
        skinner::Size size;
        form.get_grid().get_cell_rect(column, row, position, size);
        POINT point{position.x + size.width / 2, position.y + size.height / 2};
        ClientToScreen(form.get_window(), &point);
        tap_at(point.x, point.y);
        settle();
    }
    void tap_button(BookmarksForm& form, const char16_t* name) {
        tap(*form.find_control(name));
        settle();
    }
    // Keys as the device's keyboard gives them.
    void type(const std::u16string& text) {
        for (char16_t c : text) {
            UINT const vk = c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
            EXPECT_TRUE(screen.control().press(vk, c));
        }
        settle();
    }
    static std::vector<std::u16string> names(BookmarksForm& form) {
        std::vector<std::u16string> out;
        for (RangeMark const& mark : form.get_grid().get_rows()) out.push_back(mark.name);
        return out;
    }

    // Start at 0, B at 2 s, C at 5 s, D at 7 s; D is played before B.
    static Bookmarks four_marks() {
        Bookmarks marks;
        marks.insert(0, u"Start", false);
        marks.insert(2 * second, u"B", false);
        marks.insert(5 * second, u"C", false);
        marks.insert(7 * second, u"D", false);
        marks.add_to_play_order(3);
        marks.add_to_play_order(1);
        return marks;
    }

    std::u16string const path = u"\\My Documents\\talk.wav";
    std::unique_ptr<skinner::Properties> main_skin;
    std::unique_ptr<audio::FileReaderWAVPCM> reader;
};

TEST_F(BookmarksFormTest, RangeTimesShowMinutesSecondsAndHundredths) {
    EXPECT_EQ(screens::range_time_text(307.25), u"05:07:25");
    EXPECT_EQ(screens::range_time_text(3723.5), u"02:03:50");
    EXPECT_EQ(screens::range_time_text(0.0), u"00:00:00");
}

TEST_F(BookmarksFormTest, AFileWithoutBookmarksShowsOneUntickedStartAndKeepsIt) {
    Bookmarks marks;
    BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", *reader, path);
    post_action([&] {
        ASSERT_EQ(form.get_grid().get_rows().size(), 1u);
        RangeMark const& row = form.get_grid().get_rows()[0];
        EXPECT_EQ(row.name, u"Start");
        EXPECT_EQ(row.start_text, u"00:00:00");
        EXPECT_EQ(row.end_text, u"00:10:00");
        EXPECT_FALSE(row.play);
        tap_button(form, u"btnOk");
    });
    EXPECT_EQ(form.run(marks), -1);
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks.get(0).name, u"Start");
    EXPECT_EQ(marks.get_play_count(), 0);
}

TEST_F(BookmarksFormTest, TickingAndMovingRowsMakeTheNewPlayOrder) {
    Bookmarks marks = four_marks();
    BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", *reader, path);
    post_action([&] {
        EXPECT_EQ(names(form), (std::vector<std::u16string>{u"Start", u"B", u"C", u"D"}));
        expect_looks_like("bookmarks");
        // A tap on the name selects; a tap on the tick column ticks.
        tap_cell(form, 1, 2);
        tap_cell(form, 0, 2);
        EXPECT_TRUE(form.get_grid().get_rows()[2].play);
        tap_cell(form, 1, 2);  // the tick column's tap also selected; select C alone again
        tap_button(form, u"btnUp");
        EXPECT_EQ(names(form), (std::vector<std::u16string>{u"Start", u"C", u"B", u"D"}));
        tap_cell(form, 1, 3);
        EXPECT_FALSE(form.find_control(u"btnDown")->is_enabled());
        tap_button(form, u"btnUp");
        tap_button(form, u"btnUp");
        EXPECT_EQ(names(form), (std::vector<std::u16string>{u"Start", u"D", u"C", u"B"}));
        expect_looks_like("bookmarks_moved");
        tap_button(form, u"btnOk");
    });
    EXPECT_EQ(form.run(marks), -1);
    ASSERT_EQ(marks.get_play_count(), 3);
    EXPECT_EQ(marks.get_played(0).name, u"D");
    EXPECT_EQ(marks.get_played(1).name, u"C");
    EXPECT_EQ(marks.get_played(2).name, u"B");
    EXPECT_EQ(marks.get(0).play, -1);
}

TEST_F(BookmarksFormTest, ARowIsRenamedInPlaceOnlyWhenTheEditIsAccepted) {
    Bookmarks marks = four_marks();
    BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", *reader, path);
    post_action([&] {
        tap_cell(form, 1, 1);
        tap_button(form, u"btnEdit");
        // The whole old name is selected: typing replaces it.
        type(u"Chorus");
        settle();
        expect_looks_like("bookmarks_rename");
        EXPECT_TRUE(screen.control().press(VK_RETURN));
        settle();
        EXPECT_EQ(form.get_grid().get_rows()[1].name, u"Chorus");
        tap_cell(form, 1, 2);
        tap_button(form, u"btnEdit");
        type(u"Bridge");
        EXPECT_TRUE(screen.control().press(VK_ESCAPE));
        settle();
        EXPECT_EQ(form.get_grid().get_rows()[2].name, u"C");
        // The input panel may still cover the buttons.
        PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
    });
    form.run(marks);
    EXPECT_EQ(marks.get(1).name, u"Chorus");
    EXPECT_EQ(marks.get(2).name, u"C");
}

TEST_F(BookmarksFormTest, AClickOutsideTheTickColumnDoesNotTick) {
    Bookmarks marks = four_marks();
    BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", *reader, path);
    post_action([&] {
        for (int column : {1, 2, 3}) tap_cell(form, column, 0);
        EXPECT_FALSE(form.get_grid().get_rows()[0].play);
        tap_button(form, u"btnOk");
    });
    form.run(marks);
    EXPECT_EQ(marks.get(0).play, -1);
}

TEST_F(BookmarksFormTest, DeletingRowsMergesEachIntoTheRangeBeforeIt) {
    Bookmarks marks = four_marks();
    BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", *reader, path);
    post_action([&] {
        screens::RangeGrid& grid = form.get_grid();
        grid.set_row_selected(1, true);
        grid.set_row_selected(3, true);
        tap_button(form, u"btnDelete");
        ASSERT_EQ(names(form), (std::vector<std::u16string>{u"Start", u"C"}));
        EXPECT_EQ(grid.get_rows()[0].length, 5 * second);
        EXPECT_EQ(grid.get_rows()[0].end_text, u"00:05:00");
        EXPECT_EQ(grid.get_rows()[1].length, 5 * second);
        EXPECT_EQ(grid.get_rows()[1].end_text, u"00:10:00");
        EXPECT_TRUE(grid.get_selected_rows().empty());
        // The lowest row has no range before it: nothing else changes.
        grid.set_row_selected(0, true);
        tap_button(form, u"btnDelete");
        ASSERT_EQ(names(form), (std::vector<std::u16string>{u"C"}));
        EXPECT_EQ(grid.get_rows()[0].length, 5 * second);
        tap_button(form, u"btnOk");
    });
    form.run(marks);
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks.get(0).position, 5 * second);
}

TEST_F(BookmarksFormTest, GoReturnsTheRangeChosenAndTheTickedRangesPlayBack) {
    Bookmarks marks = four_marks();
    BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", *reader, path);
    post_action([&] {
        tap_cell(form, 1, 3);
        tap_button(form, u"btnGo");
    });
    EXPECT_EQ(form.run(marks), 7 * second);
    // What plays now: D (7 s to the end) and then B (2 s to 5 s), 6 s in all.
    auto const chain = audio::create_play_chain(std::u16string(path), &marks);
    ASSERT_NE(chain, nullptr);
    std::uint32_t played = 0;
    for (;;) {
        audio::PCMData const block = chain->get_provider()->get_data(4096);
        if (block.is_empty()) break;
        played += block.get_size();
    }
    EXPECT_EQ(played, static_cast<std::uint32_t>(6 * second));
}

TEST_F(BookmarksFormTest, ButtonsPressedWithoutASelectionOrAtTheEndsChangeNothing) {
    Bookmarks marks = four_marks();
    BookmarksForm form(nullptr, main_skin.get(), u"Bookmarks", *reader, path);
    struct Case {
        const char16_t* button;
        std::set<int> selected;
    };
    Case const cases[] = {
        {u"btnUp", {}},      {u"btnDown", {}},    {u"btnDelete", {}}, {u"btnEdit", {}}, {u"btnGo", {}},
        {u"btnUp", {0}},     {u"btnDown", {3}},   {u"btnUp", {1, 2}}, {u"btnGo", {1, 2}},
    };
    post_action([&] {
        for (Case const& c : cases) {
            form.get_grid().clear_selection();
            for (int row : c.selected) form.get_grid().set_row_selected(row, true);
            // Straight to the handler, as a button enabled by mistake would.
            form.on_click(form.find_control(c.button));
            EXPECT_EQ(names(form), (std::vector<std::u16string>{u"Start", u"B", u"C", u"D"}))
                << std::string(c.button, c.button + 6);
            EXPECT_TRUE(form.is_window_visible());
        }
        tap_button(form, u"btnOk");
    });
    EXPECT_EQ(form.run(marks), -1);
    EXPECT_EQ(marks.size(), 4);
}

}  // namespace
}  // namespace dialog_test
