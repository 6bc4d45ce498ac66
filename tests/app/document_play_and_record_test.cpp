// A playback and a recording at the same time, and the starts and ends of recordings.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "app/text_utils.h"
#include "audio/bookmarks.h"
#include "audio/record_chain.h"
#include "platform/kernel.h"
#include "platform/wave_testing.h"
#include "tests/app/document_fixture.h"
#include "tests/audio/wav_fixture.h"

namespace {

using testing_support::read_host_file;
using testing_support::RecordingView;
using testing_support::write_host_file;

// The data chunk of a WAV file written by the program.
std::string wav_data(const std::string& file) {
    auto const at = file.find("data");
    if (at == std::string::npos) return {};
    return file.substr(at + 8);
}

class DocumentPlayAndRecord : public testing_support::DocumentFixture {
protected:
    DocumentPlayAndRecord() {
        std::filesystem::create_directories(device.host_path("Recordings"));
        std::filesystem::create_directories(device.host_path("Music"));
        // A minute of 8-bit sound: it plays for seconds on the fast device.
        write_host_file(device.host_path("Music/long.wav"),
                        wav_fixture::pcm_file(1, 8, 8000, std::string(8000 * 60, '\x90')));
        platform::set_virtual_wave_speed(10);
        settings.record.codec = u"PCM";
        settings.record.channels = 1;
        settings.record.samples = 8000;
        settings.record.bits = 16;
        settings.record.vas_on = false;
        settings.record.prefix = u"";
        settings.record.default_folder = false;
        settings.record.include_date = false;
        store_settings(settings);
    }

    static constexpr char16_t const* played = u"\\Music\\long.wav";
    static constexpr char16_t const* plain = u"\\Recordings\\plain.wav";

    static void play(Document& document, const std::u16string& path = played) {
        playlist::Entry entry;
        entry.path = path;
        document.set_playlist(u"list", {entry}, 0, false);
        ASSERT_TRUE(document.play_item(0, 0));
    }
    // A plain recording beside the playback, into the path.
    static void record_beside(Document& document, const std::u16string& path = plain) {
        ASSERT_TRUE(document.record_to_file(audio::create_record_chain(path, u"PCM", 1, 8000, 16, 0, false), path));
        record_seconds(document, 0.25);
    }
    static void record_seconds(Document& document, double seconds) {
        double const from = document.get_time_meter().get_seconds();
        ASSERT_TRUE(wait_until([&] { return document.get_time_meter().get_seconds() >= from + seconds; }));
    }
    std::string data_of(const std::string& below_root) { return wav_data(read_host_file(device.host_path(below_root))); }

    Settings settings;
};

// Every entry that starts a new recording ends what runs first: the plain recording stays
// a file of its own, and the views hear its name.
TEST_F(DocumentPlayAndRecord, StartingAnotherRecordingEndsThePlaybackAndThePlainRecordingFirst) {
    write_host_file(device.host_path("Music/t.wav"), wav_fixture::pcm_file(1, 16, 8000, std::string(4000, '\x33')));
    struct Case {
        const char* name;
        std::function<bool(Document&)> start;
        std::u16string recording;
    };
    Case const cases[] = {
        {"insert", [](Document& d) { return d.start_insert_recording(u"\\Music\\t.wav", 0); },
         u"\\Music\\insert1.tmp"},
        {"new file", [](Document& d) { return d.record_new_file(u"\\Recordings"); }, u"\\Recordings\\1.wav"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Document document;
        RecordingView view;
        play(document);
        record_beside(document);
        document.notify(Change());
        ASSERT_TRUE(c.start(document));
        EXPECT_FALSE(document.is_playing());
        EXPECT_TRUE(document.is_recording());
        EXPECT_EQ(document.get_record_file(), c.recording);
        document.notify(Change());
        EXPECT_EQ(view.changes.back().text, plain);
        EXPECT_GT(data_of("Recordings/plain.wav").size(), 1000u);
        record_seconds(document, 0.1);
        EXPECT_TRUE(document.stop());
        std::filesystem::remove(device.host_path("Recordings/plain.wav"));
    }
    // The insert went into its own target only.
    EXPECT_GT(data_of("Music/t.wav").size(), 4000u);
}

TEST_F(DocumentPlayAndRecord, ADocumentDestroyedWhileBothRunFinishesTheRecording) {
    {
        Document document;
        play(document);
        record_beside(document);
    }
    std::string const file = read_host_file(device.host_path("Recordings/plain.wav"));
    std::string const data = wav_data(file);
    EXPECT_GT(data.size(), 1000u);
    // The header was rewritten with the final size.
    ASSERT_GE(file.size(), 44u);
    std::uint32_t const stated = static_cast<std::uint8_t>(file[40]) | static_cast<std::uint8_t>(file[41]) << 8 |
                                 static_cast<std::uint8_t>(file[42]) << 16 |
                                 static_cast<std::uint32_t>(static_cast<std::uint8_t>(file[43])) << 24;
    EXPECT_EQ(stated, data.size());
}

TEST_F(DocumentPlayAndRecord, InsertingAtThePlayPositionSplicesIntoThePlayedFile) {
    write_host_file(device.host_path("Music/t.wav"),
                    wav_fixture::pcm_file(1, 16, 8000, std::string(2 * 8000 * 30, '\x11')));
    std::u16string const target = u"\\Music\\t.wav";
    Document document;
    EXPECT_FALSE(document.insert_at_play_position());  // nothing plays
    play(document, target);
    ASSERT_TRUE(wait_until([&] { return document.get_position() > 0; }));
    ASSERT_TRUE(document.insert_at_play_position());
    EXPECT_FALSE(document.is_playing());
    EXPECT_TRUE(document.is_recording());
    record_seconds(document, 0.25);
    EXPECT_TRUE(document.stop());

    std::string const data = data_of("Music/t.wav");
    std::size_t const inserted = data.size() - 2 * 8000 * 30;
    EXPECT_GT(inserted, 1000u);
    Bookmarks const marks(get_bookmark_file_path(target));
    ASSERT_EQ(marks.size(), 2);
    EXPECT_GT(marks.get(0).position, 0);
    EXPECT_EQ(static_cast<std::size_t>(marks.get(1).position - marks.get(0).position), inserted);
    // The tone sits where the marks say; the target's own bytes are around it.
    EXPECT_EQ(data[static_cast<std::size_t>(marks.get(0).position) - 1], '\x11');
    EXPECT_EQ(data[static_cast<std::size_t>(marks.get(1).position)], '\x11');
}

// The timer step's recording checks act on the recording, with or without a playback beside it.
TEST_F(DocumentPlayAndRecord, TheTimerStepsRecordingChecksLeaveThePlaybackAlone) {
    for (bool const beside : {false, true}) {
        SCOPED_TRACE(beside ? "with a playback" : "alone");
        std::filesystem::remove(device.host_path("Recordings/plain.wav.bm"));
        Document document;
        document.set_vas_on(true);
        document.set_vas_threshold(0.05);
        if (beside) play(document);
        record_beside(document);

        // Silence for longer than the limit: the recording pauses with a bookmark.
        document.set_input_enabled(false);
        ASSERT_TRUE(wait_until([&] { return document.get_level_meter_record().is_silence_too_long(); }));
        document.on_timer();
        EXPECT_TRUE(document.is_recording());
        EXPECT_TRUE(document.is_paused());
        EXPECT_EQ(document.is_playing(), beside);
        EXPECT_FALSE(document.get_player().is_paused());
        EXPECT_EQ(Bookmarks(get_bookmark_file_path(plain)).size(), 1);
        EXPECT_FALSE(std::filesystem::exists(device.host_path("Music/long.wav.bm")));

        // Sound again: it goes on.
        document.set_input_enabled(true);
        ASSERT_TRUE(wait_until([&] { return !document.get_level_meter_record().is_silence_too_long(); }));
        document.on_timer();
        EXPECT_FALSE(document.is_paused());
        EXPECT_TRUE(document.is_recording());
        EXPECT_EQ(document.is_playing(), beside);
        double const before = document.get_time_meter().get_seconds();
        record_seconds(document, 0.1);
        EXPECT_GT(document.get_time_meter().get_seconds(), before);
    }
}

TEST_F(DocumentPlayAndRecord, APausedRecordingWritesNothingUntilItResumes) {
    Document document;
    EXPECT_FALSE(document.pause());
    EXPECT_FALSE(document.resume());
    record_beside(document);
    ASSERT_TRUE(document.pause());
    EXPECT_TRUE(document.is_paused());
    EXPECT_FALSE(document.pause());  // once
    // Blocks still reach the meter while paused, but no longer the file.
    double const paused_at = document.get_time_meter().get_seconds();
    ASSERT_TRUE(wait_until([&] { return document.get_input_level(0) > 0; }));
    Sleep(150);
    EXPECT_EQ(document.get_time_meter().get_seconds(), paused_at);
    ASSERT_TRUE(document.resume());
    EXPECT_FALSE(document.is_paused());
    record_seconds(document, 0.1);
    EXPECT_TRUE(document.stop());
}

TEST_F(DocumentPlayAndRecord, TheScheduledEndStopsTheRecordingNotThePlayback) {
    os::DateTime clock_time = at(2030, 6, 1, 12, 0);
    Document document;
    document.set_clock([&] { return clock_time; });
    Settings s = document.get_settings();
    s.record.folder = u"\\Recordings";
    s.schedule.insert(ScheduleTask(testing_support::make_time(2030, 6, 1, 11, 0),
                                   testing_support::make_time(2030, 6, 1, 13, 0)));
    document.set_settings(s);
    std::u16string const path = document.start_scheduled_recording();
    ASSERT_FALSE(path.empty());
    play(document);
    document.on_timer();
    EXPECT_TRUE(document.is_recording());

    clock_time = at(2030, 6, 1, 13, 1);
    document.on_timer();
    EXPECT_FALSE(document.is_recording());
    EXPECT_TRUE(document.is_playing());
    EXPECT_EQ(document.get_current_file(), played);
    EXPECT_TRUE(document.stop());
}

TEST_F(DocumentPlayAndRecord, AWriterThatClosesStopsTheRecordingNotThePlayback) {
    GTEST_FLAG_SET(death_test_style, "fast");
    // No file of the child may grow past 40000 bytes: the recording soon cannot be written.
    auto const record_until_full = [&] {
        struct rlimit const limit = {40000, 40000};
        std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(2);
        Document document;
        playlist::Entry entry;
        entry.path = played;
        document.set_playlist(u"list", {entry}, 0, false);
        if (!document.play_item(0, 0)) std::_Exit(3);
        if (!document.record_to_file(audio::create_record_chain(plain, u"PCM", 1, 8000, 16, 0, false), plain))
            std::_Exit(4);
        if (!wait_until([&] { return document.get_time_meter().get_seconds() > 3.0; })) std::_Exit(5);
        document.on_timer();
        if (document.is_recording()) std::_Exit(6);
        if (!document.is_playing()) std::_Exit(7);
        std::_Exit(0);
    };
    EXPECT_EXIT(record_until_full(), testing::ExitedWithCode(0), "");
}

TEST_F(DocumentPlayAndRecord, AWavRecordingWhoseFileCannotBeMadeDoesNotStart) {
    Document document;
    play(document);
    std::u16string const nowhere = u"\\Missing\\x.wav";
    for (std::u16string const codec : {u"PCM", u"ADPCM", u"GSM"}) {
        SCOPED_TRACE(std::string(codec.begin(), codec.end()));
        EXPECT_FALSE(document.record_to_file(audio::create_record_chain(nowhere, codec, 1, 8000, 16, 0, false),
                                             nowhere));
        EXPECT_FALSE(document.is_recording());
        EXPECT_TRUE(document.is_playing());
    }
    EXPECT_FALSE(std::filesystem::exists(device.host_path("Missing")));
    // A file that exists is not changed by finding out whether it can be written.
    write_host_file(device.host_path("Recordings/kept.wav"), "not a sound");
    std::u16string const kept = u"\\Recordings\\kept.wav";
    ASSERT_TRUE(document.record_to_file(audio::create_record_chain(kept, u"PCM", 1, 8000, 16, 0, false), kept));
    record_seconds(document, 0.1);
    document.stop();
    EXPECT_TRUE(document.stop());
    EXPECT_GT(data_of("Recordings/kept.wav").size(), 0u);
}

// The device keeps recording into a buffer of 5000 frames (0.625 s here) and hands it over
// when full: a stop must still save the part of it recorded so far.
TEST_F(DocumentPlayAndRecord, TheLastPartOfTheDevicesBufferReachesTheFile) {
    platform::set_virtual_wave_speed(1);
    Document document;
    ASSERT_TRUE(document.record_new_file(u"\\Recordings"));
    Sleep(400);
    EXPECT_TRUE(document.stop());
    // Some 0.4 s; a tenth of a second at least, however late the device's thread ran.
    EXPECT_GE(data_of("Recordings/1.wav").size(), 2u * 800u);
}

}  // namespace
