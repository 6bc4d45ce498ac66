#include "audio/record_level.h"

#include <gtest/gtest.h>

#include "tests/audio/filter_fixture.h"

namespace {

using filter_test::pcm16;
using filter_test::pcm8;

TEST(RecordLevel, UnityLevelSharesTheInputBuffer) {
    audio::RecordLevelControl control;
    EXPECT_EQ(0.5, control.get_level());
    audio::PCMData const in = pcm16({100, -100});
    EXPECT_EQ(in.buffer.get_data(), control.process(in).buffer.get_data());
}

struct GainCase {
    double level;
    std::int32_t sample;
    std::int32_t expected;
};

TEST(RecordLevel, SixteenBitGainTable) {
    GainCase const cases[] = {
        {1.0, 5000, 32767},     // x10, clamped
        {1.0, -5000, -32768},   // clamped below
        {0.0, 5000, 250},       // x0.05
        {0.25, 1000, 525},      // x0.525
        {0.75, -1001, -5505},   // x5.5, truncated toward zero
        {0.75, 0, 0},
    };
    for (GainCase const& c : cases) {
        audio::RecordLevelControl control;
        control.set_level(c.level);
        audio::PCMData const out = control.process(pcm16({c.sample}));
        EXPECT_EQ(std::vector<std::int32_t>{c.expected}, filter_test::values16(out))
            << "level " << c.level << " sample " << c.sample;
    }
}

TEST(RecordLevel, EightBitGainTable) {
    GainCase const cases[] = {
        {0.75, 138, 183},  // 128 + 10 x 5.5
        {1.0, 150, 255},   // clamped at 127 above the middle
        {1.0, 100, 0},     // clamped at -128
        {0.0, 228, 133},   // 100 x 0.05
        {0.75, 127, 122},  // -5.5 + 128 truncated
    };
    for (GainCase const& c : cases) {
        audio::RecordLevelControl control;
        control.set_level(c.level);
        audio::PCMData const out = control.process(pcm8({static_cast<std::uint8_t>(c.sample)}));
        EXPECT_EQ(std::vector<std::uint8_t>{static_cast<std::uint8_t>(c.expected)}, filter_test::bytes8(out))
            << "level " << c.level << " byte " << c.sample;
    }
}

TEST(RecordLevel, GainLeavesTheInputBlockUntouched) {
    audio::RecordLevelControl control;
    control.set_level(1.0);
    audio::PCMData const in = pcm16({100, 200});
    audio::PCMData const out = control.process(in);
    EXPECT_EQ((std::vector<std::int32_t>{100, 200}), filter_test::values16(in));
    EXPECT_EQ((std::vector<std::int32_t>{1000, 2000}), filter_test::values16(out));
}

class HalvingStrategy : public audio::RecordLevelControlImpl {
public:
    explicit HalvingStrategy(bool& deleted) : deleted_(deleted) {}
    ~HalvingStrategy() override { deleted_ = true; }
    double get_level() override { return 0.25; }
    void set_level(double) override {}
    void update() override {}
    bool is_hardware() override { return true; }
    bool is_supported() override { return true; }

private:
    bool& deleted_;
};

TEST(RecordLevel, AnotherStrategyReplacesTheSoftGainAndDiesWithTheStage) {
    bool deleted = false;
    {
        audio::RecordLevelControl control;
        control.set_impl(std::make_unique<HalvingStrategy>(deleted));
        EXPECT_EQ(0.25, control.get_level());
        // The base strategy passes blocks unchanged.
        audio::PCMData const in = pcm16({9});
        EXPECT_EQ(in.buffer.get_data(), control.process(in).buffer.get_data());
        EXPECT_FALSE(deleted);
    }
    EXPECT_TRUE(deleted);
}

}  // namespace
