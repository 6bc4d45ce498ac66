// The MP3 encoder: when it encodes, which blocks it takes, how it reads 8-bit sound, and
// that a recording ends with its last samples (checked with an independent decoder).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "audio/encoder_mp3.h"
#include "audio/file_writer_mp3.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/audio/speech_signal.h"
#include "tests/audio/stream_helpers.h"
#include "tests/support/test_device.h"

namespace {

using Collector = audio_test::Collector<audio::MP3Data>;
using Samples = std::vector<std::int16_t>;

audio::PCMData pcm(const std::string& bytes, std::uint32_t channels, std::uint32_t bits, std::uint32_t rate = 44100) {
    return audio::PCMData(audio_test::buffer_of(bytes), channels, bits, rate);
}

// What the encoder pushes for these blocks, the encoder's last frames included.
std::string encode_all(const std::vector<audio::PCMData>& blocks, std::size_t* pushes_before_end = nullptr) {
    Collector collector;
    {
        audio::EncoderMP3 encoder(128000);
        audio::connect<audio::MP3Data>(&encoder, &collector);
        for (auto const& block : blocks) encoder.on_data(block);
        if (pushes_before_end != nullptr) *pushes_before_end = collector.blocks.size();
    }
    std::string bytes;
    for (auto const& block : collector.blocks) bytes += audio_test::bytes_of(block.buffer).substr(0, block.frame_length);
    return bytes;
}

TEST(EncoderMP3, TheEncoderIsCalledForEachWholeFrameOfPCM) {
    // 1152 frames of 16-bit stereo are 4608 bytes.
    Collector collector;
    audio::EncoderMP3 encoder(128000);
    audio::connect<audio::MP3Data>(&encoder, &collector);
    encoder.on_data(pcm(std::string(4000, '\0'), 2, 16));
    EXPECT_EQ(0u, collector.blocks.size());
    encoder.on_data(pcm(std::string(1000, '\0'), 2, 16));
    EXPECT_EQ(1u, collector.blocks.size());
    encoder.on_data(pcm(std::string(4608 * 3, '\0'), 2, 16));
    EXPECT_EQ(4u, collector.blocks.size());
    for (auto const& block : collector.blocks) EXPECT_EQ(block.get_size(), block.frame_length);
    EXPECT_EQ(128000u, encoder.get_bit_rate());
    EXPECT_TRUE(encoder.get_data(100).is_empty());
    audio::connect<audio::MP3Data>(&encoder, nullptr);
}

TEST(EncoderMP3, BlocksItCannotEncodeAreIgnored) {
    std::string const bytes(4608 * 2, '\1');
    std::vector<audio::PCMData> const refused = {
        pcm(bytes, 3, 16), pcm(bytes, 0, 16), pcm(bytes, 2, 0), pcm(bytes, 2, 24),
        pcm(bytes, 2, 32), pcm(bytes, 2, 16, 0), pcm("", 2, 16),
    };
    std::size_t pushed = 0;
    EXPECT_EQ("", encode_all(refused, &pushed));
    EXPECT_EQ(0u, pushed);
}

TEST(EncoderMP3, EightBitSamplesEncodeAsTheirSixteenBitValues) {
    // 8-bit x is (x - 128) x 256: 128 is silence, 0 is -32768, 255 is 32512.
    for (std::uint32_t channels : {1u, 2u}) {
        SCOPED_TRACE(channels);
        std::string eight;
        Samples sixteen;
        for (int i = 0; i < 44100; ++i) {
            // A loud ramp through every value, then silence.
            int const x = i < 22050 ? (i * 3 + static_cast<int>(channels)) % 256 : 128;
            for (std::uint32_t c = 0; c < channels; ++c) {
                int const value = c == 0 ? x : 255 - x;
                eight += static_cast<char>(value);
                sixteen.push_back(static_cast<std::int16_t>((value - 128) * 256));
            }
        }
        std::string const from_eight = encode_all({pcm(eight, channels, 8)});
        std::string const from_sixteen = encode_all({pcm(audio_test::bytes_of_samples(sixteen), channels, 16)});
        ASSERT_FALSE(from_eight.empty());
        EXPECT_EQ(from_sixteen, from_eight);
    }
}

TEST(EncoderMP3, AFormatChangeEndsTheOldStreamWithItsLastFrames) {
    std::size_t pushed = 0;
    std::string const both = encode_all({pcm(std::string(4000, '\0'), 2, 16), pcm(std::string(4000, '\0'), 1, 16, 22050)},
                                        &pushed);
    // The first stream's 1000 sample frames were encoded and flushed when the second came.
    EXPECT_GE(pushed, 2u);
    EXPECT_GT(both.size(), encode_all({pcm(std::string(4000, '\0'), 1, 16, 22050)}).size());
}

class MP3Recording : public testing_support::DeviceTest {};

// Least-squares alignment of decoded sound against its source (mono).
std::ptrdiff_t align(const Samples& source, const Samples& decoded, std::ptrdiff_t max_shift) {
    std::ptrdiff_t best = 0;
    double best_error = -1.0;
    std::size_t const from = 11025;
    for (std::ptrdiff_t shift = 0; shift <= max_shift; ++shift) {
        double error = 0.0;
        for (std::size_t i = from; i < from + 4000 && i + static_cast<std::size_t>(shift) < decoded.size(); ++i) {
            double const d = static_cast<double>(source[i]) - decoded[i + static_cast<std::size_t>(shift)];
            error += d * d;
        }
        if (best_error < 0.0 || error < best_error) {
            best_error = error;
            best = shift;
        }
    }
    return best;
}

TEST_F(MP3Recording, ARecordingEndsWithItsLastSamplesWhenDecodedElsewhere) {
    if (!audio_test::have_tool("mpg123")) GTEST_SKIP() << "mpg123 missing";
    // Not a whole number of encoder frames, pushed in recorder-sized blocks.
    std::uint32_t const rate = 22050;
    Samples const source = audio_test::speech_like(rate + 1234, 1, rate);
    {
        audio::FileWriterMP3 writer(u"\\rec.mp3", false);
        auto encoder = std::make_unique<audio::EncoderMP3>(64000);
        audio::connect<audio::MP3Data>(encoder.get(), &writer);
        std::string const bytes = audio_test::bytes_of_samples(source);
        for (std::size_t at = 0; at < bytes.size(); at += 4410)
            encoder->on_data(pcm(bytes.substr(at, 4410), 1, 16, rate));
        // As the record chain does: the encoder goes first, the writer still linked.
        encoder.reset();
    }
    std::string const raw = device.host_path("rec.raw");
    ASSERT_TRUE(audio_test::run_tool("mpg123 -q -s " + audio_test::quoted(device.host_path("rec.mp3")) + " > " +
                                     audio_test::quoted(raw)));
    Samples const decoded = audio_test::read_raw(raw);
    std::ptrdiff_t const shift = align(source, decoded, 4000);
    ASSERT_GE(decoded.size(), source.size() + static_cast<std::size_t>(shift)) << "the end was lost";
    // The last tenth of a second is there and sounds like the source.
    Samples const tail_source(source.end() - rate / 10, source.end());
    Samples const tail_decoded(decoded.begin() + shift + static_cast<std::ptrdiff_t>(source.size() - rate / 10),
                               decoded.begin() + shift + static_cast<std::ptrdiff_t>(source.size()));
    EXPECT_GT(audio_test::snr_db(tail_source, tail_decoded), 10.0);
}

}  // namespace
