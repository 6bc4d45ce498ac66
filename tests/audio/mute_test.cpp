#include "audio/mute.h"

#include <gtest/gtest.h>

#include "tests/audio/filter_fixture.h"

namespace {

using filter_test::bytes8;
using filter_test::pcm16;
using filter_test::pcm8;

TEST(Muter, PassesTheBlockItselfWhileNotMuted) {
    audio::Muter muter;
    audio::PCMData const in = pcm16({1, -2, 3});
    audio::PCMData const out = muter.process(in);
    EXPECT_EQ(in.buffer.get_data(), out.buffer.get_data());
    EXPECT_FALSE(muter.is_muted());
}

TEST(Muter, MutedBlocksBecomeSilenceOfTheSameSizeAndFormat) {
    audio::Muter muter;
    muter.set_muted(true);
    EXPECT_TRUE(muter.is_muted());

    audio::PCMData const stereo8 = pcm8({0, 255, 10, 200, 128, 7}, 2, 11025);
    audio::PCMData const silent8 = muter.process(stereo8);
    EXPECT_EQ(std::vector<std::uint8_t>(6, 128), bytes8(silent8));
    EXPECT_TRUE(silent8.has_format_of(stereo8));

    audio::PCMData const silent16 = muter.process(pcm16({1000, -1000, 5}));
    EXPECT_EQ((std::vector<std::int32_t>{0, 0, 0}), filter_test::values16(silent16));
    EXPECT_EQ(16u, silent16.bits_per_sample);

    muter.set_muted(false);
    EXPECT_EQ((std::vector<std::int32_t>{7}), filter_test::values16(muter.process(pcm16({7}))));
}

TEST(Muter, SilencesPushedBlocksOnTheWayDown) {
    audio::Muter muter;
    audio_test::Collector<audio::PCMData> sink;
    audio::connect<audio::PCMData>(&muter, &sink);
    muter.set_muted(true);
    muter.on_data(pcm8({1, 2, 3}));
    ASSERT_EQ(1u, sink.blocks.size());
    EXPECT_EQ(std::vector<std::uint8_t>(3, 128), bytes8(sink.blocks[0]));
}

}  // namespace
