#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "app/text_utils.h"
#include "audio/bookmarks.h"
#include "platform/wave_testing.h"
#include "tests/app/document_fixture.h"
#include "tests/audio/wav_fixture.h"

namespace {

using testing_support::RecordingView;
using testing_support::write_host_file;

// 8-bit mono at 8000 Hz; each file holds one sample value over and over, so the output
// tells which file was played.
constexpr std::uint8_t file_value(int index) { return static_cast<std::uint8_t>(0x90 + 0x10 * index); }

class DocumentPlayback : public testing_support::DocumentFixture {
protected:
    // "\Music\<name>" holding the bytes as 8-bit mono PCM at 8000 Hz.
    std::u16string make_file(const std::string& name, const std::string& samples) {
        write_host_file(device.host_path("Music/" + name), wav_fixture::pcm_file(1, 8, 8000, samples));
        return u"\\Music\\" + std::u16string(name.begin(), name.end());
    }
    std::vector<playlist::Entry> make_playlist(int size, std::uint32_t bytes = 400) {
        std::vector<playlist::Entry> entries;
        for (int i = 0; i < size; ++i) {
            playlist::Entry entry;
            entry.path = make_file("file" + std::to_string(i) + ".wav", std::string(bytes, char(file_value(i))));
            entries.push_back(entry);
        }
        return entries;
    }
    // Runs the timer step whenever the entry has been read to its end; the playlist
    // indexes started, the first one included, at most limit of them.
    static std::vector<int> play_through(Document& document, const std::vector<playlist::Entry>& entries,
                                         std::size_t limit) {
        std::vector<int> started;
        auto const index_of = [&](const std::u16string& path) {
            for (std::size_t i = 0; i < entries.size(); ++i)
                if (entries[i].path == path) return static_cast<int>(i);
            return -1;
        };
        while (document.is_playing() && started.size() < limit) {
            started.push_back(index_of(document.get_current_file()));
            EXPECT_TRUE(wait_until([&] { return document.get_position() >= document.get_length(); }));
            document.on_timer();
        }
        return started;
    }
    // Everything the virtual device played, in order.
    static std::vector<std::uint8_t> played_bytes() {
        std::vector<std::uint8_t> bytes;
        for (auto const& output : platform::virtual_wave_outputs())
            bytes.insert(bytes.end(), output.bytes.begin(), output.bytes.end());
        return bytes;
    }
};

TEST_F(DocumentPlayback, PlayModesWalkThePlaylist) {
    struct Case {
        int mode;
        int start;
        std::size_t limit;
        std::vector<int> expected;  // empty: check the shuffle below
        bool stops;
    };
    Case const cases[] = {
        {play_single_once, 1, 5, {1}, true},
        {play_single_repeat, 1, 3, {1, 1, 1}, false},
        {play_playlist_once, 0, 5, {0, 1, 2}, true},
        {play_playlist_once, 1, 5, {1, 2}, true},
        {play_playlist_repeat, 1, 4, {1, 2, 0, 1}, false},
        {play_playlist_shuffle, 2, 6, {}, false},
    };
    Document document;
    auto const entries = make_playlist(3);
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " from " << c.start);
        document.set_play_mode(c.mode);
        document.set_playlist(u"list", entries, c.start, false);
        ASSERT_TRUE(document.play_item(c.start, 0));
        auto const started = play_through(document, entries, c.limit);
        if (c.expected.empty()) {
            ASSERT_EQ(started.size(), c.limit);
            EXPECT_EQ(started.front(), c.start);
            EXPECT_EQ(std::set<int>(started.begin(), started.begin() + 3), (std::set<int>{0, 1, 2}));
            EXPECT_EQ(std::set<int>(started.begin() + 3, started.end()), (std::set<int>{0, 1, 2}));
        } else {
            EXPECT_EQ(started, c.expected);
        }
        EXPECT_EQ(document.is_playing(), !c.stops);
        document.stop();
    }
}

TEST_F(DocumentPlayback, TheDeviceReceivesTheFilesOfThePlaylistInOrder) {
    Document document;
    RecordingView view;
    auto const entries = make_playlist(2);
    document.set_play_mode(play_playlist_once);
    document.set_playlist(u"list", entries, 0, false);
    ASSERT_TRUE(document.play_item(0, 0));
    // The timer step ends an entry once it has been read; here it waits until the device
    // has played it, too.
    for (int index : {0, 1}) {
        ASSERT_TRUE(wait_until([&] {
            auto const bytes = played_bytes();
            return std::count(bytes.begin(), bytes.end(), file_value(index)) == 400;
        })) << index;
        document.on_timer();
    }
    EXPECT_FALSE(document.is_playing());
    auto const bytes = played_bytes();
    std::vector<std::uint8_t> sounding;
    for (std::uint8_t const byte : bytes)
        if (byte != 0x80 && (sounding.empty() || sounding.back() != byte)) sounding.push_back(byte);
    EXPECT_EQ(sounding, (std::vector<std::uint8_t>{file_value(0), file_value(1)}));
    document.notify(Change());
    EXPECT_TRUE(view.changes.back().text.empty());  // a playback reports no finished file
}

TEST_F(DocumentPlayback, PitchLockedHalfSpeedPlaysTheToneTwiceAsLongAndVolumeReachesTheDevice) {
    Document document;
    std::string tone;
    for (int i = 0; i < 1600; ++i) tone += char(0x80 + static_cast<int>(100 * std::sin(i * 2 * 3.14159265 / 20)));
    playlist::Entry entry;
    entry.path = make_file("tone.wav", tone);
    auto const sounding = [] {
        auto const bytes = played_bytes();
        return static_cast<double>(
            std::count_if(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b < 0x70 || b > 0x90; }));
    };
    auto const sounding_after_play = [&] {
        platform::reset_virtual_wave();
        platform::set_virtual_wave_speed(50);
        document.set_playlist(u"list", {entry}, 0, false);
        EXPECT_TRUE(document.play_item(0, 0));
        // The timer step ends playback once the file is read, dropping what the device still
        // holds: let the device play out first, so that the count does not depend on timing.
        double last = -1;
        EXPECT_TRUE(wait_until([&] {
            if (document.get_position() < document.get_length()) return false;
            double const now = sounding();
            bool const settled = now > 0 && now == last;
            last = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return settled;
        }));
        document.on_timer();
        EXPECT_TRUE(wait_until([] {
            auto const outputs = platform::virtual_wave_outputs();
            return !outputs.empty() && outputs.back().closed;
        }));
        return sounding();
    };
    double const normal = sounding_after_play();
    EXPECT_GT(normal, 1000.0);
    document.set_speed(0.6, true);
    document.set_volume(0.5);
    double const stretched = sounding_after_play();
    EXPECT_NEAR(stretched / normal, 2.0, 0.25);
    EXPECT_DOUBLE_EQ(document.get_volume(), 0.5);
    EXPECT_NE(platform::virtual_wave_outputs().back().volume, 0xFFFFFFFFu);
}

TEST_F(DocumentPlayback, PauseSeekAndPositions) {
    // The device's time stands still: once the reader has filled its buffers, nothing moves.
    platform::set_test_clock(platform::TestClock::held);
    Document document;
    playlist::Entry entry;
    entry.path = make_file("long.wav", std::string(1001, char(0x90)));
    entry.attributes[u"title"] = u"A long one";
    document.set_playlist(u"list", {entry}, 0, false);
    EXPECT_FALSE(document.seek_fraction(0.5));  // idle
    ASSERT_TRUE(document.play_item(0, 0));
    EXPECT_EQ(document.get_caption(), u"A long one");
    EXPECT_EQ(document.get_sample_rate_text(), u"8kHz");
    EXPECT_EQ(document.get_bits_text(), u"8bit");
    EXPECT_FALSE(document.is_stereo());
    EXPECT_EQ(document.get_length(), 1001u);
    // The whole file fits in the player's first buffer, which the player hands to the device
    // only after the reader reported the end: once the device has begun it, nothing reads any
    // more. (The reader's position is at the end before that last read.)
    ASSERT_TRUE(wait_until([&] {
        auto const outputs = platform::virtual_wave_outputs();
        return !outputs.empty() && outputs.back().begun > 0;
    }));
    ASSERT_EQ(document.get_position(), 1001u);

    EXPECT_TRUE(document.pause());
    EXPECT_TRUE(document.is_paused());
    struct Seek {
        double fraction;
        std::uint32_t position;
    };
    for (Seek const s : {Seek{0.5, 500}, Seek{2.0, 1001}, Seek{-1.0, 0}}) {
        EXPECT_TRUE(document.seek_fraction(s.fraction));
        EXPECT_EQ(document.get_position(), s.position) << s.fraction;
    }
    EXPECT_TRUE(document.seek_relative(-100.0));
    EXPECT_EQ(document.get_position(), 0u);
    EXPECT_TRUE(document.seek_relative(0.0625));
    EXPECT_EQ(document.get_position(), 500u);
    EXPECT_NEAR(document.get_remaining_seconds(), 0.0626, 0.001);
    EXPECT_TRUE(document.resume());
    EXPECT_FALSE(document.is_paused());
    platform::set_test_clock(platform::TestClock::real);  // lets the device close at once
    EXPECT_TRUE(document.stop());
    EXPECT_FALSE(document.is_playing());
    EXPECT_TRUE(document.get_caption().empty());
    EXPECT_DOUBLE_EQ(document.get_position_fraction(), 0.0);
}

TEST_F(DocumentPlayback, AFileThatCannotBeOpenedLeavesTheStreamFailedUntilTheTimerStep) {
    Document document;
    playlist::Entry missing;
    missing.path = u"\\Music\\missing.wav";
    document.set_playlist(u"list", {missing}, 0, false);
    EXPECT_FALSE(document.play_item(0, 0));
    EXPECT_FALSE(document.is_playing());
    EXPECT_FALSE(document.is_stream_ok());
    EXPECT_EQ(document.get_current_file(), missing.path);
    document.on_timer();
    EXPECT_TRUE(document.is_stream_ok());
}

// 24-bit sound opens as a PCM file but no device plays it: the entry ends at the timer step
// like a played one, instead of playing for ever without a sound.
TEST_F(DocumentPlayback, AnEntryTheDeviceCannotPlayEndsAndTheNextOnePlays) {
    Document document;
    playlist::Entry deep;
    deep.path = u"\\Music\\deep.wav";
    write_host_file(device.host_path("Music/deep.wav"), wav_fixture::pcm_file(2, 24, 44100, std::string(6 * 44100, '\0')));
    auto entries = make_playlist(1);
    entries.insert(entries.begin(), deep);
    document.set_play_mode(play_playlist_once);
    document.set_playlist(u"list", entries, 0, false);
    ASSERT_TRUE(document.play_item(0, 0));
    ASSERT_TRUE(wait_until([&] {
        document.on_timer();
        return document.get_current_file() == entries[1].path;
    }));
    EXPECT_TRUE(document.is_playing());
    ASSERT_TRUE(wait_until([&] {
        auto const bytes = played_bytes();
        return std::count(bytes.begin(), bytes.end(), file_value(0)) == 400;
    }));
    document.on_timer();
    EXPECT_FALSE(document.is_playing());
}

TEST_F(DocumentPlayback, PlayingBookmarkedRangesPlaysOnlyThoseRanges) {
    Document document;
    std::string samples = std::string(300, char(0x90)) + std::string(300, char(0xA0)) + std::string(300, char(0xB0));
    playlist::Entry entry;
    entry.path = make_file("marked.wav", samples);
    Bookmarks marks;
    marks.insert(0, u"skip", false);
    marks.insert(300, u"play", true);
    marks.insert(600, u"skip", false);
    ASSERT_TRUE(marks.save(get_bookmark_file_path(entry.path)));
    document.set_playlist(u"list", {entry}, 0, true);
    ASSERT_TRUE(document.play_item(0, 0));
    // The timer step ends the entry once it has been read; wait until the device has played
    // the range too, or the stop drops what it still holds.
    ASSERT_TRUE(wait_until([&] {
        auto const bytes = played_bytes();
        return document.get_position() >= document.get_length() && std::count(bytes.begin(), bytes.end(), 0xA0) >= 300;
    }));
    document.on_timer();
    EXPECT_FALSE(document.is_playing());
    ASSERT_TRUE(wait_until([] {
        auto const outputs = platform::virtual_wave_outputs();
        return !outputs.empty() && outputs.back().closed;
    }));
    auto const bytes = played_bytes();
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xA0), 300);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0x90), 0);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xB0), 0);
}

TEST_F(DocumentPlayback, ABookmarkAddedWhilePlayingIsSavedBesideTheFile) {
    platform::set_test_clock(platform::TestClock::held);  // the device does not play on
    Document document;
    auto const entries = make_playlist(1, 1000);
    document.set_playlist(u"list", entries, 0, false);
    ASSERT_TRUE(document.play_item(0, 500));
    ASSERT_TRUE(wait_until([&] { return document.get_position() == 1000u; }));
    std::uint32_t const position = document.get_position();
    document.add_bookmark(u"any name");
    Bookmarks const saved(get_bookmark_file_path(entries[0].path));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.get(0).name, u"Bookmark");
    EXPECT_EQ(saved.get(0).position, static_cast<std::int32_t>(position));
    EXPECT_TRUE(document.reload_bookmarks());
    EXPECT_EQ(document.get_bookmarks().size(), 1);
    platform::set_test_clock(platform::TestClock::real);  // lets the device close at once
}

}  // namespace
