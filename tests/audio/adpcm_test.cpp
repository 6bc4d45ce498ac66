#include "audio/encoder_adpcm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/decoder_adpcm.h"
#include "tests/audio/speech_signal.h"
#include "tests/audio/stream_helpers.h"
#include "tests/audio/wav_fixture.h"

namespace {

using audio_test::buffer_of;
using audio_test::bytes_of;
using audio_test::bytes_of_samples;
using audio_test::Collector;
using audio_test::samples_of;
using wav_fixture::le16;

audio::PCMData pcm16(const std::vector<std::int16_t>& samples, std::uint32_t channels, std::uint32_t rate) {
    return audio::PCMData(buffer_of(bytes_of_samples(samples)), channels, 16, rate);
}

// Everything the encoder emits for the samples, pushed in one piece.
std::vector<audio::ADPCMData> encode(const std::vector<std::int16_t>& samples, std::uint32_t channels,
                                     std::uint32_t rate) {
    audio::EncoderADPCM encoder;
    Collector<audio::ADPCMData> out;
    audio::connect<audio::ADPCMData>(&encoder, &out);
    encoder.on_data(pcm16(samples, channels, rate));
    return out.blocks;
}

std::vector<std::int16_t> decode(const audio::ADPCMData& blocks) {
    audio::DecoderADPCM decoder;
    return samples_of(decoder.decode(blocks));
}

// ---- Geometry --------------------------------------------------------------------------------

TEST(ADPCMEncoding, BlockGeometryFollowsTheRateAndChannels) {
    struct Case {
        std::uint32_t rate, channels, block_align, samples_per_block, bit_rate;
    };
    Case const cases[] = {
        {8000, 1, 256, 500, 32768},        {8000, 2, 512, 500, 65536},       {21999, 2, 512, 500, 180215},
        {22050, 1, 512, 1012, 89245},      {44100, 1, 1024, 2036, 177439},   {44100, 2, 2048, 2036, 354879},
        {96000, 1, 2048, 4084, 385128},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " channels");
        audio::EncoderADPCM encoder;
        Collector<audio::ADPCMData> out;
        audio::connect<audio::ADPCMData>(&encoder, &out);
        std::vector<std::int16_t> const block(std::size_t{c.samples_per_block} * c.channels, 100);
        // One frame short of a block gives nothing; the frame that completes it gives one block.
        encoder.on_data(pcm16(std::vector<std::int16_t>(block.begin(), block.end() - c.channels), c.channels, c.rate));
        EXPECT_TRUE(out.blocks.empty());
        encoder.on_data(pcm16(std::vector<std::int16_t>(c.channels, 100), c.channels, c.rate));
        ASSERT_EQ(1u, out.blocks.size());
        audio::ADPCMData const& coded = out.blocks[0];
        EXPECT_EQ(c.block_align, coded.block_align);
        EXPECT_EQ(c.block_align, coded.get_size());
        EXPECT_EQ(c.channels, coded.channels);
        EXPECT_EQ(4u, coded.bits_per_sample);
        EXPECT_EQ(c.rate, coded.sample_rate);
        EXPECT_EQ(c.bit_rate, encoder.get_bit_rate());
        EXPECT_EQ(c.samples_per_block * c.channels, decode(coded).size());
    }
}

TEST(ADPCMEncoding, OnlySixteenBitMonoOrStereoIsEncoded) {
    struct Case {
        std::uint32_t channels, bits;
    };
    for (auto const& c : {Case{1, 8}, Case{3, 16}, Case{2, 24}}) {
        audio::EncoderADPCM encoder;
        Collector<audio::ADPCMData> out;
        audio::connect<audio::ADPCMData>(&encoder, &out);
        encoder.on_data(audio::PCMData(liba::SharedBuffer(30000), c.channels, c.bits, 8000));
        EXPECT_TRUE(out.blocks.empty());
        EXPECT_EQ(0u, encoder.get_bit_rate());
    }
}

// ---- Predictor choice and block layout -------------------------------------------------------

TEST(ADPCMEncoding, EachBlockTakesThePredictorWithTheSmallestLargestError) {
    struct Case {
        const char* name;
        int (*sample)(int i);
        int predictor;
    };
    Case const cases[] = {
        // Every predictor codes silence without error: the lowest index wins the tie.
        {"silence", [](int) { return 0; }, 0},
        // Predictors 0 and 1 both repeat a constant exactly; a later one must be strictly better.
        {"constant", [](int) { return 1000; }, 0},
        // Only predictor 1 (2 x last - the one before) follows a ramp exactly.
        {"ramp", [](int i) { return -20000 + 70 * i; }, 1},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::int16_t> samples(500);
        for (int i = 0; i < 500; ++i) samples[i] = static_cast<std::int16_t>(c.sample(i));
        auto const blocks = encode(samples, 1, 8000);
        ASSERT_EQ(1u, blocks.size());
        EXPECT_EQ(c.predictor, blocks[0].buffer.get_data()[0]);
        if (c.predictor == 1) {
            EXPECT_EQ(samples, decode(blocks[0]));
        }
    }
}

TEST(ADPCMEncoding, BlockHeaderHoldsTheFirstTwoFramesLatestFirst) {
    std::vector<std::int16_t> samples(500 * 2, 0);
    samples[0] = 1111;   // first frame, left
    samples[1] = -2222;  // first frame, right
    samples[2] = 3333;   // second frame, left
    samples[3] = -4444;  // second frame, right
    auto const blocks = encode(samples, 2, 8000);
    ASSERT_EQ(1u, blocks.size());
    std::string const header = bytes_of(blocks[0].buffer).substr(0, 14);
    auto const i16 = [](int value) { return le16(static_cast<std::uint16_t>(value)); };
    std::string const predictors = header.substr(0, 2);
    EXPECT_EQ(predictors[0], predictors[1]);
    EXPECT_EQ(predictors + i16(16) + i16(16) + i16(3333) + i16(-4444) + i16(1111) + i16(-2222), header);
    std::vector<std::int16_t> const decoded = decode(blocks[0]);
    EXPECT_EQ(std::vector<std::int16_t>(samples.begin(), samples.begin() + 4),
              std::vector<std::int16_t>(decoded.begin(), decoded.begin() + 4));
}

TEST(ADPCMEncoding, StereoKeepsEachChannelApart) {
    std::uint32_t const frames = 2036 * 10;
    auto const source = audio_test::speech_like(frames, 2, 44100);
    auto const blocks = encode(source, 2, 44100);
    ASSERT_EQ(10u, blocks.size());
    std::vector<std::int16_t> decoded;
    for (auto const& block : blocks) {
        auto const part = decode(block);
        decoded.insert(decoded.end(), part.begin(), part.end());
    }
    ASSERT_EQ(source.size(), decoded.size());
    EXPECT_GT(audio_test::snr_db(source, decoded, 2, 0), 30.0);
    EXPECT_GT(audio_test::snr_db(source, decoded, 2, 1), 30.0);
}

// ---- Decoding stored blocks -------------------------------------------------------------------

// A mono block: predictor index, delta, sample 1, sample 2, then the codes.
std::string mono_block(int predictor, int delta, int sample1, int sample2, std::uint8_t codes) {
    return std::string(1, static_cast<char>(predictor)) + le16(static_cast<std::uint16_t>(delta)) +
           le16(static_cast<std::uint16_t>(sample1)) + le16(static_cast<std::uint16_t>(sample2)) +
           std::string(256 - 7, static_cast<char>(codes));
}

audio::ADPCMData mono_blocks(const std::string& bytes) { return audio::ADPCMData(buffer_of(bytes), 1, 4, 8000, 256); }

TEST(ADPCMDecoding, StepNeverFallsBelowSixteen) {
    // Code 1 shrinks the step (230 / 256) each time; held at 16, the output climbs by 16.
    auto const decoded = decode(mono_blocks(mono_block(0, 16, 0, 0, 0x11)));
    ASSERT_EQ(500u, decoded.size());
    for (int i = 2; i < 500; ++i) ASSERT_EQ(16 * (i - 1), decoded[i]) << "at " << i;
}

TEST(ADPCMDecoding, BlockWithAPredictorIndexOfSevenOrMoreIsSilentAndItsNeighboursAreNot) {
    std::string const good = mono_block(0, 16, 300, 200, 0x11);
    auto const decoded = decode(mono_blocks(good + mono_block(9, 16, 300, 200, 0x11) + good));
    ASSERT_EQ(1500u, decoded.size());
    auto const alone = decode(mono_blocks(good));
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(alone[i], decoded[i]) << "at " << i;
        ASSERT_EQ(0, decoded[500 + i]) << "at " << i;
        ASSERT_EQ(alone[i], decoded[1000 + i]) << "at " << i;
    }
    EXPECT_EQ(200, alone[0]);
    EXPECT_EQ(300, alone[1]);
}

TEST(ADPCMDecoding, DamagedBlocksDecodeWithinTheSampleRange) {
    // Code 8 triples the step each time; the samples stay clamped and nothing overflows.
    auto const decoded = decode(mono_blocks(mono_block(1, 32767, 32767, -32768, 0x88) + mono_block(0, -5, 0, 0, 0x77)));
    ASSERT_EQ(1000u, decoded.size());
    EXPECT_EQ(-32768, decoded[499]);
}

TEST(ADPCMDecoding, UnusableGeometryGivesNoSamples) {
    struct Case {
        std::uint32_t channels, bits, block_align;
    };
    for (auto const& c : {Case{0, 4, 256}, Case{1, 0, 256}, Case{2, 4, 13}}) {
        audio::DecoderADPCM decoder;
        EXPECT_TRUE(decoder.decode(audio::ADPCMData(liba::SharedBuffer(512), c.channels, c.bits, 8000, c.block_align))
                        .is_empty());
    }
    audio::DecoderADPCM decoder;
    // Codes of 2 bits would need more bytes than the block has: the block stays silent.
    auto const silent = samples_of(decoder.decode(audio::ADPCMData(buffer_of(mono_block(0, 16, 5, 5, 0x77)), 1, 2, 8000, 256)));
    EXPECT_EQ(std::vector<std::int16_t>(silent.size(), 0), silent);
}

}  // namespace

namespace {

// The encoder written out once more, step by step as the format describes it, without
// sharing code with the engine: the engine's blocks must be these bytes exactly.
class ReferenceADPCM {
public:
    ReferenceADPCM(std::uint32_t channels, std::uint32_t samples) : channels_(channels), samples_(samples) {}

    std::string encode(const std::vector<std::int16_t>& input) const {
        std::string best;
        int best_error = -1;
        for (int predictor = 0; predictor < 7; ++predictor) {
            int error = 0;
            std::string const block = encode_with(input, predictor, error);
            if (best_error < 0 || error < best_error) {
                best_error = error;
                best = block;
            }
        }
        return best;
    }

private:
    struct Channel {
        int delta = 16, sample1 = 0, sample2 = 0;
    };

    static constexpr int c1[7] = {256, 512, 0, 192, 240, 460, 392};
    static constexpr int c2[7] = {0, -256, 0, 64, 0, -208, -232};
    static constexpr int adaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

    static void put16(std::string& out, int value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    }

    int code_of(Channel& ch, int predictor, int x, int& error) const {
        int const predicted = (ch.sample1 * c1[predictor] + ch.sample2 * c2[predictor]) >> 8;
        int code = (x - predicted) / ch.delta;
        code = std::clamp(code, -8, 7);
        int const value = std::clamp(predicted + ch.delta * code, -32768, 32767);
        error = std::max(error, std::abs(value - x));
        ch.delta = std::max((adaptation[code & 15] * ch.delta) >> 8, 16);
        ch.sample2 = ch.sample1;
        ch.sample1 = value;
        return code & 15;
    }

    std::string encode_with(const std::vector<std::int16_t>& in, int predictor, int& error) const {
        std::string out;
        Channel ch[2];
        for (std::uint32_t c = 0; c < channels_; ++c) out += static_cast<char>(predictor);
        for (std::uint32_t c = 0; c < channels_; ++c) put16(out, 16);
        for (std::uint32_t c = 0; c < channels_; ++c) put16(out, ch[c].sample1 = in[channels_ + c]);
        for (std::uint32_t c = 0; c < channels_; ++c) put16(out, ch[c].sample2 = in[c]);
        if (channels_ == 1) {
            for (std::uint32_t i = 2; i < samples_; i += 2) {
                int const high = code_of(ch[0], predictor, in[i], error);
                int const low = i + 1 < samples_ ? code_of(ch[0], predictor, in[i + 1], error) : 0;
                out += static_cast<char>(high << 4 | low);
            }
        } else {
            for (std::uint32_t i = 2; i < samples_; ++i) {
                int const high = code_of(ch[0], predictor, in[2 * i], error);
                int const low = code_of(ch[1], predictor, in[2 * i + 1], error);
                out += static_cast<char>(high << 4 | low);
            }
        }
        return out;
    }

    std::uint32_t channels_;
    std::uint32_t samples_;
};

TEST(ADPCMEncoding, BlocksAreBitExactWithTheFormatsSteps) {
    struct Case {
        std::uint32_t channels, rate, samples;
    };
    // Loud speech-like sound with steps large enough for codes at both ends of -8..7.
    for (Case const c : {Case{1, 8000, 500}, Case{2, 8000, 500}, Case{1, 22050, 1012}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels at " << c.rate);
        std::vector<std::int16_t> input = audio_test::speech_like(c.samples * 3, c.channels, c.rate);
        for (std::size_t i = 0; i < input.size(); i += 37) input[i] = static_cast<std::int16_t>(i % 2 ? 32767 : -32768);
        std::vector<audio::ADPCMData> const blocks = encode(input, c.channels, c.rate);
        ASSERT_EQ(3u, blocks.size());
        ReferenceADPCM const reference(c.channels, c.samples);
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            std::vector<std::int16_t> const part(input.begin() + static_cast<std::ptrdiff_t>(b * c.samples * c.channels),
                                                 input.begin() + static_cast<std::ptrdiff_t>((b + 1) * c.samples * c.channels));
            EXPECT_EQ(reference.encode(part), bytes_of(blocks[b].buffer)) << "block " << b;
        }
    }
}

}  // namespace
