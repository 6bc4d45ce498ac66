#include "audio/fast_play.h"

#include <gtest/gtest.h>

#include "tests/audio/filter_fixture.h"

namespace {

using audio::PCMData;
using audio_test::Collector;
using audio_test::QueueProvider;
using filter_test::values16;

// Blocks of `frames` mono frames whose samples count on from block to block.
void queue_counting(QueueProvider<PCMData>& source, int blocks, std::uint32_t frames) {
    for (int b = 0; b < blocks; ++b)
        source.blocks.push_back(audio_test::counting_pcm16(frames, static_cast<std::int16_t>(b * frames)));
}

TEST(FastPlay, DoubleSpeedTakesEverySecondFrameAcrossBlocks) {
    QueueProvider<PCMData> source;
    queue_counting(source, 3, 1000);
    audio::FastPlay fast;
    audio::connect<PCMData>(&source, &fast);
    EXPECT_TRUE(fast.set_speed(2.0));
    EXPECT_FALSE(fast.set_speed(2.0));

    for (int b = 0; b < 3; ++b) {
        PCMData const out = fast.get_data(500);
        std::vector<std::int32_t> const values = values16(out);
        ASSERT_EQ(500u, values.size());
        EXPECT_EQ(b * 1000, values.front());
        EXPECT_EQ(b * 1000 + 998, values.back());
    }
    EXPECT_EQ(1000u, source.requests[0]);
    EXPECT_TRUE(fast.get_data(500).is_empty());
}

TEST(FastPlay, HalfSpeedRepeatsEveryFrameAndKeepsThePhase) {
    QueueProvider<PCMData> source;
    queue_counting(source, 2, 1000);
    audio::FastPlay fast;
    audio::connect<PCMData>(&source, &fast);
    fast.set_speed(0.5);

    std::vector<std::int32_t> const first = values16(fast.get_data(2000));
    ASSERT_EQ(1999u, first.size());
    for (std::size_t k = 0; k < first.size(); ++k) EXPECT_EQ(static_cast<std::int32_t>(k / 2), first[k]) << k;
    // The frame half way past the first block is taken from the second one.
    std::vector<std::int32_t> const second = values16(fast.get_data(2000));
    ASSERT_EQ(2000u, second.size());
    EXPECT_EQ((std::vector<std::int32_t>{1000, 1000, 1000, 1001, 1001}),
              std::vector<std::int32_t>(second.begin(), second.begin() + 5));
    EXPECT_EQ(1999, second.back());
}

TEST(FastPlay, BlockBoundariesDoNotShiftThePickedFrames) {
    // At 1.5 output frame k lies at input position 1.5 k whatever the blocks: the picked
    // frame stays within one frame of it, and no output frame is lost or added.
    QueueProvider<PCMData> source;
    queue_counting(source, 7, 301);
    audio::FastPlay fast;
    audio::connect<PCMData>(&source, &fast);
    fast.set_speed(1.5);
    std::vector<std::int32_t> const out = filter_test::joined_values16(filter_test::pull_all(fast, 200));
    ASSERT_EQ(static_cast<std::size_t>(7 * 301 / 1.5 + 1), out.size());
    for (std::size_t k = 0; k < out.size(); ++k) EXPECT_NEAR(k * 1.5, out[k], 0.99) << k;
}

TEST(FastPlay, SkipsWholeBlocksAtHighSpeed) {
    QueueProvider<PCMData> source;
    queue_counting(source, 4, 10);
    audio::FastPlay fast;
    audio::connect<PCMData>(&source, &fast);
    fast.set_speed(25.0);
    // Frames 0 and 25: the block 20..29 gives the second; 10..19 is skipped whole.
    std::vector<std::int32_t> const out = filter_test::joined_values16(filter_test::pull_all(fast, 1));
    EXPECT_EQ((std::vector<std::int32_t>{0, 25}), out);
}

TEST(FastPlay, SpeedZeroEndsTheStreamWithoutReadingIt) {
    QueueProvider<PCMData> source;
    queue_counting(source, 2, 100);
    audio::FastPlay fast;
    audio::connect<PCMData>(&source, &fast);
    fast.set_speed(0.0);
    PCMData const out = fast.get_data(100);
    EXPECT_TRUE(out.is_empty());
    EXPECT_EQ(0u, out.sample_rate);
    EXPECT_EQ(2u, source.blocks.size());
}

TEST(FastPlay, RefusesNegativeSpeeds) {
    audio::FastPlay fast;
    EXPECT_FALSE(fast.set_speed(-1.0));
    EXPECT_EQ(1.0, fast.get_speed());
}

TEST(FastPlay, NormalSpeedPassesBlocksThemselves) {
    QueueProvider<PCMData> source;
    queue_counting(source, 1, 10);
    PCMData const in = source.blocks.front();
    audio::FastPlay fast;
    audio::connect<PCMData>(&source, &fast);
    EXPECT_EQ(in.buffer.get_data(), fast.get_data(10).buffer.get_data());
}

TEST(FastPlay, PushedBlocksAreResampledAndTheEndPassesOn) {
    audio::FastPlay fast;
    Collector<PCMData> sink;
    audio::connect<PCMData>(&fast, &sink);
    fast.set_speed(3.0);
    fast.on_data(audio_test::counting_pcm16(2));  // frame 0; the next lies at 3
    fast.on_data(audio_test::counting_pcm16(1, 2));   // skipped whole: nothing pushed
    fast.on_data(audio_test::counting_pcm16(4, 3));   // frames 3 and 6
    fast.on_data(PCMData());
    ASSERT_EQ(3u, sink.blocks.size());
    EXPECT_EQ(std::vector<std::int32_t>{0}, values16(sink.blocks[0]));
    EXPECT_EQ((std::vector<std::int32_t>{3, 6}), values16(sink.blocks[1]));
    EXPECT_TRUE(sink.blocks[2].is_empty());
}

}  // namespace
