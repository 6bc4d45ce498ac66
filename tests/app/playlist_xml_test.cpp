#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/playlist/list_asx.h"
#include "app/playlist/list_multi_tracker.h"
#include "app/playlist/list_offline_radio.h"
#include "foundation/xml_node.h"
#include "tests/support/system_time.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::write_host_file;
using Attributes = std::map<std::u16string, std::u16string>;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

playlist::Entry entry(const std::u16string& path, double duration, double start_offset = 0.0) {
    playlist::Entry e;
    e.path = path;
    e.duration = duration;
    e.start_offset = start_offset;
    return e;
}

// The entries read back are the ones saved, field by field; the track only where the
// format stores it.
enum class Track { compared, not_stored };

void expect_same_entries(const std::vector<playlist::Entry>& read, const std::vector<playlist::Entry>& saved,
                         Track track) {
    for (std::size_t i = 0; i < saved.size() && i < read.size(); ++i) {
        auto const& got = read[i];
        auto const& want = saved[i];
        SCOPED_TRACE(narrow(want.path));
        EXPECT_EQ(got.path, want.path);
        EXPECT_EQ(got.duration, want.duration);
        EXPECT_EQ(got.start_offset, want.start_offset);
        EXPECT_EQ(got.clip_begin, want.clip_begin);
        EXPECT_EQ(got.fade_in, want.fade_in);
        EXPECT_EQ(got.fade_out, want.fade_out);
        EXPECT_EQ(got.clip_end, want.clip_end);
        if (track == Track::compared) {
            EXPECT_EQ(got.track, want.track);
        }
        EXPECT_EQ(got.attributes, want.attributes);
    }
}

class XmlPlaylist : public testing_support::DeviceTest {
protected:
    void write(const std::string& xml) { write_host_file(device.host_path("list.xml"), xml); }

    // The texts of one child element of each item under the root of the saved file.
    static std::vector<std::string> column(const std::u16string& path, const std::u16string& root,
                                           const std::u16string& element) {
        std::vector<std::string> texts;
        os::XmlNode const top = os::XmlNode::load_document(path).find_child(root);
        for (int i = 0; i < top.get_child_count(); ++i) {
            os::XmlNode const value = top.get_child(i).find_child(element);
            std::u16string text;
            texts.push_back(value.is_valid() && value.get_text(text) ? narrow(text) : "<missing>");
        }
        return texts;
    }
};

TEST_F(XmlPlaylist, AsxReadsEntriesWithAReference) {
    write(R"(<ASX version="3.0">
  <ENTRY><REF HREF="\a.mp3"/><TITLE>Song A</TITLE><PARAM name="artist" value="Band"/><PARAM name="x" value="y"/></ENTRY>
  <ENTRY><REF/><TITLE>no reference</TITLE></ENTRY>
  <ENTRY><TITLE>no REF at all</TITLE></ENTRY>
  <Entry><REF HREF="\wrong case.mp3"/></Entry>
  <ENTRY><REF HREF="\b.mp3"/><PARAM name="only name"/></ENTRY>
</ASX>)");
    playlist::ListASX const list(u"\\list.xml");
    ASSERT_TRUE(list.is_loaded());
    auto const& entries = list.get_entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, u"\\a.mp3");
    EXPECT_EQ(entries[0].attributes, (Attributes{{u"title", u"Song A"}, {u"artist", u"Band"}}));
    EXPECT_EQ(entries[0].duration, -1.0);
    EXPECT_EQ(entries[1].path, u"\\b.mp3");
    EXPECT_EQ(entries[1].attributes, Attributes{});
}

TEST_F(XmlPlaylist, AsxWithoutEntriesIsAnEmptyListAndOtherFilesAreNoAsx) {
    write("<ASX/>");
    playlist::ListASX const empty(u"\\list.xml");
    EXPECT_TRUE(empty.is_loaded());
    EXPECT_TRUE(empty.get_entries().empty());
    for (std::string const other : {"<asx/>", "<Log/>", "#EXTM3U\n", "<ASX>"}) {
        write(other);
        EXPECT_FALSE(playlist::ListASX(u"\\list.xml").is_loaded()) << other;
    }
}

TEST_F(XmlPlaylist, AsxWritesTitleAndArtistOnlyWhenKnownAndReadsThemBack) {
    write("<ASX/>");
    playlist::ListASX list(u"\\list.xml");
    list.get_entries() = {entry(u"\\a.mp3", 10), entry(u"\\b \u00e9.mp3", 20)};
    list.get_entries()[0].attributes = {{u"title", u"Song <A> & \"B\""}, {u"artist", u"Band"}};
    ASSERT_TRUE(list.save(u"\\saved.asx"));

    os::XmlNode const root = os::XmlNode::load_document(u"\\saved.asx").find_child(u"ASX");
    std::u16string version;
    EXPECT_TRUE(root.get_attribute(u"version", version));
    EXPECT_EQ(version, u"3.0");
    std::vector<std::u16string> names;
    for (int e = 0; e < root.get_child_count(); ++e) {
        for (int i = 0; i < root.get_child(e).get_child_count(); ++i) names.push_back(root.get_child(e).get_child(i).get_name());
        names.push_back(u"|");
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"REF", u"TITLE", u"PARAM", u"|", u"REF", u"|"}));

    playlist::ListASX const read(u"\\saved.asx");
    ASSERT_EQ(read.get_entries().size(), 2u);
    EXPECT_EQ(read.get_entries()[0].attributes, list.get_entries()[0].attributes);
    EXPECT_EQ(read.get_entries()[1].path, u"\\b \u00e9.mp3");
    EXPECT_EQ(read.get_entries()[1].attributes, Attributes{});
}

TEST_F(XmlPlaylist, MultiTrackerWritesStartTimesAndReadsTheOffsetsBack) {
    write("<Log version=\"multitracker\"/>");
    playlist::ListMultiTracker list(u"\\list.xml");
    ASSERT_TRUE(list.is_loaded());
    list.set_name(u"Morning show");
    list.set_header_id(u"42");
    list.set_creation_time(os::DateTime(testing_support::make_time(2007, 3, 9, 14, 5, 0)));
    list.get_entries() = {entry(u"\\a.mp3", 10, 0), entry(u"\\b.mp3", 20, 2.5), entry(u"\\c.mp3", 30, -1)};
    auto& first = list.get_entries()[0];
    first.clip_begin = 1.5;
    first.fade_in = 0.25;
    first.fade_out = 2;
    first.clip_end = 9.75;
    first.track = 3;
    first.attributes = {{u"title", u"A"}, {u"artist", u"B"}, {u"MediaID", u"17"}, {u"RelaxLate", u"yes"}};
    ASSERT_TRUE(list.save(u"\\saved.mtr"));

    EXPECT_EQ(column(u"\\saved.mtr", u"Log", u"StartTime"), (std::vector<std::string>{"0", "12500", "31500"}));
    EXPECT_EQ(column(u"\\saved.mtr", u"Log", u"StartNext"), (std::vector<std::string>{"0", "-2500", "1000"}));
    EXPECT_EQ(column(u"\\saved.mtr", u"Log", u"MediaLength"), (std::vector<std::string>{"10000", "20000", "30000"}));
    EXPECT_EQ(column(u"\\saved.mtr", u"Log", u"ClipBeg"), (std::vector<std::string>{"1500", "0", "0"}));
    EXPECT_EQ(column(u"\\saved.mtr", u"Log", u"Track"), (std::vector<std::string>{"3", "-1", "-1"}));
    EXPECT_EQ(column(u"\\saved.mtr", u"Log", u"MediaTitle"), (std::vector<std::string>{"A", "", ""}));
    os::XmlNode const root = os::XmlNode::load_document(u"\\saved.mtr").find_child(u"Log");
    std::u16string text;
    EXPECT_TRUE(root.get_attribute(u"StartTime", text));
    EXPECT_EQ(text, u"2007 03 09 14 05 00");

    playlist::ListMultiTracker const read(u"\\saved.mtr");
    ASSERT_TRUE(read.is_loaded());
    EXPECT_EQ(read.get_name(), u"Morning show");
    EXPECT_EQ(read.get_header_id(), u"42");
    EXPECT_EQ(read.get_creation_time(), list.get_creation_time());
    ASSERT_EQ(read.get_entries().size(), 3u);
    expect_same_entries(read.get_entries(), list.get_entries(), Track::compared);
}

TEST_F(XmlPlaylist, MultiTrackerTakesTheOffsetFromStartNextWithoutAStartTime) {
    write(R"(<Log version="multitracker">
  <LogEvent><MediaLocation>a</MediaLocation><MediaLength>10000</MediaLength><StartTime>0</StartTime></LogEvent>
  <LogEvent><MediaLocation>b</MediaLocation><MediaLength>20000</MediaLength><StartTime>-1</StartTime><StartNext>-2500</StartNext></LogEvent>
  <LogEvent><MediaLocation>c</MediaLocation><MediaLength>5000s</MediaLength><StartNext>1000</StartNext></LogEvent>
  <LogEvent><MediaLocation>d</MediaLocation><MediaLength>x</MediaLength><StartTime>later</StartTime></LogEvent>
  <Other/>
</Log>)");
    playlist::ListMultiTracker const list(u"\\list.xml");
    ASSERT_TRUE(list.is_loaded());
    auto const& entries = list.get_entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].start_offset, 2.5);
    EXPECT_EQ(entries[2].start_offset, -1.0);
    EXPECT_EQ(entries[2].duration, 5.0) << "one unit character after the number is dropped";
    EXPECT_EQ(entries[3].start_offset, 0.0);
    EXPECT_EQ(entries[3].duration, -1.0);
}

TEST_F(XmlPlaylist, TheLogVersionDecidesTheFormat) {
    struct Case {
        const char* root;
        bool multi_tracker;
    };
    for (auto const& c : {Case{"<Log version=\"multitracker\"/>", true}, Case{"<Log version=\"MultiTracker\"/>", false},
                          Case{"<Log version=\"\"/>", false}, Case{"<Log/>", false}}) {
        write(c.root);
        EXPECT_EQ(playlist::ListMultiTracker(u"\\list.xml").is_loaded(), c.multi_tracker) << c.root;
        EXPECT_TRUE(playlist::ListOfflineRadio(u"\\list.xml").is_loaded()) << c.root;
    }
}

TEST_F(XmlPlaylist, OfflineRadioRoundTripWithFadesAndCrossFades) {
    write("<Log/>");
    playlist::ListOfflineRadio list(u"\\list.xml");
    ASSERT_TRUE(list.is_loaded());
    list.get_entries() = {entry(u"\\a.mp3", 300), entry(u"\\b.mp3", 200, -3), entry(u"\\c.mp3", 100, 1.5)};
    auto& a = list.get_entries()[0];
    a.clip_begin = 0.5;
    a.fade_in = 1;
    a.fade_out = 2;
    a.clip_end = 295;
    a.track = 7;
    a.attributes = {{u"title", u"A"}, {u"artist", u"B"}, {u"MediaID", u"17"}, {u"MediaComment", u"c"},
                    {u"EntryType", u"Song"}};
    list.get_entries()[1].clip_end = 190;
    list.get_entries()[2].clip_end = 100;
    ASSERT_TRUE(list.save(u"\\saved.log"));

    EXPECT_EQ(column(u"\\saved.log", u"Log", u"StartTime"), (std::vector<std::string>{"0", "2970000000", "4985000000"}));
    EXPECT_EQ(column(u"\\saved.log", u"Log", u"CrossFade"), (std::vector<std::string>{"298000", "188500", "0"}));
    EXPECT_EQ(column(u"\\saved.log", u"Log", u"AudioLength"), (std::vector<std::string>{"300000", "200000", "100000"}));
    EXPECT_EQ(column(u"\\saved.log", u"Log", u"EndFadeDown"), (std::vector<std::string>{"3000", "10000", "0"}));
    EXPECT_EQ(column(u"\\saved.log", u"Log", u"EntryType"), (std::vector<std::string>{"Song", "<missing>", "<missing>"}));
    EXPECT_EQ(column(u"\\saved.log", u"Log", u"AudioInfo"), (std::vector<std::string>{"AB17c", "", ""}));

    playlist::ListOfflineRadio const read(u"\\saved.log");
    ASSERT_EQ(read.get_entries().size(), 3u);
    expect_same_entries(read.get_entries(), list.get_entries(), Track::not_stored);
}

TEST_F(XmlPlaylist, OfflineRadioReadsMissingAndNegativeTimesAsNone) {
    write(R"(<Log>
  <LogEvent><AudioLength>10000</AudioLength><StartFadeUp>-1</StartFadeUp><StartFadeUpLength>-500</StartFadeUpLength>
    <EndFadeDownLength>1000</EndFadeDownLength><EndFadeDown>-1</EndFadeDown><CrossFade>2000x</CrossFade></LogEvent>
  <LogEvent><FileName>b</FileName><AudioLength>5</AudioLength><EndFadeDown>99999</EndFadeDown><CrossFade>0</CrossFade></LogEvent>
  <LogEvent><FileName>c</FileName></LogEvent>
</Log>)");
    playlist::ListOfflineRadio const list(u"\\list.xml");
    ASSERT_TRUE(list.is_loaded());
    auto const& e = list.get_entries();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].path, u"");
    EXPECT_EQ(e[0].duration, 10.0);
    EXPECT_EQ(e[0].clip_begin, 0.0);
    EXPECT_EQ(e[0].fade_in, 0.0);
    EXPECT_EQ(e[0].fade_out, 1.0);
    EXPECT_EQ(e[0].clip_end, 0.0);
    EXPECT_EQ(e[1].duration, 0.005);
    EXPECT_EQ(e[1].clip_end, 0.0);
    EXPECT_EQ(e[1].start_offset, -2.0) << "the cross-fade before it";
    EXPECT_EQ(e[2].start_offset, 0.0) << "no cross-fade of its own";
    EXPECT_EQ(e[2].duration, -1.0);
}

TEST_F(XmlPlaylist, WritersReportAFailedSave) {
    write("<ASX/>");
    playlist::ListASX asx(u"\\list.xml");
    write("<Log version=\"multitracker\"/>");
    playlist::ListMultiTracker multi_tracker(u"\\list.xml");
    playlist::ListOfflineRadio offline_radio(u"\\list.xml");
    for (playlist::List* list : std::initializer_list<playlist::List*>{&asx, &multi_tracker, &offline_radio}) {
        list->get_entries() = {entry(u"a", 1)};
        EXPECT_FALSE(list->save(u"\\No Such Folder\\list.xml")) << narrow(list->get_format_extension());
        EXPECT_TRUE(list->save(u"\\list.xml")) << narrow(list->get_format_extension());
    }
}

}  // namespace
