#include "audio/bookmarks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;

std::vector<std::int32_t> positions(const Bookmarks& list) {
    std::vector<std::int32_t> result;
    for (const Bookmark& record : list.get_records()) result.push_back(record.position);
    return result;
}

std::vector<std::u16string> played_names(const Bookmarks& list) {
    std::vector<std::u16string> result;
    for (int place = 0; place < list.get_play_count(); ++place) result.push_back(list.get_played(place).name);
    return result;
}

// Played A at 100, unplayed B at 200.
Bookmarks a_played_b_not() {
    Bookmarks list;
    list.insert(100, u"A", true);
    list.insert(200, u"B", false);
    return list;
}

TEST(BookmarksTest, InsertKeepsRecordsSortedAndThePlayOrderOnTheSameRecords) {
    Bookmarks list;
    list.insert(300, u"C", true);
    list.insert(100, u"A", true);
    EXPECT_EQ(list.insert(200, u"B", false), 1);
    EXPECT_EQ(positions(list), (std::vector<std::int32_t>{100, 200, 300}));
    EXPECT_EQ(played_names(list), (std::vector<std::u16string>{u"C", u"A"}));
    EXPECT_EQ(list.get(2).play, 0);
    EXPECT_EQ(list.get(0).play, 1);
}

TEST(BookmarksTest, InsertAtAnExistingPositionChangesNothing) {
    Bookmarks list = a_played_b_not();
    EXPECT_EQ(list.insert(200, u"other", true), 1);
    EXPECT_EQ(list.size(), 2);
    EXPECT_EQ(list.get(1).name, u"B");
    EXPECT_EQ(list.get(1).play, -1);
    EXPECT_EQ(list.get_play_count(), 1);
}

TEST(BookmarksTest, AddInsideAPlayedRangeSplitsItAndBothHalvesPlay) {
    Bookmarks list = a_played_b_not();
    int const index = list.add(150, u"Bookmark");
    EXPECT_EQ(index, 1);
    EXPECT_EQ(played_names(list), (std::vector<std::u16string>{u"A", u"Bookmark"}));
    EXPECT_EQ(list.get_length(0, 1000), 50);
    EXPECT_EQ(list.get_played_length(1, 1000), 50);
}

TEST(BookmarksTest, AddOutsidePlayedRangesStaysUnplayed) {
    Bookmarks list = a_played_b_not();
    int const index = list.add(250, u"Bookmark");
    EXPECT_EQ(list.get(index).play, -1);
    EXPECT_EQ(list.get_play_count(), 1);
    EXPECT_EQ(list.add(100, u"again"), 0);
    EXPECT_EQ(list.get(0).name, u"A");
    EXPECT_EQ(list.size(), 3);
}

TEST(BookmarksTest, AddAfterAPlayedLastRecordJoinsItsRange) {
    Bookmarks list;
    list.insert(0, u"first", false);
    list.insert(500, u"last", true);
    int const index = list.add(9000, u"Bookmark");
    EXPECT_EQ(played_names(list), (std::vector<std::u16string>{u"last", u"Bookmark"}));
    EXPECT_EQ(list.get_played_length(1, 10000), 1000);
    EXPECT_EQ(index, 2);
}

TEST(BookmarksTest, NextPlayedWalksThePlayOrder) {
    Bookmarks empty;
    EXPECT_EQ(empty.next_played(-1), 0);
    Bookmarks list = a_played_b_not();
    list.add_to_play_order(1);
    EXPECT_EQ(list.next_played(-1), 0);
    EXPECT_EQ(list.next_played(0), 1);
    EXPECT_EQ(list.next_played(1), 2);
}

TEST(BookmarksTest, SpliceMovesTheInsertedAndTheLaterRecords) {
    Bookmarks list;
    list.insert(0, u"start", true);
    list.insert(500, u"later", true);
    std::vector<Bookmark> const inserted = {{u"x", 10, -1}, {u"y", 20, -1}};
    list.splice(300, 1000, inserted);
    EXPECT_EQ(positions(list), (std::vector<std::int32_t>{0, 310, 320, 1500}));
    EXPECT_EQ(played_names(list), (std::vector<std::u16string>{u"start", u"later"}));
}

TEST(BookmarksTest, SplicedPlayedRecordsJoinThePlayOrderAndSurviveSaving) {
    Bookmarks list;
    list.insert(0, u"start", true);
    std::vector<Bookmark> const inserted = {{u"x", 10, 1}, {u"y", 20, 0}};
    list.splice(100, 50, inserted);
    EXPECT_EQ(played_names(list), (std::vector<std::u16string>{u"start", u"y", u"x"}));
}

class BookmarkFileTest : public DeviceTest {
protected:
    std::string host(const char* name) { return device.host_path(name); }
    std::u16string path(const char16_t* name) { return std::u16string(u"\\") + name; }
};

TEST_F(BookmarkFileTest, SavedPlayedFirstInPlayOrderThenTheOthers) {
    Bookmarks list;
    list.insert(100, u"A", false);
    list.insert(200, u"B", false);
    list.insert(300, u"C", true);
    list.add_to_play_order(0);
    ASSERT_TRUE(list.save(path(u"a.wav.bm")));

    std::string const text = testing_support::read_host_file(host("a.wav.bm"));
    std::size_t const c = text.find("Name=\"C\"");
    std::size_t const a = text.find("Name=\"A\"");
    std::size_t const b = text.find("Name=\"B\"");
    ASSERT_NE(c, std::string::npos);
    EXPECT_LT(c, a);
    EXPECT_LT(a, b);
    EXPECT_NE(text.find("Name=\"B\" Position=\"200\" Play=\"false\""), std::string::npos);

    Bookmarks const read(path(u"a.wav.bm"));
    EXPECT_EQ(positions(read), (std::vector<std::int32_t>{100, 200, 300}));
    EXPECT_EQ(played_names(read), (std::vector<std::u16string>{u"C", u"A"}));
    EXPECT_EQ(read.get(1).play, -1);
}

TEST_F(BookmarkFileTest, ReadsPlayTextsMissingPositionsAndDuplicates) {
    testing_support::write_host_file(host("x.bm"),
                                     "<Bookmarks>\n"
                                     "  <!-- edited by hand -->\n"
                                     "  <Bookmark Name=\"upper\" Position=\"50\" Play=\"TRUE\"/>\n"
                                     "  <Bookmark Name=\"one\" Position=\"50\" Play=\"1\"/>\n"
                                     "  <Bookmark Name=\"yes\" Position=\"70\" Play=\"yes\"/>\n"
                                     "  <Bookmark Name=\"nowhere\"/>\n"
                                     "  some text\n"
                                     "</Bookmarks>\n");
    Bookmarks const list(path(u"x.bm"));
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(positions(list), (std::vector<std::int32_t>{0, 50, 50, 70}));
    EXPECT_EQ(list.get(0).name, u"nowhere");
    EXPECT_EQ(played_names(list), (std::vector<std::u16string>{u"upper", u"one"}));
    EXPECT_EQ(list.get(3).play, -1);
}

TEST_F(BookmarkFileTest, MissingOrForeignFilesGiveEmptyLists) {
    testing_support::write_host_file(host("other.bm"), "<Marks><Bookmark Position=\"5\"/></Marks>");
    testing_support::write_host_file(host("broken.bm"), "<Bookmarks><Bookmark");
    for (const char16_t* name : {u"missing.bm", u"other.bm", u"broken.bm"}) {
        Bookmarks const list(path(name));
        EXPECT_EQ(list.size(), 0);
        EXPECT_EQ(list.get_play_count(), 0);
    }
}

TEST_F(BookmarkFileTest, SaveIntoAMissingFolderFails) {
    EXPECT_FALSE(a_played_b_not().save(path(u"no such folder\\a.bm")));
}

}  // namespace
