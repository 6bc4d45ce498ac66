#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <string>
#include <vector>

#include "app/playlist/list_m3u.h"
#include "app/playlist/open.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::read_host_file;
using testing_support::write_host_file;

std::string utf16le(const std::u16string& text) {
    std::string bytes;
    for (char16_t const c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

struct Item {
    std::u16string path;
    double duration;
    bool operator==(const Item&) const = default;
};

void PrintTo(const Item& item, std::ostream* out) {
    *out << "{" << std::string(item.path.begin(), item.path.end()) << ", " << item.duration << "}";
}

std::vector<Item> items_of(const playlist::List& list) {
    std::vector<Item> items;
    for (auto const& entry : list.get_entries()) items.push_back({entry.path, entry.duration});
    return items;
}

class M3U : public testing_support::DeviceTest {
protected:
    playlist::ListM3U read(const std::string& bytes) {
        write_host_file(device.host_path("list.m3u"), bytes);
        return playlist::ListM3U(u"\\list.m3u");
    }
};

TEST_F(M3U, ReadsListsWithTheHeaderAndLeavesOutEntriesThatCannotBeRead) {
    struct Case {
        const char* what;
        std::string bytes;
        bool loaded;
        std::vector<Item> items;
    };
    std::vector<Case> const cases = {
        {"the header alone", "#EXTM3U", true, {}},
        {"the header and a line end", "#EXTM3U\r\n", true, {}},
        {"one entry", "#EXTM3U\n#EXTINF:12.7,Any Title\n\\My Documents\\a.mp3\n", true,
         {{u"\\My Documents\\a.mp3", 12.7}}},
        {"no number before the comma", "#EXTM3U\n#EXTINF:abc,T\na.mp3\n#EXTINF:,T\nb.mp3", true,
         {{u"a.mp3", -1.0}, {u"b.mp3", -1.0}}},
        {"a negative duration", "#EXTM3U\n#EXTINF:-1,\na.mp3\n", true, {{u"a.mp3", -1.0}}},
        {"a comma in the title", "#EXTM3U\n#EXTINF:5,a, b\nc.mp3", true, {{u"c.mp3", 5.0}}},
        {"the text ends after an info line", "#EXTM3U\n#EXTINF:5,T\n", true, {{u"", 5.0}}},
        {"a blank after the header", "#EXTM3U \n", false, {}},
        {"a lower-case header", "#extm3u\n", false, {}},
        {"no header", "#EXTINF:5,T\na.mp3\n", false, {}},
        {"an empty file", "", false, {}},
        // An entry that cannot be read is left out; the rest of the list stays.
        {"an empty line after the last pair", "#EXTM3U\n#EXTINF:5,T\na.mp3\n\n", true, {{u"a.mp3", 5.0}}},
        {"a path where an info line is due", "#EXTM3U\na.mp3\nb.mp3\n", true, {}},
        {"no comma", "#EXTM3U\n#EXTINF:5\na.mp3\n", true, {}},
        {"another tag", "#EXTM3U\n#EXTINFO:5,T\na.mp3\n", true, {}},
        {"a good pair, then a bad one", "#EXTM3U\n#EXTINF:5,T\na.mp3\nb.mp3\nc.mp3\n", true, {{u"a.mp3", 5.0}}},
        {"one bad entry among good ones",
         "#EXTM3U\n#EXTINF:1,A\na.mp3\n#EXTINF:2\nbad.mp3\n\n# a comment\n#EXTINF:3,C\nc.mp3\nstray\n#EXTINF:4,D\nd.mp3\n",
         true, {{u"a.mp3", 1.0}, {u"c.mp3", 3.0}, {u"d.mp3", 4.0}}},
        {"an info line without its path before the next", "#EXTM3U\n#EXTINF:1,A\n#EXTINF:2,B\nb.mp3\n", true,
         {{u"", 1.0}, {u"b.mp3", 2.0}}},
    };
    for (auto const& c : cases) {
        playlist::ListM3U const list = read(c.bytes);
        EXPECT_EQ(list.is_loaded(), c.loaded) << c.what;
        if (c.loaded) {
            EXPECT_EQ(items_of(list), c.items) << c.what;
        }
        EXPECT_EQ(list.get_format_extension(), u"m3u");
    }
}

TEST_F(M3U, EveryKindOfLineEndSeparatesLines) {
    for (std::string const end : {"\n", "\r\n", "\r", "\n\r"}) {
        playlist::ListM3U const list =
            read("#EXTM3U" + end + "#EXTINF:1,A" + end + "a.mp3" + end + "#EXTINF:2,B" + end + "b.mp3" + end);
        EXPECT_TRUE(list.is_loaded()) << testing::PrintToString(end);
        EXPECT_EQ(items_of(list), (std::vector<Item>{{u"a.mp3", 1.0}, {u"b.mp3", 2.0}})) << testing::PrintToString(end);
    }
}

TEST_F(M3U, ReadsUtf16AfterTheByteOrderMarkAndTheCodePageOtherwise) {
    std::u16string const path = u"\\Musique\\\u00e9t\u00e9 \u266b.mp3";
    playlist::ListM3U const wide = read("\xFF\xFE" + utf16le(u"#EXTM3U\r\n#EXTINF:3,\r\n" + path + u"\r\n"));
    EXPECT_TRUE(wide.is_loaded());
    EXPECT_EQ(items_of(wide), (std::vector<Item>{{path, 3.0}}));

    playlist::ListM3U const narrow = read("#EXTM3U\n#EXTINF:3,\n\\Musique\\\xE9t\xE9.mp3\n");
    EXPECT_TRUE(narrow.is_loaded());
    EXPECT_EQ(items_of(narrow), (std::vector<Item>{{u"\\Musique\\\u00e9t\u00e9.mp3", 3.0}}));

    // A UTF-16 text without the mark is no M3U list.
    EXPECT_FALSE(read(utf16le(u"#EXTM3U\n")).is_loaded());
}

TEST_F(M3U, ALongFileReadsWhole) {
    std::string bytes = "#EXTM3U\n";
    for (int i = 0; i < 2000; ++i) bytes += "#EXTINF:" + std::to_string(i) + ",\n\\Music\\" + std::to_string(i) + ".mp3\n";
    playlist::ListM3U const list = read(bytes);
    ASSERT_TRUE(list.is_loaded());
    ASSERT_EQ(list.get_entries().size(), 2000u);
    EXPECT_EQ(list.get_entries().back().path, u"\\Music\\1999.mp3");
}

TEST_F(M3U, SavesUtf16WithWholeSeconds) {
    playlist::ListM3U list;
    auto& entries = list.get_entries();
    for (auto const& [path, duration] : std::vector<std::pair<std::u16string, double>>{
             {u"\\a.mp3", 12.7}, {u"\\b \u00e9.wav", -1.0}, {u"c.ogg", -0.5}, {u"d.mp3", 1e300}, {u"e.mp3", -1e300}}) {
        playlist::Entry entry;
        entry.path = path;
        entry.duration = duration;
        entries.push_back(entry);
    }
    ASSERT_TRUE(list.save(u"\\saved.m3u"));
    EXPECT_EQ(read_host_file(device.host_path("saved.m3u")),
              "\xFF\xFE" + utf16le(u"#EXTM3U\n#EXTINF:12,\n\\a.mp3\n#EXTINF:-1,\n\\b \u00e9.wav\n#EXTINF:0,\nc.ogg\n"
                                   u"#EXTINF:2147483647,\nd.mp3\n#EXTINF:-2147483648,\ne.mp3\n"));

    playlist::ListM3U const read_back(u"\\saved.m3u");
    ASSERT_TRUE(read_back.is_loaded());
    EXPECT_EQ(items_of(read_back), (std::vector<Item>{{u"\\a.mp3", 12.0},
                                                      {u"\\b \u00e9.wav", -1.0},
                                                      {u"c.ogg", 0.0},
                                                      {u"d.mp3", 2147483647.0},
                                                      {u"e.mp3", -2147483648.0}}));

    // Saving again replaces the file.
    entries.resize(1);
    ASSERT_TRUE(list.save(u"\\saved.m3u"));
    EXPECT_EQ(items_of(playlist::ListM3U(u"\\saved.m3u")), (std::vector<Item>{{u"\\a.mp3", 12.0}}));
}

TEST_F(M3U, SavingReportsFailures) {
    playlist::ListM3U list;
    list.get_entries().resize(3);
    EXPECT_FALSE(list.save(u"\\No Such Folder\\list.m3u"));
    // The file opens, but the write fails: files may not grow beyond 8 bytes.
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    auto const previous_handler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool const saved = list.save(u"\\short.m3u");
    setrlimit(RLIMIT_FSIZE, &previous);
    signal(SIGXFSZ, previous_handler);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(testing_support::host_file_exists(device.host_path("short.m3u")));
}

TEST_F(M3U, OpenTriesTheFormatsInTurn) {
    struct Case {
        const char* what;
        std::string bytes;
        const char16_t* format;  // null: no format takes it
    };
    std::vector<Case> const cases = {
        {"M3U", "#EXTM3U\n#EXTINF:1,\na.mp3\n", u"m3u"},
        {"M3U header with a blank", "#EXTM3U \n", nullptr},
        {"ASX", "<ASX version=\"3.0\"><ENTRY><REF HREF=\"a.mp3\"/></ENTRY></ASX>", u"asx"},
        {"MultiTracker", "<Log version=\"multitracker\"/>", u"mtr"},
        {"OfflineRadio", "<Log/>", u"log"},
        {"Log of another version", "<Log version=\"2\"/>", u"log"},
        {"other XML", "<Playlist/>", nullptr},
        {"noise", std::string("\0\x01\x02", 3), nullptr},
    };
    for (auto const& c : cases) {
        write_host_file(device.host_path("list"), c.bytes);
        auto const list = playlist::open(u"\\list");
        if (!c.format) {
            EXPECT_EQ(list, nullptr) << c.what;
            continue;
        }
        ASSERT_NE(list, nullptr) << c.what;
        EXPECT_TRUE(list->is_loaded()) << c.what;
        EXPECT_EQ(list->get_format_extension(), c.format) << c.what;
    }
    EXPECT_EQ(playlist::open(u"\\missing.m3u"), nullptr);
}

TEST(PlaylistList, ABareListIsLoadedSavesNothingAndHasTheDefaultHeader) {
    testing_support::TestDevice device;
    std::unique_ptr<playlist::List> list = std::make_unique<playlist::List>();
    EXPECT_TRUE(list->is_loaded());
    EXPECT_TRUE(list->save(u"\\bare.m3u"));
    EXPECT_FALSE(testing_support::host_file_exists(device.host_path("bare.m3u")));
    EXPECT_EQ(list->get_name(), u"new playlist");
    EXPECT_EQ(list->get_header_id(), u"-1");
    EXPECT_EQ(list->get_format_extension(), u"");
    EXPECT_GT(list->get_creation_time().get_year(), 2000);
    // Deleted through the base: an M3U list frees its entries too (checked by the sanitizer).
    list = std::make_unique<playlist::ListM3U>();
    list->get_entries().resize(3);
}

}  // namespace
