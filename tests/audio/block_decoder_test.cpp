#include "audio/block_decoder.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/audio/stream_helpers.h"

namespace {

using audio::ADPCMData;
using audio::PCMData;
using audio_test::Collector;
using audio_test::QueueProvider;
using audio_test::samples_of;

constexpr std::uint32_t decoded_frames = 1152;

// Turns each coded block, whatever its bytes, into 1152 frames of 16-bit mono samples
// that go on counting from block to block.
class CountingDecoder : public audio::BlockDecoderPCM<ADPCMData> {
public:
    PCMData decode(const ADPCMData&) override {
        ++decoded;
        PCMData const out = audio_test::counting_pcm16(decoded_frames, next_, 22050);
        next_ = static_cast<std::int16_t>(next_ + decoded_frames);
        return out;
    }
    std::uint32_t get_input_count(std::uint32_t frames) override { return (frames + 159) / 160; }

    int decoded = 0;

private:
    std::int16_t next_ = 0;
};

ADPCMData coded_block() { return ADPCMData(audio_test::buffer_of("coded"), 1, 4, 22050, 5); }

std::vector<std::int16_t> counting(int first, int count) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < count; ++i) samples.push_back(static_cast<std::int16_t>(first + i));
    return samples;
}

class BlockDecoder : public ::testing::Test {
protected:
    BlockDecoder() { audio::connect(&source, &decoder); }

    QueueProvider<ADPCMData> source;
    CountingDecoder decoder;
};

TEST_F(BlockDecoder, HandsOutADecodedBlockInPiecesOfTheFramesAsked) {
    source.blocks = {coded_block(), coded_block()};

    PCMData const first = decoder.get_data(1000);
    EXPECT_EQ(counting(0, 1000), samples_of(first));
    EXPECT_EQ(22050u, first.sample_rate);
    EXPECT_EQ(1, decoder.decoded);
    EXPECT_EQ(std::vector<std::uint32_t>{7}, source.requests) << "input count for 1000 frames";

    PCMData const rest = decoder.get_data(1000);
    EXPECT_EQ(counting(1000, 152), samples_of(rest)) << "the rest of the block before decoding again";
    EXPECT_EQ(1, decoder.decoded);

    EXPECT_EQ(counting(1152, 1000), samples_of(decoder.get_data(1000)));
    EXPECT_EQ(2, decoder.decoded);
}

TEST_F(BlockDecoder, GivesAnEmptyBlockWithoutFormatAtTheEndOfItsInput) {
    source.blocks = {coded_block()};
    EXPECT_EQ(decoded_frames, decoder.get_data(5000).get_frame_count());

    PCMData const end = decoder.get_data(5000);

    EXPECT_TRUE(end.is_empty());
    EXPECT_EQ(0u, end.channels + end.bits_per_sample + end.sample_rate);
}

TEST_F(BlockDecoder, PushedDecodesEachBlockAndPushesItOn) {
    Collector<PCMData> sink;
    audio::connect(&decoder, &sink);

    decoder.on_data(coded_block());
    decoder.on_data(coded_block());

    ASSERT_EQ(2u, sink.blocks.size());
    EXPECT_EQ(counting(decoded_frames, decoded_frames), samples_of(sink.blocks[1]));
}

TEST(BlockDecoderUnlinked, PulledWithNothingLinkedGivesAnEmptyBlock) {
    CountingDecoder decoder;
    EXPECT_TRUE(decoder.get_data(100).is_empty());
    EXPECT_EQ(0, decoder.decoded);
}

}  // namespace
