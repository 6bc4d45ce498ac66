#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/text_utils.h"
#include "audio/bookmarks.h"
#include "platform/device.h"
#include "platform/wave_testing.h"
#include "tests/app/document_fixture.h"
#include "tests/audio/wav_fixture.h"

namespace {

using testing_support::read_host_file;
using testing_support::RecordingView;
using testing_support::write_host_file;

std::vector<std::int16_t> samples_of(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// The data chunk of a WAV file written by the program.
std::string wav_data(const std::string& file) {
    auto const at = file.find("data");
    if (at == std::string::npos) return {};
    return file.substr(at + 8);
}

class DocumentRecording : public testing_support::DocumentFixture {
protected:
    DocumentRecording() { std::filesystem::create_directories(device.host_path("Recordings")); }

    static void record_seconds(Document& document, double seconds) {
        ASSERT_TRUE(wait_until([&] { return document.get_position_seconds() >= seconds; }));
    }
};

TEST_F(DocumentRecording, ARecordedToneOfEveryFormatPlaysBack) {
    struct Case {
        std::u16string codec;
        int rate;
        std::string name;
    };
    Case const cases[] = {
        {u"PCM", 22050, "Recordings/1.wav"},
        {u"ADPCM", 22050, "Recordings/2.wav"},
        {u"GSM", 8000, "Recordings/3.wav"},
        {u"mp3", 22050, "Recordings/1.mp3"},
    };
    Document document;
    RecordingView view;
    document.notify(Change());
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        Settings settings = document.get_settings();
        settings.record.codec = c.codec;
        settings.record.samples = c.rate;
        document.set_settings(settings);

        ASSERT_TRUE(document.record_new_file(u"\\Recordings"));
        EXPECT_TRUE(document.is_recording());
        EXPECT_EQ(document.get_codec(), c.codec);
        record_seconds(document, 1.0);
        // A busy machine may notice the second late: the file holds what was recorded by the stop.
        double const recorded = document.get_position_seconds();
        EXPECT_TRUE(document.stop());
        EXPECT_FALSE(document.is_recording());
        std::size_t const before = view.changes.size();
        document.notify(Change());
        document.notify(Change());
        ASSERT_EQ(view.changes.size(), before + 2);
        std::u16string const path = view.changes[before].text;
        EXPECT_TRUE(view.changes[before].state_changed);
        EXPECT_EQ(path, u"\\" + std::u16string(c.name.begin(), c.name.end()).replace(10, 1, u"\\"));
        EXPECT_TRUE(view.changes[before + 1].text.empty());

        platform::reset_virtual_wave();
        platform::set_virtual_wave_speed(50);
        playlist::Entry entry;
        entry.path = path;
        document.set_playlist(u"recorded", {entry}, 0, false);
        ASSERT_TRUE(document.play_item(0, 0));
        // The fast device may already have played part of it: position and remainder add up
        // to the recording's length, at least the second recorded.
        double const position = document.get_position_seconds();
        double const length = position + document.get_remaining_seconds();
        EXPECT_GT(length, 0.7);
        EXPECT_LT(length, recorded + 2.0);
        std::vector<std::int16_t> played;
        ASSERT_TRUE(wait_until([&] {
            played.clear();
            for (auto const& output : platform::virtual_wave_outputs()) {
                auto const samples = samples_of(output.bytes);
                played.insert(played.end(), samples.begin(), samples.end());
            }
            return played.size() >= static_cast<std::size_t>(c.rate) * 8 / 10;
        }));
        document.stop();
        ASSERT_EQ(platform::virtual_wave_outputs().front().sample_rate, static_cast<std::uint32_t>(c.rate));
        // The middle of the sound: a 440 Hz tone, loud, with the codec's distortion.
        std::size_t const from = played.size() / 4, to = played.size() * 3 / 4;
        int crossings = 0;
        double energy = 0;
        for (std::size_t i = from + 1; i < to; ++i) {
            if ((played[i - 1] < 0) != (played[i] < 0)) ++crossings;
            energy += double(played[i]) * played[i];
        }
        double const seconds = double(to - from) / c.rate;
        EXPECT_NEAR(crossings / seconds / 2, 440.0, 30.0);
        EXPECT_GT(std::sqrt(energy / double(to - from)), 1000.0);
    }
}

TEST_F(DocumentRecording, AnInsertIsSplicedIntoTheTargetWithItsBookmarksMoved) {
    // The target: 1000 samples of 16-bit mono at 8000 Hz, each holding its own index.
    std::string target_data;
    for (int i = 0; i < 1000; ++i) target_data += wav_fixture::le16(static_cast<std::uint32_t>(i));
    std::filesystem::create_directories(device.host_path("Music"));
    write_host_file(device.host_path("Music/t.wav"), wav_fixture::pcm_file(1, 16, 8000, target_data));
    std::u16string const target = u"\\Music\\t.wav";
    Bookmarks marks;
    marks.add(200, u"early");
    marks.add(1800, u"late");
    ASSERT_TRUE(marks.save(get_bookmark_file_path(target)));

    // The second insert's position lies past the end: it is limited to the target's data.
    for (std::uint32_t const position : {1000u, 999999u}) {
        SCOPED_TRACE(position);
        std::string const before = wav_data(read_host_file(device.host_path("Music/t.wav")));
        struct {
            std::uint32_t spliced_at;
        } const c{std::min<std::uint32_t>(position, static_cast<std::uint32_t>(before.size()))};
        Bookmarks const old_marks(get_bookmark_file_path(target));
        {
            Document document;
            ASSERT_TRUE(document.start_insert_recording(target, position));
            record_seconds(document, 0.5);
            EXPECT_TRUE(document.stop());
        }
        std::string const after = wav_data(read_host_file(device.host_path("Music/t.wav")));
        ASSERT_GT(after.size(), before.size());
        std::uint32_t const inserted = static_cast<std::uint32_t>(after.size() - before.size());
        EXPECT_TRUE(after.substr(0, c.spliced_at) == before.substr(0, c.spliced_at));
        EXPECT_TRUE(after.substr(c.spliced_at + inserted) == before.substr(c.spliced_at));

        Bookmarks const merged(get_bookmark_file_path(target));
        std::vector<std::pair<std::int32_t, std::u16string>> found, expected;
        for (int i = 0; i < merged.size(); ++i) found.emplace_back(merged.get(i).position, merged.get(i).name);
        for (int i = 0; i < old_marks.size(); ++i) {
            std::int32_t const at = old_marks.get(i).position;
            expected.emplace_back(at < std::int32_t(c.spliced_at) ? at : at + std::int32_t(inserted),
                                  old_marks.get(i).name);
        }
        expected.emplace_back(c.spliced_at, u"Bookmark");
        expected.emplace_back(c.spliced_at + inserted, u"Bookmark");
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
        for (auto const& file : std::filesystem::directory_iterator(device.host_path("Music")))
            EXPECT_NE(file.path().extension(), ".tmp") << file.path();
    }
}

TEST_F(DocumentRecording, AppendingMarksWhereTheNewPartBegins) {
    std::filesystem::create_directories(device.host_path("Music"));
    write_host_file(device.host_path("Music/a.wav"), wav_fixture::pcm_file(1, 16, 8000, std::string(600, '\x22')));
    std::u16string const path = u"\\Music\\a.wav";
    Document document;
    ASSERT_TRUE(document.start_recording_append(path));
    record_seconds(document, 0.25);
    EXPECT_TRUE(document.stop());
    std::string const data = wav_data(read_host_file(device.host_path("Music/a.wav")));
    EXPECT_GT(data.size(), 600u);
    EXPECT_TRUE(data.substr(0, 600) == std::string(600, '\x22'));
    Bookmarks const marks(get_bookmark_file_path(path));
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks.get(0).position, 600);
    EXPECT_EQ(marks.get(0).name, u"Bookmark");
}

TEST_F(DocumentRecording, AnInsertStartedDuringARecordingFinishesThatRecordingFirst) {
    std::filesystem::create_directories(device.host_path("Music"));
    write_host_file(device.host_path("Music/t.wav"), wav_fixture::pcm_file(1, 16, 8000, std::string(400, '\x33')));
    Document document;
    RecordingView view;
    Settings settings = document.get_settings();
    settings.record.codec = u"PCM";
    settings.record.samples = 8000;
    document.set_settings(settings);
    ASSERT_TRUE(document.record_new_file(u"\\Recordings"));
    record_seconds(document, 0.25);
    ASSERT_TRUE(document.start_insert_recording(u"\\Music\\t.wav", 0));
    document.notify(Change());
    EXPECT_EQ(view.changes.back().text, u"\\Recordings\\1.wav");
    EXPECT_FALSE(wav_data(read_host_file(device.host_path("Recordings/1.wav"))).empty());
    EXPECT_FALSE(std::filesystem::exists(device.host_path("Recordings/1.wav.bm")));
    EXPECT_TRUE(document.stop());
}

TEST_F(DocumentRecording, NewRecordingsAreNamedFromTheSettings) {
    struct Case {
        bool default_folder;
        bool date_folder;
        std::u16string prefix;
        bool include_date;
        std::u16string given;
        std::u16string expected;
    };
    // Numbers count on from the files that the earlier cases left behind.
    Case const cases[] = {
        {false, false, u"", false, u"\\Given", u"\\Given\\1.wav"},
        {false, true, u"", false, u"\\Given", u"\\Given\\2.wav"},
        {false, false, u"Memo", false, u"\\Given", u"\\Given\\Memo1.wav"},
        {true, false, u"Memo", false, u"\\Given", u"\\Recordings\\Memo1.wav"},
        {true, true, u"Memo", false, u"\\Given", u"\\Recordings\\2007-03-09\\Memo1.wav"},
        {true, true, u"Memo", true, u"\\Given", u"\\Recordings\\2007-03-09/Memo 09 mar 07 14-05-33.wav"},
        {false, false, u"", true, u"\\Given", u"\\Given/09 mar 07 14-05-33.wav"},
        // A folder that cannot take the file: the dated name in My Documents, even without
        // the date asked for.
        {false, false, u"Memo", false, u"\\Missing", u"\\My Documents/Memo 09 mar 07 14-05-33.wav"},
    };
    std::filesystem::create_directories(device.host_path("Given"));
    std::filesystem::create_directories(device.host_path("My Documents"));
    Document document;
    document.set_clock([] { return os::DateTime(testing_support::make_time(2007, 3, 9, 14, 5, 33)); });
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.expected.begin(), c.expected.end()));
        Settings settings = document.get_settings();
        settings.record.codec = u"PCM";
        settings.record.default_folder = c.default_folder;
        settings.record.date_folder = c.date_folder;
        settings.record.folder = u"\\Recordings";
        settings.record.prefix = c.prefix;
        settings.record.include_date = c.include_date;
        document.set_settings(settings);
        EXPECT_TRUE(document.record_new_file(c.given));
        EXPECT_EQ(document.get_record_file(), c.expected);
        record_seconds(document, 0.1);
        EXPECT_TRUE(document.stop());
        auto const host = platform::host_path(c.expected);
        ASSERT_TRUE(host);
        EXPECT_TRUE(testing_support::host_file_exists(*host));
    }
}

TEST_F(DocumentRecording, AnInsertThatCannotBeWrittenLeavesTheTargetAsItWas) {
    GTEST_FLAG_SET(death_test_style, "fast");
    std::filesystem::create_directories(device.host_path("Music"));
    std::string const original = wav_fixture::pcm_file(1, 16, 8000, std::string(63000, '\x44'));
    write_host_file(device.host_path("Music/t.wav"), original);
    std::u16string const target = u"\\Music\\t.wav";
    Bookmarks marks;
    marks.add(1500, u"late");
    ASSERT_TRUE(marks.save(get_bookmark_file_path(target)));
    std::string const original_marks = read_host_file(device.host_path("Music/t.wav.bm"));

    // No file of the child may grow past 64000 bytes: the recording fits, the target with
    // the recording spliced in does not.
    auto const insert_on_a_full_device = [&] {
        struct rlimit const limit = {64000, 64000};
        std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(2);
        bool stopped = false;
        {
            Document document;
            if (!document.start_insert_recording(target, 1000)) std::_Exit(3);
            if (!wait_until([&] { return document.get_position_seconds() >= 0.25; })) std::_Exit(4);
            stopped = document.stop();
            // The stop succeeds, but the failed splice is there for the screen to tell.
            auto const failed = document.take_failed_insert();
            if (!failed || failed->target != target || failed->recording.empty()) std::_Exit(5);
            if (document.take_failed_insert()) std::_Exit(6);
        }
        std::_Exit(stopped ? 0 : 1);
    };
    EXPECT_EXIT(insert_on_a_full_device(), testing::ExitedWithCode(0), "");

    EXPECT_TRUE(read_host_file(device.host_path("Music/t.wav")) == original);
    EXPECT_TRUE(read_host_file(device.host_path("Music/t.wav.bm")) == original_marks);
    // The recording itself stays for the user; the half-written output is gone.
    std::vector<std::string> left;
    for (auto const& file : std::filesystem::directory_iterator(device.host_path("Music")))
        if (file.path().extension() == ".tmp") left.push_back(file.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"insert1.tmp"});
    EXPECT_GT(wav_data(read_host_file(device.host_path("Music/insert1.tmp"))).size(), 1000u);
}

// The end of a recording, as an independent decoder (ffmpeg) reads the file: everything the
// time meter counted is there, and its last tenth of a second is the tone.
class RecordingTail : public DocumentRecording {
protected:
    void expect_tail_recorded(const std::u16string& codec, int rate) {
        if (std::system("command -v ffmpeg >/dev/null") != 0) FAIL() << "ffmpeg is needed (scripts/packages.txt)";
        Document document;
        Settings settings = document.get_settings();
        settings.record.codec = codec;
        settings.record.samples = rate;
        settings.record.channels = 1;
        settings.record.bits = 16;
        settings.record.bitrate = 64000;
        settings.record.prefix = u"";
        settings.record.default_folder = false;
        settings.record.include_date = false;
        document.set_settings(settings);
        ASSERT_TRUE(document.record_new_file(u"\\Recordings"));
        std::u16string const path = document.get_record_file();
        record_seconds(document, 1.0);
        ASSERT_TRUE(document.stop());
        double const recorded = document.get_time_meter().get_seconds();

        auto const file = platform::host_path(path);
        ASSERT_TRUE(file);
        std::string const raw = device.host_path("tail.raw");
        std::string const command = "ffmpeg -nostdin -v error -y -i '" + *file + "' -f s16le -ac 1 -acodec pcm_s16le '" +
                                    raw + "' </dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        std::string const bytes = testing_support::read_host_file(raw);
        std::vector<std::int16_t> const decoded = samples_of(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        auto const end = static_cast<std::size_t>(recorded * rate);
        ASSERT_GE(decoded.size() + static_cast<std::size_t>(rate / 1000), end) << "decoded " << decoded.size();
        std::size_t const from = end - static_cast<std::size_t>(rate / 10);
        int crossings = 0;
        double energy = 0;
        for (std::size_t i = from + 1; i < std::min(end, decoded.size()); ++i) {
            if ((decoded[i - 1] < 0) != (decoded[i] < 0)) ++crossings;
            energy += double(decoded[i]) * decoded[i];
        }
        EXPECT_NEAR(crossings / 0.1 / 2, 440.0, 40.0);
        EXPECT_GT(std::sqrt(energy / double(end - from)), 1000.0);
    }
};

TEST_F(RecordingTail, TheLastTenthOfASecondIsInThePcmAndMp3File) {
    {
        SCOPED_TRACE("PCM");
        expect_tail_recorded(u"PCM", 22050);
    }
    {
        SCOPED_TRACE("mp3");
        expect_tail_recorded(u"mp3", 22050);
    }
}

TEST_F(RecordingTail, TheLastTenthOfASecondIsInTheAdpcmAndGsmFile) {
    {
        SCOPED_TRACE("GSM");
        expect_tail_recorded(u"GSM", 8000);
    }
    {
        SCOPED_TRACE("ADPCM");
        expect_tail_recorded(u"ADPCM", 22050);
    }
}

}  // namespace

namespace {

TEST_F(DocumentRecording, ARecorderThatCannotStartLeavesNoRecordingAndNoFile) {
    Document document;
    Settings settings = document.get_settings();
    for (auto const* codec : {u"PCM", u"mp3"}) {
        settings.record.codec = codec;
        document.set_settings(settings);
        platform::set_virtual_wave_refusals(true, false);
        EXPECT_FALSE(document.record_new_file(u"\\Recordings"));
        EXPECT_FALSE(document.is_recording());
        platform::set_virtual_wave_refusals(false, false);
        EXPECT_TRUE(std::filesystem::is_empty(device.host_path("Recordings")));
    }
}

TEST_F(DocumentRecording, AnEditedSettingsFileIsNeitherLostNorTakenOutOfRange) {
    std::string const host = device.host_path("Program Files/Sonbrix/Sonbrix.xml");
    write_host_file(host, "<Settings><Record Channels=\"-5\" Bits=\"7\" Samples=\"99999999999999\"/><Play Speed=\"0\"/></Settings>");
    {
        Document document;
        EXPECT_EQ(document.get_settings().record.channels, 1);
        EXPECT_EQ(document.get_settings().record.bits, 8);
        EXPECT_EQ(document.get_settings().record.samples, 22050);
        EXPECT_EQ(document.get_settings().play.speed, 0.5);
    }
    std::string const broken = "<Settings><Play Volume=\"0.3\"></Settings>";
    write_host_file(host, broken);
    { Document document; }
    EXPECT_EQ(read_host_file(host + ".bad"), broken) << "the document's save on exit left it aside";
}

}  // namespace
