// The Musepack reader and decoder, on a file that mpcenc makes at test time (stream
// version 8), on a real version-7 file, and on damaged files, each compared with what
// mpcdec decodes.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "audio/decoder_mpc.h"
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
constexpr std::uint32_t frames = rate + 777;

// What mpcdec makes of a device file, as raw little-endian samples.
Samples reference_decode(testing_support::TestDevice& device, const std::string& name) {
    std::string const raw = device.host_path(name + ".raw");
    EXPECT_TRUE(audio_test::run_tool("mpcdec -r " + quoted(device.host_path(name)) + " " + quoted(raw) + " 2>/dev/null"));
    return audio_test::read_raw(raw);
}

class DecoderMPCTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        if (!audio_test::have_tool("mpcenc") || !audio_test::have_tool("mpcdec")) GTEST_SKIP() << "musepack-tools missing";
        std::string const wav = device.host_path("source.wav");
        audio_test::write_wav(wav, audio_test::speech_like(frames, 2, rate), 2, rate);
        ASSERT_TRUE(audio_test::run_tool("mpcenc --silent --radio " + quoted(wav) + " " + quoted(device.host_path("a.mpc"))));
        reference = reference_decode(device, "a.mpc");
    }

    Samples reference;
};

TEST_F(DecoderMPCTest, AStreamDecodesAsTheReferenceDecoderDoes) {
    audio::DecoderMPC decoder(u"\\a.mpc");
    ASSERT_TRUE(decoder.is_valid());
    EXPECT_EQ(2u, decoder.get_channels());
    EXPECT_EQ(rate, decoder.get_sample_rate());
    EXPECT_EQ(16u, decoder.get_bits_per_sample());
    EXPECT_GT(decoder.get_bit_rate(), 30000u);
    EXPECT_EQ(frames, decoder.get_size());
    Samples const ours = pull_rest(decoder);
    ASSERT_EQ(reference.size(), ours.size());
    EXPECT_LE(largest_difference(ours, reference), 1);
    EXPECT_EQ(frames, decoder.get_position());
    EXPECT_TRUE(decoder.is_at_end());
    EXPECT_TRUE(decoder.get_data(100).is_empty());
    EXPECT_FALSE(decoder.read_block(10));
}

// Sample frames in the stream's first decoded frame.
std::uint32_t first_frame_size(const std::u16string& path) {
    audio::DecoderMPC decoder(path);
    return decoder.get_data(100000).get_frame_count();
}

TEST_F(DecoderMPCTest, SmallPullsTakeTheDecodedFrameInPieces) {
    std::uint32_t const first_frame = first_frame_size(u"\\a.mpc");
    ASSERT_GT(first_frame, 200u);
    audio::DecoderMPC decoder(u"\\a.mpc");
    Samples ours;
    std::uint32_t pulled = 0;
    for (int i = 0; i < 60; ++i) {
        audio::PCMData const block = decoder.get_data(100);
        // 100 each, but a pull does not run across the end of a decoded frame.
        std::uint32_t const expected = pulled < first_frame ? std::min(100u, first_frame - pulled) : 0u;
        if (expected != 0) {
            EXPECT_EQ(expected, block.get_frame_count()) << "pull " << i;
        }
        EXPECT_LE(block.get_frame_count(), 100u);
        pulled += block.get_frame_count();
        Samples const more = audio_test::samples_of(block);
        ours.insert(ours.end(), more.begin(), more.end());
    }
    EXPECT_GE(pulled, 5000u);
    EXPECT_LE(largest_difference(ours, reference), 1);
}

TEST_F(DecoderMPCTest, SeekingSetsThePositionAtOnceAndHandsOutWhatWasDecodedFirst) {
    std::uint32_t const first_frame = first_frame_size(u"\\a.mpc");
    audio::DecoderMPC decoder(u"\\a.mpc");
    ASSERT_EQ(100u, decoder.get_data(100).get_frame_count());
    decoder.set_position(rate / 2);
    EXPECT_EQ(rate / 2, decoder.get_position());
    // The rest of the frame decoded before the seek, then the stream from the target.
    Samples const all = pull_rest(decoder);
    std::size_t const left_over = std::size_t{first_frame - 100} * 2;
    ASSERT_EQ(left_over + reference.size() - rate, all.size());
    Samples const before(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(left_over));
    Samples const after(all.begin() + static_cast<std::ptrdiff_t>(left_over), all.end());
    EXPECT_LE(largest_difference(before, reference, 200), 1);
    EXPECT_LE(largest_difference(after, reference, rate), 1);
    // Back to the start.
    decoder.set_position(0);
    EXPECT_EQ(0u, decoder.get_position());
    EXPECT_LE(largest_difference(pull_rest(decoder), reference), 1);
    EXPECT_TRUE(decoder.is_at_end());
    // Back into the middle, and on ahead of where the decoder is.
    for (std::uint32_t const target : {rate * 3 / 4, rate / 4, rate / 2}) {
        SCOPED_TRACE(target);
        decoder.set_position(target);
        EXPECT_EQ(target, decoder.get_position());
        Samples const rest = pull_rest(decoder);
        ASSERT_EQ(reference.size() - std::size_t{target} * 2, rest.size());
        EXPECT_LE(largest_difference(rest, reference, std::size_t{target} * 2), 1);
        EXPECT_TRUE(decoder.is_at_end());
    }
    decoder.set_position(0);
    ASSERT_EQ(100u, decoder.get_data(100).get_frame_count());
    decoder.set_position(rate / 2);
    Samples const ahead = pull_rest(decoder);
    ASSERT_EQ(left_over + reference.size() - rate, ahead.size());
    EXPECT_LE(largest_difference(Samples(ahead.begin() + static_cast<std::ptrdiff_t>(left_over), ahead.end()), reference,
                                 std::size_t{rate}),
              1);
}

TEST_F(DecoderMPCTest, AFileCutShortEndsWhereItsDataEnds) {
    // The header still claims the whole stream; playing and seeking reach an end that the
    // position and the size agree on. (The library refuses some cuts outright.)
    std::string const bytes = testing_support::read_host_file(device.host_path("a.mpc"));
    std::size_t cut = bytes.size() * 3 / 4;
    for (; cut > 64; cut -= 97) {
        testing_support::write_host_file(device.host_path("cut.mpc"), bytes.substr(0, cut));
        if (audio::DecoderMPC(u"\\cut.mpc").is_valid()) break;
    }
    if (cut <= 64) GTEST_SKIP() << "the library refuses every cut of this file";
    audio::DecoderMPC decoder(u"\\cut.mpc");
    EXPECT_LE(decoder.get_size(), frames);
    Samples const played = pull_rest(decoder);
    EXPECT_TRUE(decoder.is_at_end());
    decoder.set_position(decoder.get_size() - 10);
    pull_rest(decoder);
    EXPECT_TRUE(decoder.is_at_end());
}

TEST_F(DecoderMPCTest, ReadBlockPushesTheFramesAskedForAndFailsAtTheEnd) {
    audio::DecoderMPC decoder(u"\\a.mpc");
    audio_test::Collector<audio::PCMData> collector;
    audio::connect<audio::PCMData>(&decoder, &collector);
    EXPECT_TRUE(decoder.read_block(5000));
    std::uint32_t pushed = 0;
    for (auto const& block : collector.blocks) pushed += block.get_frame_count();
    EXPECT_EQ(5000u, pushed);
    EXPECT_FALSE(decoder.read_duration(5.0));
    audio::connect<audio::PCMData>(&decoder, nullptr);
}

// A stream of several blocks (a block is 64 frames of 1152 samples, about 1.7 s): two
// gliding tones, so that no stretch of it repeats and no part of it is coded as noise
// (noise comes out of the decoder's generator, whose state a seek cannot restore; see
// DecoderMPC::seek_version_8).
class LongMusepackTest : public testing_support::DeviceTest {
protected:
    static constexpr std::uint32_t block = 1152 * 64;
    static constexpr std::uint32_t long_frames = rate * 8 + 321;

    void SetUp() override {
        if (!audio_test::have_tool("mpcenc") || !audio_test::have_tool("mpcdec")) GTEST_SKIP() << "musepack-tools missing";
        Samples samples(std::size_t{long_frames} * 2);
        for (std::uint32_t i = 0; i < long_frames; ++i) {
            double const t = double(i) / rate;
            samples[2 * i] = static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * (300 * t + 40 * t * t)));
            samples[2 * i + 1] = static_cast<std::int16_t>(7000 * std::sin(2 * M_PI * (1100 * t - 30 * t * t)));
        }
        std::string const wav = device.host_path("long.wav");
        audio_test::write_wav(wav, samples, 2, rate);
        ASSERT_TRUE(audio_test::run_tool("mpcenc --silent --radio " + quoted(wav) + " " + quoted(device.host_path("long.mpc"))));
        reference = reference_decode(device, "long.mpc");
        ASSERT_EQ(std::size_t{long_frames} * 2, reference.size());
        bytes = testing_support::read_host_file(device.host_path("long.mpc"));
    }

    struct Packet {
        std::string key;
        std::size_t offset;
        std::size_t size;  // with its key and size fields
    };

    // The packets of the stream, in file order, as far as their sizes hold together.
    std::vector<Packet> packets() const {
        std::vector<Packet> found;
        std::size_t at = 4;  // after "MPCK"
        while (at + 3 <= bytes.size()) {
            std::size_t size = 0;
            std::size_t header = 2;
            unsigned char byte = 0;
            do {
                byte = static_cast<unsigned char>(bytes[at + header++]);
                size = size << 7 | (byte & 0x7Fu);
            } while ((byte & 0x80u) != 0 && at + header < bytes.size());
            if (size < header || at + size > bytes.size()) break;
            found.push_back({bytes.substr(at, 2), at, size});
            at += size;
        }
        return found;
    }

    std::vector<Packet> audio_packets() const {
        std::vector<Packet> audio;
        for (Packet const& packet : packets())
            if (packet.key == "AP") audio.push_back(packet);
        return audio;
    }

    // Seeks there and checks everything from there on against mpcdec's decoding.
    static void expect_exact_from(audio::DecoderMPC& decoder, const Samples& reference, std::uint32_t target) {
        SCOPED_TRACE(target);
        decoder.set_position(target);
        EXPECT_EQ(target, decoder.get_position());
        Samples const rest = pull_rest(decoder);
        ASSERT_EQ(reference.size() - std::size_t{target} * 2, rest.size());
        EXPECT_LE(largest_difference(rest, reference, std::size_t{target} * 2), 1);
        EXPECT_TRUE(decoder.is_at_end());
    }

    Samples reference;
    std::string bytes;
};

TEST_F(LongMusepackTest, SeekingBackAndFarAheadIsSampleExact) {
    ASSERT_GE(audio_packets().size(), 5u);
    audio::DecoderMPC decoder(u"\\long.mpc");
    ASSERT_EQ(long_frames, decoder.get_size());
    // Far ahead from the start, then back: into a block's middle, to a block's first and
    // last frames, across the first block's end, and into the first block.
    for (std::uint32_t const target : {rate * 7 + 5, rate * 5 + 4567, 3 * block, 3 * block - 1, 2 * block + 1151,
                                       block + 1, block - 1, rate / 3}) {
        expect_exact_from(decoder, reference, target);
    }
}

TEST_F(LongMusepackTest, ASeekBackDoesNotDecodeTheBlocksBeforeTheTargetsBlock) {
    // The second block's sound is damaged; a seek back into the fourth plays it exactly.
    std::vector<Packet> const audio = audio_packets();
    ASSERT_GE(audio.size(), 5u);
    Packet const& damaged = audio[1];
    for (std::size_t i = damaged.offset + damaged.size / 4; i < damaged.offset + damaged.size * 3 / 4; ++i)
        bytes[i] = static_cast<char>(bytes[i] * 7 + 13);
    testing_support::write_host_file(device.host_path("long.mpc"), bytes);
    audio::DecoderMPC decoder(u"\\long.mpc");
    decoder.set_position(rate * 7);
    pull_rest(decoder);
    expect_exact_from(decoder, reference, 3 * block + 777);
}

TEST_F(LongMusepackTest, ASeekThroughPacketsThatNeverEndInAudioEnds) {
    // From the third block on, the file holds one packet kind after another but no audio:
    // the library's walk to a later block would go on for ever; the seek gives up, and the
    // stream ends where its sound ends.
    std::vector<Packet> const audio = audio_packets();
    ASSERT_GE(audio.size(), 5u);
    for (std::size_t i = audio[2].offset; i + 3 <= bytes.size(); i += 3) bytes.replace(i, 3, "ZZ\x03");
    testing_support::write_host_file(device.host_path("long.mpc"), bytes);
    audio::DecoderMPC decoder(u"\\long.mpc");
    ASSERT_TRUE(decoder.is_valid());
    for (std::uint32_t const target : {rate * 7, 4 * block, block + 10}) {
        SCOPED_TRACE(target);
        decoder.set_position(target);
        Samples const rest = pull_rest(decoder);
        EXPECT_TRUE(decoder.is_at_end());
        EXPECT_EQ(decoder.get_size(), decoder.get_position());
        EXPECT_LE(decoder.get_size(), 2 * block);
    }
    decoder.set_position(block + 10);
    Samples const sound = pull_rest(decoder);
    EXPECT_LE(largest_difference(sound, reference, std::size_t{block + 10} * 2), 1);
}

class MusepackFiles : public testing_support::DeviceTest {};

TEST_F(MusepackFiles, FilesThatAreNotMusepackAreNotValid) {
    for (std::string const& bytes : {std::string(), std::string(3000, 'q'), std::string("MP+\x07") + std::string(20, '\0'),
                                     std::string("MPCK") + std::string(40, '\xFF')}) {
        testing_support::write_host_file(device.host_path("x.mpc"), bytes);
        audio::DecoderMPC decoder(u"\\x.mpc");
        EXPECT_FALSE(decoder.is_valid()) << bytes.size() << " bytes";
        EXPECT_TRUE(decoder.get_data(100).is_empty());
        EXPECT_FALSE(decoder.read_block(100));
        EXPECT_EQ(0u, decoder.get_size());
    }
    EXPECT_FALSE(audio::DecoderMPC(u"\\missing.mpc").is_valid());
}

TEST_F(MusepackFiles, SharedSampleFilesPlayOrAreRefusedSafely) {
    fs::path const folder = fs::path(SONBRIX_SHARED_TESTDATA) / "taglib";
    if (!fs::is_directory(folder)) GTEST_SKIP() << folder << " is absent";
    for (const char* name : {"click.mpc", "sv8_header.mpc", "segfault.mpc", "infloop.mpc", "zerodiv.mpc"}) {
        SCOPED_TRACE(name);
        testing_support::write_host_file(device.host_path("real.mpc"),
                                         testing_support::read_host_file((folder / name).string()));
        audio::DecoderMPC decoder(u"\\real.mpc");
        decoder.get_duration();
        decoder.set_position(decoder.get_size() / 2);
        decoder.set_position(0);
        Samples const samples = pull_rest(decoder);
        if (std::string(name) == "click.mpc") {
            // A real stream of version 7.
            EXPECT_TRUE(decoder.is_valid());
            if (audio_test::have_tool("mpcdec")) {
                Samples const reference = reference_decode(device, "real.mpc");
                EXPECT_EQ(reference.size(), samples.size());
                EXPECT_LE(largest_difference(samples, reference), 1);
            }
        }
    }
}

TEST(MusepackSamples, BecomeSixteenBitsRoundedHalvesToEvenAndClipped) {
    struct Case {
        float scaled;  // the sample x 32768
        std::int16_t expected;
    };
    Case const cases[] = {
        {0.0f, 0},          {0.49f, 0},         {0.5f, 0},           {1.5f, 2},       {2.5f, 2},
        {-0.5f, 0},         {-1.5f, -2},        {-2.5f, -2},         {1000.51f, 1001}, {-1000.51f, -1001},
        {32766.5f, 32766},  {32766.75f, 32767}, {32767.0f, 32767},   {40000.0f, 32767}, {-32767.5f, -32768},
        {-32768.0f, -32768}, {-90000.0f, -32768},
    };
    for (Case const c : cases) EXPECT_EQ(c.expected, audio::mpc_sample_to_16_bits(c.scaled / 32768.0f)) << c.scaled;
    EXPECT_EQ(-32768, audio::mpc_sample_to_16_bits(std::numeric_limits<float>::quiet_NaN()));
}

}  // namespace
