#include "audio/level_meter.h"

#include <gtest/gtest.h>

#include "audio/time_meter.h"
#include "tests/audio/filter_fixture.h"

namespace {

using filter_test::pcm16;
using filter_test::pcm8;

TEST(LevelMeterRecord, LevelIsThePositivePeakOfTheFirstChannel) {
    audio::LevelMeterRecord meter(1.0);
    meter.process(pcm16({-30000, -1, -20000}));
    EXPECT_EQ(0.0, meter.get_level());

    // Stereo: the loud second channel is not read.
    meter.process(pcm16({16384, 32767, -32768, 32767}, 2));
    EXPECT_DOUBLE_EQ(16384 / 32767.0, meter.get_level());

    meter.process(pcm8({128, 128, 128}));
    EXPECT_EQ(0.0, meter.get_level());
    meter.process(pcm8({0, 255, 128}));
    EXPECT_EQ(1.0, meter.get_level());
}

TEST(LevelMeterRecord, PassesBlocksUnchanged) {
    audio::LevelMeterRecord meter(1.0);
    audio::PCMData const in = pcm16({1, 2, 3});
    audio::PCMData const out = meter.process(in);
    EXPECT_EQ(in.buffer.get_data(), out.buffer.get_data());
    EXPECT_TRUE(out.has_format_of(in));
}

TEST(LevelMeterRecord, QuietTimeGrowsOverQuietBlocksAndRestartsAfterTheLastLoudSample) {
    audio::LevelMeterRecord meter(0.5);
    meter.set_threshold(0.1);  // 3276 in 16-bit units
    std::vector<std::int32_t> quiet(1000, 3276);
    meter.process(pcm16(quiet, 1, 1000));  // 1.0 s
    EXPECT_TRUE(meter.is_silence_too_long());

    std::vector<std::int32_t> loud_early(1000, 0);
    loud_early[800] = 3277;  // the last loud sample: 200 frames of quiet after it
    meter.process(pcm16(loud_early, 1, 1000));
    EXPECT_FALSE(meter.is_silence_too_long());

    meter.process(pcm16(std::vector<std::int32_t>(300, 0), 1, 1000));  // 0.2 + 0.3 = the limit
    EXPECT_FALSE(meter.is_silence_too_long());
    meter.process(pcm16(std::vector<std::int32_t>(1, 0), 1, 1000));
    EXPECT_TRUE(meter.is_silence_too_long());
}

// A level meter whose clock the test sets.
class SteppedLevelMeter : public audio::LevelMeter {
public:
    double time = 0.0;
    int restarts = 0;

protected:
    double read_clock() const override { return time - started_; }
    void restart_clock() override {
        started_ = time;
        ++restarts;
    }

private:
    double started_ = 0.0;
};

// 16384 frames at 22050 Hz: windows of 1470 frames, the last of 214; window w peaks at
// (w + 1) x 1000.
audio::PCMData stepped_block() {
    std::vector<std::int32_t> values(16384);
    for (std::uint32_t i = 0; i < values.size(); ++i) values[i] = static_cast<std::int32_t>(i / 1470 + 1) * 1000;
    return pcm16(values, 1, 22050);
}

TEST(LevelMeter, WindowsOfAFifteenthOfASecondFollowTheClock) {
    SteppedLevelMeter meter;
    EXPECT_EQ(0.0, meter.get_current_level());
    meter.process(stepped_block());

    struct Moment {
        double seconds;
        int window;
    };
    Moment const moments[] = {{0.0, 0}, {0.05, 0}, {0.07, 1}, {0.7, 10}, {0.74, 11}, {0.742, 11}};
    for (Moment const& moment : moments) {
        meter.time = moment.seconds;
        EXPECT_DOUBLE_EQ((moment.window + 1) * 1000 / 32768.0, meter.get_current_level()) << moment.seconds;
    }
    // 16384 / 22050 = 0.743 s: then the block has been heard.
    meter.time = 0.75;
    EXPECT_EQ(0.0, meter.get_current_level());
}

TEST(LevelMeter, QueuedBlocksAreHeardOneAfterAnother) {
    SteppedLevelMeter meter;
    meter.process(pcm16(std::vector<std::int32_t>(2205, 8192), 1, 22050));  // 0.1 s
    meter.process(pcm16(std::vector<std::int32_t>(2205, 16384), 1, 22050));
    EXPECT_EQ(1, meter.restarts);
    meter.time = 0.05;
    EXPECT_EQ(0.25, meter.get_current_level());
    meter.time = 0.15;
    EXPECT_EQ(0.5, meter.get_current_level());
}

TEST(LevelMeter, PausedTimeDoesNotCount) {
    SteppedLevelMeter meter;
    meter.process(stepped_block());
    meter.time = 0.1;  // window 1
    meter.set_paused(true);
    meter.time = 5.0;
    EXPECT_DOUBLE_EQ(2000 / 32768.0, meter.get_current_level());
    meter.set_paused(false);
    meter.time = 5.12;  // 0.22 s heard: window 3
    EXPECT_DOUBLE_EQ(4000 / 32768.0, meter.get_current_level());
}

TEST(LevelMeter, ClearForgetsTheQueueUntilTheNextBlock) {
    SteppedLevelMeter meter;
    meter.process(stepped_block());
    meter.clear();
    EXPECT_EQ(0.0, meter.get_current_level());
    meter.time = 3.0;
    meter.process(pcm8(std::vector<std::uint8_t>(100, 192), 1, 8000));
    EXPECT_EQ(2, meter.restarts);
    EXPECT_EQ(0.5, meter.get_current_level());
}

TEST(LevelMeter, EightBitSilenceReadsZeroAndBlocksPassUnchanged) {
    SteppedLevelMeter meter;
    audio::PCMData const in = pcm8(std::vector<std::uint8_t>(100, 128), 1, 8000);
    audio::PCMData const out = meter.process(in);
    EXPECT_EQ(in.buffer.get_data(), out.buffer.get_data());
    EXPECT_EQ(0.0, meter.get_current_level());
}

TEST(LevelMeter, RatesBelowFifteenStillGiveWindows) {
    SteppedLevelMeter meter;
    meter.process(pcm16({100, 200, 300, 400, 500}, 1, 10));
    meter.time = 0.25;  // one frame per window
    EXPECT_DOUBLE_EQ(400 / 32768.0, meter.get_current_level());
    meter.time = 0.35;  // window 5 lies past the last: the last window
    EXPECT_DOUBLE_EQ(500 / 32768.0, meter.get_current_level());
}

TEST(TimeMeter, CountsSecondsUntilReset) {
    audio::TimeMeter meter;
    meter.process(pcm16(std::vector<std::int32_t>(11025), 1, 22050));
    meter.process(pcm16(std::vector<std::int32_t>(8000), 2, 8000));  // 4000 stereo frames
    meter.process(audio::PCMData());                                  // no rate: nothing
    EXPECT_DOUBLE_EQ(1.0, meter.get_seconds());
    meter.reset();
    EXPECT_EQ(0.0, meter.get_seconds());
}

}  // namespace
