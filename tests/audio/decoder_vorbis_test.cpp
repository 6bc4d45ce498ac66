// The Ogg Vorbis reader and decoder, on files that oggenc makes at test time (compared
// with what oggdec decodes from them) and on the shared sample files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audio/decoder_vorbis.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/audio/speech_signal.h"
#include "tests/audio/stream_helpers.h"
#include "tests/support/test_device.h"

namespace {

namespace fs = std::filesystem;
using Samples = std::vector<std::int16_t>;
using audio_test::largest_difference;
using audio_test::pull_rest;
using audio_test::quoted;

constexpr std::uint32_t rate = 44100;
constexpr std::uint32_t frames = rate * 2 + 321;

class DecoderVorbisTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        if (!audio_test::have_tool("oggenc") || !audio_test::have_tool("oggdec")) GTEST_SKIP() << "vorbis-tools missing";
        std::string const wav = device.host_path("source.wav");
        audio_test::write_wav(wav, audio_test::speech_like(frames, 2, rate), 2, rate);
        ASSERT_TRUE(audio_test::run_tool("oggenc -Q -q 3 -o " + quoted(device.host_path("a.ogg")) + " " + quoted(wav)));
        ASSERT_TRUE(audio_test::run_tool("oggdec -Q -R -b 16 -e 0 -s 1 -o " + quoted(device.host_path("ref.raw")) + " " +
                                         quoted(device.host_path("a.ogg"))));
        reference = audio_test::read_raw(device.host_path("ref.raw"));
    }

    Samples reference;
};

TEST_F(DecoderVorbisTest, AStreamDecodesAsTheReferenceDecoderDoes) {
    audio::DecoderVorbis decoder(u"\\a.ogg");
    ASSERT_TRUE(decoder.is_valid());
    EXPECT_EQ(2u, decoder.get_channels());
    EXPECT_EQ(rate, decoder.get_sample_rate());
    EXPECT_EQ(16u, decoder.get_bits_per_sample());
    EXPECT_GT(decoder.get_bit_rate(), 50000u);
    EXPECT_EQ(frames, decoder.get_size());
    EXPECT_NEAR(static_cast<double>(frames) / rate, decoder.get_duration(), 1e-9);
    EXPECT_EQ(0u, decoder.get_position());

    Samples const ours = pull_rest(decoder);
    ASSERT_EQ(reference.size(), ours.size());
    EXPECT_LE(largest_difference(ours, reference), 1);
    EXPECT_EQ(frames, decoder.get_position());
    EXPECT_TRUE(decoder.is_at_end());
    EXPECT_TRUE(decoder.get_data(100).is_empty());
    EXPECT_FALSE(decoder.read_block(10));
}

TEST_F(DecoderVorbisTest, APullGivesAtMost8192Frames) {
    audio::DecoderVorbis decoder(u"\\a.ogg");
    for (int i = 0; i < 20; ++i) {
        audio::PCMData const block = decoder.get_data(20000);
        ASSERT_FALSE(block.is_empty());
        EXPECT_LE(block.get_frame_count(), 8192u);
    }
    EXPECT_LE(decoder.get_data(10).get_frame_count(), 10u);
}

TEST_F(DecoderVorbisTest, SeekingGoesOnFromTheTarget) {
    audio::DecoderVorbis decoder(u"\\a.ogg");
    decoder.set_position(rate);
    EXPECT_EQ(rate, decoder.get_position());
    Samples const rest = pull_rest(decoder);
    ASSERT_EQ(reference.size() - rate * 2, rest.size());
    EXPECT_LE(largest_difference(rest, reference, rate * 2), 1);
    decoder.set_time(0.5);
    EXPECT_EQ(rate / 2, decoder.get_position());
}

TEST_F(DecoderVorbisTest, ReadBlockPushesTheFramesAskedFor) {
    audio::DecoderVorbis decoder(u"\\a.ogg");
    audio_test::Collector<audio::PCMData> collector;
    audio::connect<audio::PCMData>(&decoder, &collector);
    EXPECT_TRUE(decoder.read_block(10000));
    std::uint32_t pushed = 0;
    for (auto const& block : collector.blocks) pushed += block.get_frame_count();
    EXPECT_GE(pushed, 10000u);
    EXPECT_FALSE(decoder.read_duration(10.0)) << "the stream ends first";
    audio::connect<audio::PCMData>(&decoder, nullptr);
}

TEST_F(DecoderVorbisTest, AGapInTheStreamIsPassedOver) {
    // Damage a page in the middle: the decoder reports a hole there and goes on after it.
    std::string bytes = testing_support::read_host_file(device.host_path("a.ogg"));
    std::size_t const middle = bytes.find("OggS", bytes.size() / 2);
    ASSERT_NE(std::string::npos, middle);
    for (std::size_t i = middle; i < middle + 200; ++i) bytes[i] = static_cast<char>(i * 31);
    testing_support::write_host_file(device.host_path("a.ogg"), bytes);
    audio::DecoderVorbis decoder(u"\\a.ogg");
    ASSERT_TRUE(decoder.is_valid());
    Samples const ours = pull_rest(decoder);
    EXPECT_GT(ours.size(), reference.size() * 4 / 5);
}

// The offset of the first Ogg page that carries audio (its granule position is not 0).
std::size_t first_audio_page(const std::string& bytes) {
    for (std::size_t at = bytes.find("OggS"); at != std::string::npos; at = bytes.find("OggS", at + 4)) {
        if (at + 14 > bytes.size()) break;
        std::uint64_t granule = 0;
        for (int i = 7; i >= 0; --i) granule = granule << 8 | static_cast<std::uint8_t>(bytes[at + 6 + i]);
        if (granule != 0) return at;
    }
    return std::string::npos;
}

TEST_F(DecoderVorbisTest, AFileCutInsideItsFirstAudioPageOpensSafely) {
    std::string const bytes = testing_support::read_host_file(device.host_path("a.ogg"));
    std::size_t const audio_start = first_audio_page(bytes);
    ASSERT_NE(std::string::npos, audio_start);
    for (std::size_t const cut : {audio_start, audio_start + 40, audio_start + 300}) {
        SCOPED_TRACE(cut);
        testing_support::write_host_file(device.host_path("cut.ogg"), bytes.substr(0, cut));
        audio::DecoderVorbis decoder(u"\\cut.ogg");
        EXPECT_EQ(0u, decoder.get_size());
        EXPECT_TRUE(decoder.is_at_end());
        Samples const samples = pull_rest(decoder);
        EXPECT_LT(samples.size(), 8192u * 2);
        decoder.set_position(100);
        EXPECT_LE(decoder.get_bit_rate(), 1000000u);
    }
}

class VorbisFiles : public testing_support::DeviceTest {};

TEST_F(VorbisFiles, FilesThatAreNotOggVorbisAreNotValid) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case const cases[] = {{"empty", ""}, {"text", std::string(5000, 't')}, {"an Ogg page header alone", "OggS"}};
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::write_host_file(device.host_path("x.ogg"), c.bytes);
        audio::DecoderVorbis decoder(u"\\x.ogg");
        EXPECT_FALSE(decoder.is_valid());
        EXPECT_TRUE(decoder.is_at_end());
        EXPECT_EQ(0u, decoder.get_size());
        EXPECT_EQ(0u, decoder.get_sample_rate());
        EXPECT_TRUE(decoder.get_data(100).is_empty());
        EXPECT_FALSE(decoder.read_block(100));
    }
    EXPECT_FALSE(audio::DecoderVorbis(u"\\missing.ogg").is_valid());
}

TEST_F(VorbisFiles, SharedSampleFilesPlay) {
    fs::path const folder = fs::path(SONBRIX_SHARED_TESTDATA) / "taglib";
    if (!fs::is_directory(folder)) GTEST_SKIP() << folder << " is absent";
    for (const char* name : {"test.ogg", "empty.ogg"}) {
        SCOPED_TRACE(name);
        testing_support::write_host_file(device.host_path("real.ogg"),
                                         testing_support::read_host_file((folder / name).string()));
        audio::DecoderVorbis decoder(u"\\real.ogg");
        EXPECT_TRUE(decoder.is_valid());
        decoder.set_position(decoder.get_size() / 2);
        decoder.set_position(0);
        Samples const samples = pull_rest(decoder);
        EXPECT_EQ(std::size_t{decoder.get_size()} * decoder.get_channels(), samples.size());
    }
}

}  // namespace
