// The record-chain factory, the play-chain factory's probe over files of every format, the
// chains' titles and their links into record chains.
#include "audio/play_chain_factory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/bookmarks.h"
#include "audio/file_reader_mp3.h"
#include "audio/format_keys.h"
#include "audio/id3_tag.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/mp3_header.h"
#include "audio/record_chain.h"
#include "audio/wav_info.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/virtual_wave.h"

namespace {

using audio_test::quoted;

std::u16string device_path(const std::string& name) { return u"\\" + std::u16string(name.begin(), name.end()); }

TEST(RecordChainFactoryTest, KeysPickTheChainAndOthersGiveNone) {
    testing_support::TestDevice device;
    struct Case {
        const char16_t* key;
        bool made;
    };
    for (const Case& c : {Case{u"PCM", true}, Case{u"mp3", true}, Case{u"ADPCM", true}, Case{u"GSM", true},
                          Case{u"MP3", false}, Case{u"Mp3", false}, Case{u"pcm", false}, Case{u"Vorbis", false},
                          Case{u"MPC", false}, Case{u"WMA", false}, Case{u"", false}}) {
        auto chain = audio::create_record_chain(u"\\r.dat", c.key, 1, 8000, 16, 32000, false);
        ASSERT_EQ(chain != nullptr, c.made) << std::string(c.key, c.key + std::char_traits<char16_t>::length(c.key));
        if (!chain) continue;
        EXPECT_EQ(chain->get_format_key(), c.key);
        EXPECT_NE(chain->get_encoder(), nullptr);
        EXPECT_NE(chain->get_consumer(), nullptr);
        EXPECT_NE(chain->get_file_writer(), nullptr);
    }
}

TEST(RecordChainFactoryTest, APCMChainWritesWhatIsPushedIntoIt) {
    testing_support::TestDevice device;
    {
        auto chain = audio::create_record_chain(u"\\r.wav", audio::key_pcm, 1, 8000, 16, 0, false);
        ASSERT_NE(chain, nullptr);
        std::string const samples = wav_fixture::counting_bytes(800);
        chain->get_consumer()->on_data(audio::PCMData(liba::SharedBuffer(800, samples.data()), 1, 16, 8000));
        EXPECT_EQ(chain->get_file_writer()->get_position(), 800u);
        EXPECT_EQ(chain->get_encoder()->get_bit_rate(), 128000u);
    }
    EXPECT_EQ(testing_support::read_host_file(device.host_path("r.wav")),
              wav_fixture::pcm_file(1, 16, 8000, wav_fixture::counting_bytes(800)));
}

TEST(RecordChainFactoryTest, ACodedRecordingKeepsItsLastPartialBlock) {
    testing_support::TestDevice device;
    struct Case {
        const char16_t* key;
        std::uint32_t frames;
        std::uint32_t blocks;
        std::uint32_t block_align;
        std::uint32_t fact;
    };
    // ADPCM at 8000 Hz mono: 500 samples in 256 bytes; GSM: 320 samples in 65 bytes. The
    // ADPCM "fact" count is what was recorded, GSM's counts whole blocks.
    for (const Case& c : {Case{audio::key_adpcm, 10499, 21, 256, 10499}, Case{audio::key_gsm, 8319, 26, 65, 8320},
                          Case{audio::key_adpcm, 10000, 20, 256, 10000}}) {
        SCOPED_TRACE(c.frames);
        {
            auto chain = audio::create_record_chain(u"\\coded.wav", c.key, 1, 8000, 16, 0, false);
            ASSERT_NE(chain, nullptr);
            std::string const samples = wav_fixture::counting_bytes(c.frames * 2);
            // In pieces, as a recorder hands them over.
            for (std::uint32_t at = 0; at < samples.size(); at += 1600) {
                std::uint32_t const size = std::min<std::uint32_t>(1600, static_cast<std::uint32_t>(samples.size()) - at);
                chain->get_consumer()->on_data(audio::PCMData(liba::SharedBuffer(size, samples.data() + at), 1, 16, 8000));
            }
        }
        audio::FileReaderWAVADPCM adpcm(u"\\coded.wav");
        audio::FileReaderWAVGSM gsm(u"\\coded.wav");
        bool const is_gsm = c.key == std::u16string(audio::key_gsm);
        ASSERT_TRUE(is_gsm ? gsm.is_valid() : adpcm.is_valid());
        const audio::WAVInfo* const header = is_gsm ? gsm.get_format() : adpcm.get_format();
        EXPECT_EQ(c.blocks * c.block_align, header->data_size);
        std::uint32_t const fact = is_gsm ? static_cast<const audio::WAVInfoGSM*>(header)->fact_sample_count
                                          : static_cast<const audio::WAVInfoADPCM*>(header)->fact_sample_count;
        EXPECT_EQ(c.fact, fact);
    }
}

// Frames of an MP3 file in order: whether each is an encoder's tag frame.
std::vector<bool> info_frames_of(const std::string& bytes) {
    std::vector<bool> frames;
    auto const* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t at = 0; at + 4 <= bytes.size();) {
        audio::MP3FrameHeader header;
        if (!audio::mp3_header_parse(data + at, header)) {
            ++at;
            continue;
        }
        frames.push_back(audio::mp3_is_info_frame(data + at, static_cast<std::uint32_t>(bytes.size() - at), header));
        at += header.frame_length;
    }
    return frames;
}

void record_mp3(const std::u16string& path, bool append, std::uint32_t frames) {
    auto chain = audio::create_record_chain(path, audio::key_mp3, 2, 44100, 16, 128000, append);
    ASSERT_NE(chain, nullptr);
    std::string const samples = wav_fixture::counting_bytes(frames * 4);
    chain->get_consumer()->on_data(audio::PCMData(liba::SharedBuffer(frames * 4, samples.data()), 2, 16, 44100));
}

TEST(RecordChainFactoryTest, AnMP3RecordingStartsWithTheEncodersTagFrameAndAppendingKeepsTheFileWhole) {
    testing_support::TestDevice device;
    record_mp3(u"\\r.mp3", false, 44100);
    std::string const recorded = testing_support::read_host_file(device.host_path("r.mp3"));
    std::vector<bool> const frames = info_frames_of(recorded);
    ASSERT_GT(frames.size(), 30u);
    EXPECT_TRUE(frames[0]) << "the place LAME leaves holds its tag frame";
    EXPECT_EQ(1, std::count(frames.begin(), frames.end(), true));
    // The tag frame is not played: the reader starts with the frame after it.
    audio::FileReaderMP3 reader(u"\\r.mp3");
    ASSERT_TRUE(reader.is_valid());
    audio::MP3FrameHeader first;
    ASSERT_TRUE(audio::mp3_header_parse(reinterpret_cast<const std::uint8_t*>(recorded.data()), first));
    reader.get_data(1);
    EXPECT_EQ(2 * first.frame_length, reader.get_position());

    record_mp3(u"\\r.mp3", true, 22050);
    std::vector<bool> const after = info_frames_of(testing_support::read_host_file(device.host_path("r.mp3")));
    EXPECT_GT(after.size(), frames.size() + 15);
    EXPECT_EQ(0, std::count(after.begin(), after.end(), true)) << "an old tag would end the file at its old length";
}

// Small files of every format the engine or the WMA player reads, made at test time.
class PlayChainProbeTest : public testing_support::VirtualWaveTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(device.fs());
        ASSERT_TRUE(make("pcm.wav", "-ac 1 -ar 8000 -c:a pcm_s16le"));
        ASSERT_TRUE(make("adpcm.wav", "-ac 1 -ar 8000 -c:a adpcm_ms"));
        ASSERT_TRUE(make("gsm.wav", "-ac 1 -ar 8000 -c:a libgsm_ms"));
        ASSERT_TRUE(make("tone.ogg", "-ac 1 -ar 22050 -c:a libvorbis"));
        ASSERT_TRUE(make("tone.wma", "-ac 2 -ar 44100 -c:a wmav2"));
        testing_support::write_host_file(device.host_path("silence.mp3"), audio_test::silent_frames(40));
        testing_support::write_host_file(device.host_path("garbage.wav"), std::string(3000, '\x33'));
        have_mpc = audio_test::have_tool("mpcenc") && make("tone.wav", "-ac 2 -ar 44100 -c:a pcm_s16le") &&
                   audio_test::run_tool("mpcenc --silent " + quoted(device.host_path("tone.wav")) + " " +
                                        quoted(device.host_path("tone.mpc")));
    }

    bool make(const std::string& name, const std::string& options) {
        return audio_test::run_tool("ffmpeg -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=1 " +
                                    options + " " + quoted(device.host_path(name)));
    }

    bool have_mpc = false;
};

TEST_F(PlayChainProbeTest, EveryFormatFindsItsChain) {
    struct Case {
        const char* file;
        const char16_t* plain;       // key without bookmarks, null: no chain
        const char16_t* bookmarked;  // key with a bookmark list
    };
    Bookmarks bookmarks;
    bookmarks.insert(0, u"start", true);
    for (const Case& c : {Case{"pcm.wav", u"PCM", u"PCM"}, Case{"adpcm.wav", u"ADPCM", u"ADPCM"},
                          Case{"gsm.wav", u"GSM", u"GSM"}, Case{"tone.ogg", u"Vorbis", u"Vorbis"},
                          Case{"silence.mp3", u"mp3", u"mp3"}, Case{"tone.mpc", u"MPC", nullptr},
                          Case{"tone.wma", u"WMA", nullptr}, Case{"garbage.wav", nullptr, nullptr}}) {
        SCOPED_TRACE(c.file);
        if (std::string(c.file) == "tone.mpc" && !have_mpc) continue;
        for (const Bookmarks* list : std::initializer_list<const Bookmarks*>{nullptr, &bookmarks}) {
            const char16_t* const expected = list ? c.bookmarked : c.plain;
            std::unique_ptr<audio::PlayChain> chain = audio::create_play_chain(device_path(c.file), list);
            ASSERT_EQ(chain != nullptr, expected != nullptr) << (list ? "with bookmarks" : "plain");
            if (!chain) continue;
            EXPECT_EQ(chain->get_name(), expected);
            EXPECT_EQ(chain->get_title(), device_path(c.file).substr(1));
            EXPECT_TRUE(chain->get_reader()->is_valid());
            EXPECT_EQ(chain->is_pcm_output(), std::u16string(expected) != u"WMA");
            if (chain->is_pcm_output()) {
                EXPECT_FALSE(chain->get_provider()->get_data(100).is_empty());
            }
        }
    }
}

TEST_F(PlayChainProbeTest, TheWMAChainPassesPausingToThePlayer) {
    auto chain = audio::create_play_chain(u"\\tone.wma", nullptr);
    ASSERT_NE(chain, nullptr);
    EXPECT_FALSE(chain->get_pause_state());
    EXPECT_TRUE(chain->set_pause_state(true));
    EXPECT_TRUE(chain->get_pause_state());
    auto record = audio::create_record_chain(u"\\copy.wav", audio::key_pcm, 1, 8000, 16, 0, false);
    EXPECT_FALSE(chain->link_to_record_chain(record.get()));
}

TEST_F(PlayChainProbeTest, ChainsLinkOnlyIntoRecordChainsOfTheirFormat) {
    auto mp3 = audio::create_play_chain(u"\\silence.mp3", nullptr);
    auto adpcm = audio::create_play_chain(u"\\adpcm.wav", nullptr);
    auto ogg = audio::create_play_chain(u"\\tone.ogg", nullptr);
    ASSERT_TRUE(mp3 && adpcm && ogg);
    auto mp3_record = audio::create_record_chain(u"\\copy.mp3", audio::key_mp3, 1, 8000, 16, 32000, false);
    auto pcm_record = audio::create_record_chain(u"\\copy.wav", audio::key_pcm, 1, 8000, 16, 0, false);
    auto adpcm_record = audio::create_record_chain(u"\\copy2.wav", audio::key_adpcm, 1, 8000, 16, 0, false);
    EXPECT_FALSE(mp3->link_to_record_chain(pcm_record.get()));
    EXPECT_FALSE(adpcm->link_to_record_chain(mp3_record.get()));
    EXPECT_FALSE(ogg->link_to_record_chain(pcm_record.get()));
    EXPECT_TRUE(adpcm->link_to_record_chain(adpcm_record.get()));
    ASSERT_TRUE(mp3->link_to_record_chain(mp3_record.get()));
    // The frames now go from the reader straight into the writer.
    EXPECT_TRUE(mp3->get_reader()->read_block(417 * 3));
    EXPECT_EQ(mp3_record->get_file_writer()->get_position(), 417u * 3);
}

TEST_F(PlayChainProbeTest, AnMP3ChainIsTitledFromItsTag) {
    testing_support::write_host_file(device.host_path("tagged.mp3"), audio_test::silent_frames(10));
    testing_support::write_host_file(device.host_path("untitled.mp3"), audio_test::silent_frames(10));
    audio::Id3Tag tag;
    tag.title = u"Song";
    ASSERT_TRUE(audio::write_id3_tag(tag, u"\\tagged.mp3"));
    tag.title.clear();
    tag.artist = u"Someone";
    ASSERT_TRUE(audio::write_id3_tag(tag, u"\\untitled.mp3"));
    EXPECT_EQ(audio::create_play_chain(u"\\tagged.mp3", nullptr)->get_title(), u"Song");
    EXPECT_EQ(audio::create_play_chain(u"\\untitled.mp3", nullptr)->get_title(), u"untitled.mp3");
}

#ifdef SONBRIX_SHARED_TESTDATA
// Damaged and unusual files end in a chain or in none, never in a crash or a hang.
TEST_F(PlayChainProbeTest, SharedSampleFilesGiveAChainOrNone) {
    std::filesystem::path const folder = std::filesystem::path(SONBRIX_SHARED_TESTDATA) / "taglib";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no shared test data";
    Bookmarks bookmarks;
    bookmarks.insert(0, u"start", true);
    for (auto const& entry : std::filesystem::directory_iterator(folder)) {
        std::string const name = entry.path().filename().string();
        SCOPED_TRACE(name);
        testing_support::write_host_file(device.host_path(name), testing_support::read_host_file(entry.path().string()));
        for (const Bookmarks* list : std::initializer_list<const Bookmarks*>{nullptr, &bookmarks}) {
            std::unique_ptr<audio::PlayChain> chain = audio::create_play_chain(device_path(name), list);
            if (!chain || !chain->is_pcm_output()) continue;
            // A few pulls through the whole chain.
            for (int i = 0; i < 20 && !chain->get_provider()->get_data(4096).is_empty(); ++i) {
            }
        }
    }
}
#endif

}  // namespace
