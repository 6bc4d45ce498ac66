// The status record that the program hands the start-screen plug-in.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "app/comm/comm_clipboard.h"
#include "app/comm/memory_mapped_clipboard.h"
#include "app/comm/serializable.h"
#include "app/comm/status_source.h"
#include "app/document_status.h"
#include "platform/wave_testing.h"
#include "tests/app/document_fixture.h"
#include "tests/audio/wav_fixture.h"

namespace {

using testing_support::write_host_file;

class DocumentStatus : public testing_support::DocumentFixture {
protected:
    DocumentStatus() {
        std::filesystem::create_directories(device.host_path("Music"));
        std::filesystem::create_directories(device.host_path("Recordings"));
        write_host_file(device.host_path("Music/long.wav"),
                        wav_fixture::pcm_file(2, 16, 11025, std::string(4 * 11025 * 60, '\x10')));
        platform::set_virtual_wave_speed(10);
        Settings settings;
        settings.record.codec = u"mp3";
        settings.record.channels = 1;
        settings.record.samples = 22050;
        settings.record.bits = 16;
        settings.record.bitrate = 32000;
        settings.record.prefix = u"";
        settings.record.default_folder = false;
        settings.record.include_date = false;
        store_settings(settings);
    }
    static std::u16string file_of(const StatusData& data) { return data.current_file; }
};

TEST_F(DocumentStatus, TheRecordFollowsTheDocumentsState) {
    struct Case {
        const char* name;
        std::function<void(Document&)> enter;
        std::int32_t state;
        std::u16string file;
        std::int32_t format_kind, sample_rate, bits, bit_rate, stereo;
    };
    auto const play = [](Document& d) {
        playlist::Entry entry;
        entry.path = u"\\Music\\long.wav";
        d.set_playlist(u"list", {entry}, 0, false);
        ASSERT_TRUE(d.play_item(0, 0));
        ASSERT_TRUE(wait_until([&] { return d.get_position_seconds() > 0.05; }));
    };
    auto const record = [](Document& d) {
        ASSERT_TRUE(d.record_new_file(u"\\Recordings"));
        ASSERT_TRUE(wait_until([&] { return d.get_position_seconds() > 0.05; }));
    };
    Case const cases[] = {
        {"idle", [](Document&) {}, 1, u"", 2, 0, 0, 0, 2},
        {"playing", play, 2, u"\\Music\\long.wav", 1, 11025, 16, 352, 1},
        {"playing, paused", [&](Document& d) { play(d); d.pause(); }, 4, u"\\Music\\long.wav", 1, 11025, 16, 352, 1},
        {"recording", record, 3, u"\\Recordings\\1.mp3", 0, 22050, 16, 32, 0},
        {"recording, paused", [&](Document& d) { record(d); d.pause(); }, 5, u"\\Recordings\\2.mp3", 0, 22050, 16,
         32, 0},
        // The playback is what the record tells of; the recording's pause is not its pause.
        {"playing beside a paused recording",
         [&](Document& d) {
             record(d);
             d.pause();
             play(d);
         },
         2, u"\\Music\\long.wav", 1, 11025, 16, 352, 1},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Document document;
        c.enter(document);
        double const before = document.get_position_seconds();
        StatusData const status = make_document_status(document);
        double const after = document.get_position_seconds();
        EXPECT_EQ(status.state, c.state);
        EXPECT_EQ(file_of(status), c.file);
        EXPECT_EQ(status.format_kind, c.format_kind);
        EXPECT_EQ(status.sample_rate, c.sample_rate);
        EXPECT_EQ(status.bits_per_sample, c.bits);
        EXPECT_EQ(status.bit_rate, c.bit_rate);
        EXPECT_EQ(status.stereo, c.stereo);
        EXPECT_GE(status.elapsed, static_cast<std::int32_t>(before * 1000));
        EXPECT_LE(status.elapsed, static_cast<std::int32_t>(after * 1000));
        if (c.state == 1) {
            EXPECT_EQ(status.length, -1);
            EXPECT_EQ(status.position, -1);
            EXPECT_EQ(status.elapsed, 0);
        } else if (c.state == 2 || c.state == 4) {
            EXPECT_EQ(status.length, 4 * 11025 * 60);
            EXPECT_GE(status.length, status.position);
        } else {
            // What the writer has written so far, both.
            EXPECT_GE(status.length, 0);
            EXPECT_EQ(status.length, status.position);
        }
        document.stop();
    }
}

class FixedSource : public StatusSource {
public:
    bool is_playing() override { return true; }
    bool is_recording() override { return false; }
    bool is_paused() override { return false; }
    double get_position_seconds() override { return seconds; }
    std::u16string get_current_file() override { return file; }
    std::uint32_t get_sample_rate() override { return 8000; }
    std::uint32_t get_bits_per_sample() override { return 16; }
    std::uint32_t get_bitrate_kbps() override { return 128; }
    bool is_stereo() override { return false; }
    std::u16string get_codec() override { return codec; }
    std::uint32_t get_length() override { return 100; }
    std::uint32_t get_position() override { return 50; }

    double seconds = 0;
    std::u16string file = u"\\a.wav";
    std::u16string codec = u"PCM";
};

TEST(StatusRecord, CodecPathAndTimeAreCutToTheRecord) {
    struct Case {
        std::u16string codec;
        std::u16string file;
        double seconds;
        std::int32_t format_kind;
        std::u16string sent_file;
        std::int32_t elapsed;
    };
    std::u16string const long_file(300, u'x');
    std::u16string const pair_at_the_cut = std::u16string(258, u'x') + u"\U0001F600";
    Case const cases[] = {
        {u"PCM", u"\\a.wav", 1.2345, 1, u"\\a.wav", 1234},
        {u"ADPCM", u"\\a.wav", 0.0009, 1, u"\\a.wav", 0},
        {u"GSM", u"\\a.wav", 2.0, 1, u"\\a.wav", 2000},
        {u"mp3", u"\\a.mp3", 59.9999, 0, u"\\a.mp3", 59999},
        {u"OGG", u"\\a.ogg", 1.0, 2, u"\\a.ogg", 1000},
        {u"pcm", u"\\a.wav", -1.0, 2, u"\\a.wav", 0},                       // keys are exact
        {u"PCM", long_file, 1e12, 1, long_file.substr(0, 259), 2147483647},  // cut to the record
        {u"PCM", pair_at_the_cut, 0.0, 1, std::u16string(258, u'x'), 0},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.codec.begin(), c.codec.end()));
        FixedSource source;
        source.codec = c.codec;
        source.file = c.file;
        source.seconds = c.seconds;
        StatusData const status = make_status(source);
        EXPECT_EQ(status.format_kind, c.format_kind);
        EXPECT_EQ(std::u16string(status.current_file), c.sent_file);
        EXPECT_EQ(status.current_file[259], u'\0');
        EXPECT_EQ(status.elapsed, c.elapsed);
        EXPECT_EQ(status.state, 2);
        EXPECT_EQ(status.length, 100);
        EXPECT_EQ(status.position, 50);
    }
}

class StatusReply : public testing_support::DeviceTest {};

TEST_F(StatusReply, TheReplyIsTheRecordWithTrueOnTop) {
    CCommClipboard::install(new CCommMemoryMappedFilesClipboard(1028, u"StatusReplyTest"));
    CCommClipboard* const stack = CCommClipboard::instance();
    FixedSource source;
    EXPECT_EQ(push_status_reply(make_status(source)), 1u);
    CSerializableBool done(false);
    CSonbrixStatus record;
    ASSERT_TRUE(CCommClipboard::read_object(stack, &done));
    EXPECT_TRUE(done.get_value());
    ASSERT_TRUE(CCommClipboard::read_object(stack, &record));
    EXPECT_EQ(std::u16string(record.get_data().current_file), u"\\a.wav");
    EXPECT_FALSE(CCommClipboard::read_object(stack, &done));  // nothing else
    // A stack too full for the Bool takes the record back.
    std::string const filler(1024 - 556, 'f');
    ASSERT_TRUE(stack->push(filler.data(), static_cast<std::uint32_t>(filler.size())));
    EXPECT_EQ(push_status_reply(make_status(source)), 0u);
    std::string back(filler.size(), '\0');
    EXPECT_TRUE(stack->pop(back.data(), static_cast<std::uint32_t>(back.size())));
    EXPECT_FALSE(stack->pop(back.data(), 1));
    CCommClipboard::install(new CCommClipboard);
}

}  // namespace
