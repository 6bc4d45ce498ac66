#include "audio/block_encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/audio/stream_helpers.h"

namespace {

using audio::GSMData;
using audio::PCMData;
using audio_test::bytes_of;
using audio_test::Collector;
using audio_test::counting_pcm16;
using audio_test::QueueProvider;

constexpr std::uint32_t block_frames = 4;

// Encodes 16-bit mono 8000 Hz PCM in blocks of 4 frames; a coded block is a copy of the
// PCM bytes, so the test can see which samples went into which block.
class CopyingEncoder : public audio::BlockEncoderPCM<GSMData> {
public:
    GSMData encode(const PCMData& block) override {
        ++encoded;
        EXPECT_EQ(block_frames, block.get_frame_count());
        return GSMData(block.buffer);
    }
    PCMData make_block(const PCMData& format) override {
        if (format.bits_per_sample != 16 || format.channels != 1 || format.sample_rate != 8000) return PCMData();
        return format.with_buffer(liba::SharedBuffer(block_frames * 2));
    }
    int encoded = 0;
};

class BlockEncoder : public ::testing::Test {
protected:
    BlockEncoder() { audio::connect(&encoder, &sink); }

    CopyingEncoder encoder;
    Collector<GSMData> sink;
};

struct Pieces {
    const char* name;
    std::vector<std::uint32_t> frames;
};

TEST_F(BlockEncoder, EmitsOneBlockForEachFullBlockGatheredFromPiecesOfAnySize) {
    const Pieces cases[] = {
        {"single frames", {1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"exact blocks", {4, 4}},
        {"uneven pieces", {3, 5, 7, 1, 2}},
        {"one large piece", {13}},
        {"less than a block", {3}},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        CopyingEncoder encoder;
        Collector<GSMData> sink;
        audio::connect(&encoder, &sink);
        std::uint32_t total = 0;
        std::string fed;
        for (std::uint32_t frames : c.frames) {
            PCMData const piece = counting_pcm16(frames, static_cast<std::int16_t>(total));
            fed += bytes_of(piece.buffer);
            total += frames;
            encoder.on_data(piece);
        }
        std::uint32_t const blocks = total / block_frames;
        EXPECT_EQ(blocks, sink.blocks.size());
        EXPECT_EQ(fed.substr(0, blocks * block_frames * 2), sink.all_bytes());
    }
}

TEST_F(BlockEncoder, TheEndOfTheStreamEncodesTheLastPartialBlockPaddedWithSilence) {
    struct Case {
        const char* name;
        std::uint32_t frames;
        std::uint32_t padding;
    };
    for (const Case& c : {Case{"nothing", 0, 0}, Case{"whole blocks", 8, 0}, Case{"one frame over", 9, 3},
                          Case{"one frame short", 7, 1}}) {
        SCOPED_TRACE(c.name);
        for (bool const by_empty_block : {true, false}) {
            CopyingEncoder encoder;
            Collector<GSMData> sink;
            audio::connect(&encoder, &sink);
            PCMData const fed = counting_pcm16(c.frames, 1);
            if (c.frames != 0) encoder.on_data(fed);
            std::uint32_t padding = c.padding;
            if (by_empty_block) encoder.on_data(PCMData());
            else padding = encoder.finish();
            EXPECT_EQ(c.padding, padding);
            EXPECT_EQ(bytes_of(fed.buffer) + std::string(c.padding * 2, '\0'), sink.all_bytes());
            EXPECT_EQ(0u, encoder.finish()) << "a second end adds nothing";
        }
    }
}

TEST_F(BlockEncoder, IgnoresABlockWhoseFormatDiffersFromTheFirst) {
    encoder.on_data(counting_pcm16(2, 0));
    encoder.on_data(counting_pcm16(2, 100, 11025));
    encoder.on_data(counting_pcm16(2, 2));

    ASSERT_EQ(1u, sink.blocks.size());
    EXPECT_EQ(bytes_of(counting_pcm16(4, 0).buffer), bytes_of(sink.blocks[0].buffer));
}

TEST_F(BlockEncoder, AFormatTheCodecRefusesProducesNothing) {
    encoder.on_data(PCMData(audio_test::buffer_of(std::string(64, 'x')), 2, 16, 8000));
    EXPECT_TRUE(sink.blocks.empty());
    EXPECT_EQ(0, encoder.encoded);
}

TEST_F(BlockEncoder, EarlierCodedBlocksKeepTheirBytesWhenTheNextBlockIsGathered) {
    encoder.on_data(counting_pcm16(4, 0));
    encoder.on_data(counting_pcm16(4, 4));

    ASSERT_EQ(2u, sink.blocks.size());
    EXPECT_EQ(bytes_of(counting_pcm16(4, 0).buffer), bytes_of(sink.blocks[0].buffer));
}

TEST(BlockEncoderPulled, GathersAFullBlockFromUpstream) {
    QueueProvider<PCMData> source;
    source.blocks = {counting_pcm16(1, 0), counting_pcm16(2, 1, 11025), counting_pcm16(2, 1), counting_pcm16(5, 3)};
    CopyingEncoder encoder;
    audio::connect(&source, &encoder);

    GSMData const first = encoder.get_data(1);
    EXPECT_EQ(bytes_of(counting_pcm16(4, 0).buffer), bytes_of(first.buffer)) << "the other rate is dropped";
    EXPECT_EQ(1u, source.requests.front()) << "a single frame fixes the format";

    source.blocks = {counting_pcm16(4, 8)};
    GSMData const second = encoder.get_data(1);
    EXPECT_EQ(bytes_of(counting_pcm16(4, 8).buffer), bytes_of(second.buffer))
        << "the frames that a pull delivered beyond the block are not kept";
    EXPECT_EQ(std::vector<std::uint32_t>({1, 3, 3, 1, 4}), source.requests) << "frames missing from the block";
}

TEST(BlockEncoderPulled, GivesAnEmptyBlockWhenUpstreamEndsBeforeTheBlockIsFull) {
    QueueProvider<PCMData> source;
    source.blocks = {counting_pcm16(1, 0), counting_pcm16(2, 1)};
    CopyingEncoder encoder;
    audio::connect(&source, &encoder);

    EXPECT_TRUE(encoder.get_data(1).is_empty());
    EXPECT_EQ(0, encoder.encoded);

    source.blocks = {counting_pcm16(1, 3)};
    EXPECT_EQ(bytes_of(counting_pcm16(4, 0).buffer), bytes_of(encoder.get_data(1).buffer))
        << "what was gathered waits for the next pull";
}

TEST(BlockEncoderPulled, GivesAnEmptyBlockForARefusedFormatOrNothingLinked) {
    QueueProvider<PCMData> source;
    source.blocks = {PCMData(audio_test::buffer_of("ab"), 1, 8, 8000)};
    CopyingEncoder encoder;
    EXPECT_TRUE(encoder.get_data(1).is_empty());

    audio::connect(&source, &encoder);
    EXPECT_TRUE(encoder.get_data(1).is_empty());
    EXPECT_EQ(0, encoder.encoded);
}

}  // namespace
