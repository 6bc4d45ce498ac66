#include "audio/level_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/audio/filter_fixture.h"

namespace {

using audio::LevelFilter;
using audio::PCMData;
using audio_test::QueueProvider;
using filter_test::pcm16;
using filter_test::values16;

LevelFilter::Table identity_table() {
    LevelFilter::Table table{};
    for (int i = 0; i < 256; ++i) table[i] = i + 1;
    return table;
}

// Doubles every level up to full scale.
LevelFilter::Table doubling_table() {
    LevelFilter::Table table{};
    for (int i = 0; i < 256; ++i) table[i] = std::min(256, 2 * (i + 1));
    return table;
}

TEST(LevelFilterCurve, ArgumentsOutsideTheRangesChangeNothingAndZerosPassThrough) {
    LevelFilter filter;
    EXPECT_TRUE(filter.is_pass_through());
    EXPECT_EQ(identity_table(), filter.get_table());

    filter.set_curve(64, 0, 0);
    EXPECT_FALSE(filter.is_pass_through());
    LevelFilter::Table const boosted = filter.get_table();
    for (auto const& [b, n, l] : {std::array{300, 0, 0}, std::array{-257, 0, 0}, std::array{0, -1, 0},
                                  std::array{0, 257, 0}, std::array{0, 0, 257}, std::array{0, 0, -1}}) {
        filter.set_curve(b, n, l);
        EXPECT_EQ(boosted, filter.get_table()) << b << " " << n << " " << l;
        EXPECT_FALSE(filter.is_pass_through());
    }
    filter.set_curve(0, 0, 0);
    EXPECT_TRUE(filter.is_pass_through());
    EXPECT_EQ(identity_table(), filter.get_table());
}

TEST(LevelFilterCurve, BoosterBendsTheCurveAboveOrBelowTheIdentity) {
    for (int booster : {-256, -32, 32, 256}) {
        LevelFilter::Table const table = LevelFilter::build_curve(booster, 0, 0);
        EXPECT_EQ(256, table[255]) << booster;
        for (int i = 1; i < 255; ++i) {
            EXPECT_LE(table[i - 1], table[i]) << booster << " at " << i;
            if (booster > 0)
                EXPECT_GE(table[i], i + 1) << booster << " at " << i;
            else
                EXPECT_LE(table[i], i + 1) << booster << " at " << i;
        }
    }
    // Booster 32: e = 2, entry 63 = 256 x sqrt(1 - (1 - 0.25)^2) = 169.3.
    EXPECT_EQ(169, LevelFilter::build_curve(32, 0, 0)[63]);
    // Booster -32: e = 2, entry 63 = 256 - 256 x sqrt(1 - 0.25^2) = 8.2.
    EXPECT_EQ(9, LevelFilter::build_curve(-32, 0, 0)[63]);
}

TEST(LevelFilterCurve, NoiseGateAndLimiter) {
    struct Entry {
        int index;
        int value;
    };
    struct Case {
        int noise;
        int limiter;
        std::vector<Entry> entries;
    };
    Case const cases[] = {
        // Gate 64: k = 129, ref = 130; nothing below 64, a ramp up to the curve at 129.
        {64, 0, {{0, 0}, {63, 0}, {64, 0}, {65, 2}, {128, 128}, {129, 130}, {255, 256}}},
        // Gate 0 still closes the first entry (k = 1).
        {0, 1, {{0, 0}}},
        // Limiter 64: m = 144, d = 112; above m the curve rises at 48/112.
        {0, 64, {{143, 144}, {144, 145}, {200, 144 + 57 * 48 / 112 + 1}, {255, 193}}},
        // Limiter 256: m = 0, every non-zero entry becomes 1.
        {0, 256, {{0, 0}, {1, 1}, {128, 1}, {255, 1}}},
        // Gate 256: everything closed.
        {256, 0, {{0, 0}, {255, 0}}},
    };
    for (Case const& c : cases) {
        LevelFilter filter;
        filter.set_curve(0, c.noise, c.limiter);
        for (Entry const& entry : c.entries)
            EXPECT_EQ(entry.value, filter.get_table()[entry.index])
                << "noise " << c.noise << " limiter " << c.limiter << " entry " << entry.index;
    }
}

TEST(LevelFilterCurve, LookupAndGains) {
    LevelFilter filter;
    for (std::int32_t peak : {1, 127, 128, 1000, 32767, -1, -32768}) {
        EXPECT_EQ(std::abs(peak) * std::int64_t{16384}, filter.lookup(peak)) << peak;
        EXPECT_EQ(16384, filter.gain_of(peak)) << peak;
    }
    EXPECT_EQ(0, filter.gain_of(0));

    LevelFilter::Table const doubling = doubling_table();
    filter.set_table(&doubling);
    EXPECT_EQ(32768, filter.gain_of(1000));
    // Full scale is the most a positive peak can reach.
    EXPECT_EQ((std::int64_t{1} << 29) - 1, filter.lookup(32767));
    EXPECT_EQ(std::int64_t{1} << 29, filter.lookup(-32768));
}

std::vector<std::int32_t> tone(std::uint32_t frames, double hertz, double amplitude, std::uint32_t rate,
                               double phase = 0.0) {
    std::vector<std::int32_t> values;
    for (std::uint32_t i = 0; i < frames; ++i)
        values.push_back(static_cast<std::int32_t>(
            std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hertz * i / rate + phase))));
    return values;
}

void queue_in_blocks(QueueProvider<PCMData>& source, const std::vector<std::int32_t>& values, std::uint32_t block,
                     std::uint32_t rate) {
    for (std::size_t start = 0; start < values.size(); start += block)
        source.blocks.push_back(pcm16(
            std::vector<std::int32_t>(values.begin() + start, values.begin() + std::min(values.size(), start + block)),
            1, rate));
}

TEST(LevelFilter, IdentityTableRampsUpToTheFirstStrongPeakThenLeavesTheSoundAlone) {
    // A quiet tone, begun mid-wave, then a loud one whose first positive half-wave starts at
    // frame 1001 and is the first strong peak.
    std::vector<std::int32_t> input = tone(1000, 441.0, 1000.0, 22050, std::numbers::pi / 4);
    std::vector<std::int32_t> const loud = tone(4 * 22050, 441.0, 10000.0, 22050);
    input.insert(input.end(), loud.begin(), loud.end());

    QueueProvider<PCMData> source;
    queue_in_blocks(source, input, 4410, 22050);
    LevelFilter filter;
    LevelFilter::Table const identity = identity_table();
    filter.set_table(&identity);
    audio::connect<PCMData>(&source, &filter);
    std::vector<PCMData> const out = filter_test::pull_all(filter, 1024);
    for (PCMData const& block : out) EXPECT_LE(block.get_frame_count(), 1024u);
    std::vector<std::int32_t> const values = filter_test::joined_values16(out);

    ASSERT_EQ(input.size(), values.size());
    for (std::uint32_t t = 0; t < 1001; ++t) ASSERT_EQ(input[t] * static_cast<std::int64_t>(t) / 1001, values[t]) << t;
    for (std::size_t t = 1001; t < input.size(); ++t) ASSERT_EQ(input[t], values[t]) << t;
}

TEST(LevelFilter, StrongPeaksTakeTheCurvesGain) {
    QueueProvider<PCMData> source;
    std::vector<std::int32_t> const input = tone(3 * 22050, 441.0, 8000.0, 22050);
    queue_in_blocks(source, input, 2000, 22050);
    LevelFilter filter;
    LevelFilter::Table const doubling = doubling_table();
    filter.set_table(&doubling);
    audio::connect<PCMData>(&source, &filter);
    std::vector<std::int32_t> const values = filter_test::joined_values16(filter_test::pull_all(filter, 5000));
    ASSERT_EQ(input.size(), values.size());
    for (std::size_t t = 100; t < input.size(); ++t) ASSERT_EQ(2 * input[t], values[t]) << t;
}

TEST(LevelFilter, ProductsBeyondTheSampleRangeAreClamped) {
    // At 100 Hz the window is 10 frames. The half-wave from frame 25 peaks at 1000 before
    // the limit (30) and is strong; its loud end beyond the limit takes the same gain x2.
    std::vector<std::int32_t> values(40, 0);
    for (int i = 25; i < 35; ++i) values[i] = 1000;
    for (int i = 35; i < 38; ++i) values[i] = 30000;
    values[38] = values[39] = -10;
    LevelFilter filter;
    LevelFilter::Table const doubling = doubling_table();
    filter.set_table(&doubling);
    PCMData block = pcm16(values, 1, 100);
    EXPECT_EQ(38u * 2, filter.process(block, false));
    std::vector<std::int32_t> const out = values16(block);
    EXPECT_EQ(2000, out[25]);
    EXPECT_EQ(32767, out[36]);

    // 8-bit samples the same way: 30000 / 256 = 117, doubled beyond 127.
    std::vector<std::uint8_t> bytes(40, 128);
    for (int i = 25; i < 35; ++i) bytes[i] = 132;
    for (int i = 35; i < 38; ++i) bytes[i] = 245;
    bytes[38] = bytes[39] = 127;
    LevelFilter filter8;
    filter8.set_table(&doubling);
    PCMData block8 = filter_test::pcm8(bytes, 1, 100);
    filter8.process(block8, false);
    EXPECT_EQ(136, filter_test::bytes8(block8)[25]);
    EXPECT_EQ(255, filter_test::bytes8(block8)[36]);
}

TEST(LevelFilter, ClippedTopsAreRebuiltBelowFullScale) {
    std::vector<std::int32_t> const rising = {8000, 16000, 24000};
    std::vector<std::int32_t> values = {0};
    for (int sign : {1, -1}) {
        for (std::int32_t v : rising) values.push_back(sign * v);
        values.push_back(sign * 32000);
        for (auto it = rising.rbegin(); it != rising.rend(); ++it) values.push_back(sign * *it);
    }
    std::size_t const clipped_start = values.size();
    for (std::int32_t v : rising) values.push_back(v);
    for (int i = 0; i < 5; ++i) values.push_back(32767);
    for (auto it = rising.rbegin(); it != rising.rend(); ++it) values.push_back(*it);
    for (std::int32_t v : {-8000, -16000, -8000}) values.push_back(v);
    values.resize(200, 0);

    LevelFilter filter;
    LevelFilter::Table const identity = identity_table();
    filter.set_table(&identity);
    PCMData block = pcm16(values, 1, 1000);
    filter.process(block, true);
    std::vector<std::int32_t> const out = values16(block);

    // The half-waves before are left alone (gain 1 from the first sample on).
    EXPECT_EQ(std::vector<std::int32_t>(values.begin() + 1, values.begin() + clipped_start),
              std::vector<std::int32_t>(out.begin() + 1, out.begin() + clipped_start));
    // The clipped half-wave is scaled down to fit a rebuilt, peaked top: slopes 8767 on
    // either side give an estimated top of 37150 three frames in, so the scale is
    // 32767 x 16384 / 37150 = 14450 (of 16384).
    std::vector<std::int32_t> const top(out.begin() + clipped_start + 3, out.begin() + clipped_start + 8);
    EXPECT_EQ((std::vector<std::int32_t>{27609, 31476, 32764, 31476, 27609}), top);
    EXPECT_EQ(24000 * 14450 / 16384, out[clipped_start + 2]);
    EXPECT_EQ(8000 * 14450 / 16384, out[clipped_start + 10]);
}

TEST(LevelFilter, AFormatChangeKeepsTheFirstBlockOfTheNewFormat) {
    QueueProvider<PCMData> source;
    source.blocks.push_back(pcm16(tone(1000, 441.0, 9000.0, 22050), 1, 22050));
    source.blocks.push_back(pcm16(tone(1000, 441.0, 9000.0, 44100), 1, 44100));
    source.blocks.push_back(pcm16(tone(1000, 441.0, 9000.0, 44100), 1, 44100));
    LevelFilter filter;
    filter.set_curve(32, 0, 0);
    audio::connect<PCMData>(&source, &filter);
    std::uint32_t frames_at[2] = {0, 0};
    for (PCMData const& block : filter_test::pull_all(filter, 700))
        frames_at[block.sample_rate == 44100 ? 1 : 0] += block.get_frame_count();
    EXPECT_EQ(1000u, frames_at[0]);
    EXPECT_EQ(2000u, frames_at[1]);
}

TEST(LevelFilter, AFormatChangePassesOnAllTheOldInput) {
    // The old format ends in silence, which no strong peak reaches: it still comes out
    // (unchanged) before the new format, pulled or pushed.
    std::vector<std::int32_t> old_input = tone(1000, 441.0, 9000.0, 22050);
    old_input.resize(1500, 0);
    PCMData const old_block = pcm16(old_input, 1, 22050);
    PCMData const new_block = pcm16(tone(1000, 441.0, 9000.0, 44100), 1, 44100);
    for (bool const pushed : {false, true}) {
        SCOPED_TRACE(pushed ? "pushed" : "pulled");
        LevelFilter filter;
        filter.set_curve(32, 0, 0);
        std::vector<PCMData> out;
        QueueProvider<PCMData> source;
        audio_test::Collector<PCMData> sink;
        if (pushed) {
            audio::connect<PCMData>(&filter, &sink);
            filter.on_data(old_block);
            filter.on_data(new_block);
            filter.on_data(PCMData());
            out = sink.blocks;
        } else {
            source.blocks = {old_block, new_block};
            audio::connect<PCMData>(&source, &filter);
            out = filter_test::pull_all(filter, 700);
        }
        std::vector<std::int32_t> old_out;
        for (PCMData const& block : out) {
            if (block.sample_rate != 22050) continue;
            std::vector<std::int32_t> const values = values16(block);
            old_out.insert(old_out.end(), values.begin(), values.end());
        }
        ASSERT_EQ(1500u, old_out.size());
        for (std::size_t t = 1000; t < 1500; ++t) EXPECT_EQ(0, old_out[t]);
    }
}

TEST(LevelFilter, PassThroughAndFormatsItCannotWorkOnHandBlocksOnUnchanged) {
    QueueProvider<PCMData> source;
    PCMData const sixteen = pcm16({1, 2, 3});
    PCMData const twenty_four(liba::SharedBuffer(6), 1, 24, 22050);
    source.blocks = {sixteen, twenty_four, twenty_four};
    LevelFilter filter;
    audio::connect<PCMData>(&source, &filter);
    EXPECT_EQ(sixteen.buffer.get_data(), filter.get_data(100).buffer.get_data());

    filter.set_curve(0, 10, 0);
    std::vector<PCMData> const out = filter_test::pull_all(filter, 100);
    std::uint32_t bytes = 0;
    for (PCMData const& block : out) {
        EXPECT_EQ(24u, block.bits_per_sample);
        bytes += block.get_size();
    }
    EXPECT_EQ(12u, bytes);
}

TEST(LevelFilter, PushedSoundIsFlushedAtTheEndOfTheStream) {
    LevelFilter filter;
    LevelFilter::Table const doubling = doubling_table();
    filter.set_table(&doubling);
    audio_test::Collector<PCMData> sink;
    audio::connect<PCMData>(&filter, &sink);
    std::vector<std::int32_t> const input = tone(22050, 441.0, 5000.0, 22050);
    for (std::size_t start = 0; start < input.size(); start += 2205)
        filter.on_data(pcm16(std::vector<std::int32_t>(input.begin() + start, input.begin() + start + 2205)));
    filter.on_data(PCMData());
    ASSERT_FALSE(sink.blocks.empty());
    EXPECT_TRUE(sink.blocks.back().is_empty());
    std::vector<std::int32_t> const out = filter_test::joined_values16(sink.blocks);
    ASSERT_EQ(input.size(), out.size());
    for (std::size_t t = 100; t < input.size(); ++t) ASSERT_EQ(2 * input[t], out[t]) << t;
}

}  // namespace

namespace {

std::uint64_t fingerprint(const std::vector<std::int32_t>& values) {
    std::uint64_t hash = 1469598103934665603ull;
    for (std::int32_t value : values) {
        hash ^= static_cast<std::uint32_t>(value) & 0xFFFF;
        hash *= 1099511628211ull;
    }
    return hash;
}

// At 16000 Hz (a window of 1600 frames; a pass sees a little more than a second): a steady tone (strong peaks), a tone that swells for
// 1.5 s (each peak outdone by the next: no strong peak, so the one-second release), a
// fading tone (the gain walks back to a crossing before each quieter peak), and a tone
// clipped at full scale (its tops rebuilt, up to the ceiling of 1.5 x full scale).
std::vector<std::int32_t> level_journey() {
    constexpr double rate = 16000.0;
    std::vector<std::int32_t> values;
    auto add = [&](std::uint32_t frames, double hertz, double from, double to) {
        for (std::uint32_t i = 0; i < frames; ++i) {
            double const level = from + (to - from) * i / frames;
            double const v = level * std::sin(2.0 * std::numbers::pi * hertz * i / rate) + 0.07 * level * std::sin(i * 0.91);
            values.push_back(static_cast<std::int32_t>(std::clamp(std::lround(v), -32768L, 32767L)));
        }
    };
    add(8000, 760.0, 6000.0, 6000.0);
    add(24000, 840.0, 1000.0, 20000.0);
    add(8000, 680.0, 20000.0, 2500.0);
    add(8000, 600.0, 70000.0, 90000.0);
    return values;
}

// Exact output, pulled in pieces, for curves that boost, compress, gate and limit. The
// fingerprints are of the output as this filter makes it; the ramps, the release after a
// second without a strong peak and the rebuilt tops all change them. On a change, some
// samples of each stretch are shown.
TEST(LevelFilter, AJourneyThroughLevelsComesOutExactly) {
    struct Case {
        int booster, noise, limiter;
        std::uint64_t expected;
    };
    std::vector<std::int32_t> const input = level_journey();
    for (Case const c : {Case{64, 0, 0, 2826642740864773309ull}, Case{-48, 20, 0, 5112419590548620208ull},
                         Case{0, 0, 100, 3491071922017537606ull}}) {
        SCOPED_TRACE(testing::Message() << c.booster << ", " << c.noise << ", " << c.limiter);
        QueueProvider<PCMData> source;
        queue_in_blocks(source, input, 900, 16000);
        LevelFilter filter;
        filter.set_curve(c.booster, c.noise, c.limiter);
        audio::connect<PCMData>(&source, &filter);
        std::vector<std::int32_t> const out = filter_test::joined_values16(filter_test::pull_all(filter, 700));
        EXPECT_EQ(c.expected, fingerprint(out)) << [&] {
            std::string shown;
            for (std::size_t at : {4000u, 20000u, 36000u, 44000u})
                if (at + 12 <= out.size())
                    shown += testing::PrintToString(std::vector<std::int32_t>(out.begin() + at, out.begin() + at + 12)) + " ";
            return shown;
        }();
    }
}

}  // namespace

namespace {

std::uint64_t fingerprint_bytes(const std::vector<PCMData>& blocks) {
    std::uint64_t hash = 1469598103934665603ull;
    for (PCMData const& block : blocks)
        for (std::uint32_t i = 0; i < block.get_size(); ++i) {
            hash ^= block.buffer.get_data()[i];
            hash *= 1099511628211ull;
        }
    return hash;
}

// The journey on the left, the journey backwards on the right: the two channels reach
// their strong peaks at other places, so each carries its own position from pass to pass.
PCMData two_journeys(std::uint32_t bits, std::uint32_t begin, std::uint32_t end) {
    std::vector<std::int32_t> const left = level_journey();
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t i = begin; i < end; ++i)
        for (std::int32_t const value : {left[i], left[left.size() - 1 - i]}) {
            if (bits == 8) {
                bytes.push_back(static_cast<std::uint8_t>(value / 256 + 128));
                continue;
            }
            auto const sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
            bytes.push_back(static_cast<std::uint8_t>(sample & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
        }
    return PCMData(liba::SharedBuffer(static_cast<std::uint32_t>(bytes.size()), bytes.data()), 2, bits, 16000);
}

// Exact stereo and 8-bit output, pulled and pushed: the per-channel positions, the 8-bit
// scale and both ways through the stage. Fingerprints of the output as this filter makes it.
TEST(LevelFilter, StereoAndEightBitJourneysComeOutExactly) {
    struct Case {
        std::uint32_t bits;
        bool pushed;
        std::uint64_t expected;
    };
    std::uint32_t const frames = static_cast<std::uint32_t>(level_journey().size());
    for (Case const c : {Case{16, false, 16061362464619865148ull}, Case{16, true, 16061362464619865148ull},
                         Case{8, false, 16698853304068993120ull}, Case{8, true, 16698853304068993120ull}}) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << (c.pushed ? "pushed" : "pulled"));
        LevelFilter filter;
        filter.set_curve(64, 16, 64);
        std::vector<PCMData> out;
        if (c.pushed) {
            audio_test::Collector<PCMData> sink;
            audio::connect<PCMData>(&filter, &sink);
            for (std::uint32_t at = 0; at < frames; at += 1100)
                filter.on_data(two_journeys(c.bits, at, std::min(frames, at + 1100)));
            filter.on_data(PCMData());
            out = sink.blocks;
        } else {
            QueueProvider<PCMData> source;
            for (std::uint32_t at = 0; at < frames; at += 900)
                source.blocks.push_back(two_journeys(c.bits, at, std::min(frames, at + 900)));
            audio::connect<PCMData>(&source, &filter);
            out = filter_test::pull_all(filter, 700);
        }
        std::uint64_t size = 0;
        for (PCMData const& block : out) size += block.get_size();
        EXPECT_EQ(std::uint64_t{frames} * 2 * c.bits / 8, size);
        EXPECT_EQ(c.expected, fingerprint_bytes(out));
    }
}

}  // namespace
