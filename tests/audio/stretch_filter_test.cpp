#include "audio/stretch_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/audio/filter_fixture.h"

namespace {

using audio::PCMData;
using audio_test::QueueProvider;

// `seconds` of a tone in blocks of a tenth of a second.
void queue_tone(QueueProvider<PCMData>& source, double hertz, double seconds, std::uint32_t rate,
                std::uint32_t channels, std::uint32_t bits = 16) {
    auto const frames = static_cast<std::uint32_t>(seconds * rate);
    std::vector<std::int32_t> const values = filter_test::sine(frames, hertz, 12000.0, rate, channels);
    std::uint32_t const block = rate / 10 * channels;
    for (std::size_t start = 0; start < values.size(); start += block) {
        std::vector<std::int32_t> part(values.begin() + start,
                                       values.begin() + std::min(values.size(), start + block));
        if (bits == 16) {
            source.blocks.push_back(filter_test::pcm16(part, channels, rate));
        } else {
            std::vector<std::uint8_t> bytes;
            for (std::int32_t value : part) bytes.push_back(static_cast<std::uint8_t>(value / 256 + 128));
            source.blocks.push_back(filter_test::pcm8(bytes, channels, rate));
        }
    }
}

std::vector<std::int32_t> signed_values(const std::vector<PCMData>& blocks) {
    if (blocks.empty() || blocks[0].bits_per_sample == 16) return filter_test::joined_values16(blocks);
    std::vector<std::int32_t> values;
    for (PCMData const& block : blocks)
        for (std::uint8_t byte : filter_test::bytes8(block)) values.push_back((byte - 128) * 256);
    return values;
}

struct StretchCase {
    std::uint32_t factor;
    std::uint32_t channels;
    std::uint32_t bits;
    std::uint32_t rate;
    double hertz;
};

class StretchTone : public ::testing::TestWithParam<StretchCase> {};

// The tone comes out `factor` times as long at its own pitch: as many zero crossings per
// second, and its level kept.
TEST_P(StretchTone, OutputIsFactorTimesLongerWithTheToneKept) {
    StretchCase const c = GetParam();
    QueueProvider<PCMData> source;
    queue_tone(source, c.hertz, 1.0, c.rate, c.channels, c.bits);
    audio::StretchFilter stretch;
    stretch.set_factor(c.factor);
    audio::connect<PCMData>(&source, &stretch);

    std::vector<PCMData> const out = filter_test::pull_all(stretch, 1024);
    for (PCMData const& block : out) {
        EXPECT_EQ(c.channels, block.channels);
        EXPECT_EQ(c.rate, block.sample_rate);
        EXPECT_LE(block.get_frame_count(), 1024u);
    }
    std::vector<std::int32_t> const values = signed_values(out);
    ASSERT_EQ(std::size_t{c.factor} * c.rate * c.channels, values.size());

    for (std::uint32_t channel = 0; channel < c.channels; ++channel) {
        std::vector<std::int32_t> const heard = filter_test::channel_of(values, c.channels, channel);
        // Leave out the silent lead-in before the first pitch mark and the silent tail.
        std::vector<std::int32_t> const middle(heard.begin() + heard.size() / 10, heard.end() - heard.size() / 10);
        double const seconds = static_cast<double>(middle.size()) / c.rate;
        EXPECT_NEAR(c.hertz, filter_test::downward_crossings(middle) / seconds, c.hertz * 0.03) << "channel " << channel;
        auto const [low, high] = std::minmax_element(middle.begin(), middle.end());
        EXPECT_NEAR(12000, *high, 400);
        EXPECT_NEAR(-12000, *low, 400);
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, StretchTone,
                         ::testing::Values(StretchCase{2, 1, 16, 22050, 300.0}, StretchCase{3, 1, 16, 22050, 300.0},
                                           StretchCase{2, 2, 16, 44100, 441.0}, StretchCase{3, 2, 16, 8000, 220.0},
                                           StretchCase{2, 1, 8, 11025, 250.0}),
                         [](const ::testing::TestParamInfo<StretchCase>& info) {
                             StretchCase const& c = info.param;
                             return "x" + std::to_string(c.factor) + "_" + std::to_string(c.channels) + "ch_" +
                                    std::to_string(c.bits) + "bit_" + std::to_string(c.rate) + "Hz";
                         });

TEST(StretchFilter, FactorOnePassesTheSoundThrough) {
    QueueProvider<PCMData> source;
    queue_tone(source, 300.0, 0.5, 22050, 1);
    std::vector<std::int32_t> expected;
    for (PCMData const& block : source.blocks) {
        auto const part = filter_test::values16(block);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    audio::StretchFilter stretch;
    audio::connect<PCMData>(&source, &stretch);
    EXPECT_EQ(expected, filter_test::joined_values16(filter_test::pull_all(stretch, 1000)));
}

TEST(StretchFilter, RefusesFactorsOtherThanOneToThree) {
    audio::StretchFilter stretch;
    stretch.set_factor(4);
    EXPECT_EQ(1u, stretch.get_factor());
    stretch.set_factor(3);
    stretch.set_factor(0);
    EXPECT_EQ(3u, stretch.get_factor());
}

TEST(StretchFilter, FormatsItCannotStretchPassUnchanged) {
    // 24-bit sound would otherwise gather, unconsumed, until the end of the stream.
    QueueProvider<PCMData> source;
    std::vector<std::uint8_t> bytes(3 * 6000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    PCMData const block(liba::SharedBuffer(static_cast<std::uint32_t>(bytes.size()), bytes.data()), 1, 24, 22050);
    for (int i = 0; i < 3; ++i) source.blocks.push_back(block);
    audio::StretchFilter stretch;
    stretch.set_factor(2);
    audio::connect<PCMData>(&source, &stretch);
    std::vector<PCMData> const out = filter_test::pull_all(stretch, 6000);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(bytes, filter_test::bytes8(out[0]));
    EXPECT_LT(source.blocks.size(), 3u);
}

}  // namespace

namespace {

// Stereo in which the right channel has no pitch marks (silence, or a constant level): the
// stretch must go on with the input as it comes, not gather the whole stream first.
TEST(StretchFilter, AChannelWithoutPitchMarksDoesNotHoldTheStreamBack) {
    constexpr std::uint32_t rate = 8000;
    for (std::int32_t const right : {0, 3000}) {
        for (std::uint32_t const factor : {2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "right " << right << ", factor " << factor);
            QueueProvider<PCMData> source;
            std::vector<std::int32_t> const tone = filter_test::sine(10 * rate, 220.0, 12000.0, rate);
            for (std::uint32_t start = 0; start < tone.size(); start += rate / 10) {
                std::vector<std::int32_t> values;
                for (std::uint32_t i = start; i < start + rate / 10; ++i) {
                    values.push_back(tone[i]);
                    values.push_back(right);
                }
                source.blocks.push_back(filter_test::pcm16(values, 2, rate));
            }
            audio::StretchFilter stretch;
            stretch.set_factor(factor);
            audio::connect<PCMData>(&source, &stretch);
            ASSERT_FALSE(stretch.get_data(1024).is_empty());
            EXPECT_LE(source.requests.size(), 20u) << "the first pull gathered two seconds or more";
            std::vector<PCMData> const out = filter_test::pull_all(stretch, 1024);
            std::uint32_t frames = 1024;
            for (PCMData const& block : out) frames += block.get_frame_count();
            EXPECT_EQ(factor * 10 * rate, frames);
            std::vector<std::int32_t> const values = filter_test::joined_values16(out);
            // The right channel keeps its level (after the first cut of the first pull).
            std::vector<std::int32_t> const right_out = filter_test::channel_of(values, 2, 1);
            for (std::size_t i = 0; i + 2 * rate < right_out.size(); ++i) ASSERT_EQ(right, right_out[i]) << i;
            audio::connect<PCMData>(&source, nullptr);
        }
    }
}

}  // namespace

namespace {

// A sound without a period: three tones at unrelated frequencies whose levels wander, and
// a slow drift, so that marks, their peaks and the chosen cuts all differ along the way.
std::vector<std::int32_t> wandering_sound(std::uint32_t frames, std::uint32_t rate, std::uint32_t channel) {
    std::vector<std::int32_t> values;
    for (std::uint32_t i = 0; i < frames; ++i) {
        double const t = static_cast<double>(i) / rate;
        double const level = 0.6 + 0.4 * std::sin(2.0 * std::numbers::pi * (0.7 + channel) * t);
        double const v = 9000.0 * level * std::sin(2.0 * std::numbers::pi * 173.0 * t) +
                         4000.0 * std::sin(2.0 * std::numbers::pi * 311.7 * t + channel) +
                         2500.0 * std::sin(2.0 * std::numbers::pi * 57.3 * t * t) + 700.0 * std::sin(i * 0.013) +
                         5000.0 * (1.0 - level) * std::sin(2.0 * std::numbers::pi * 497.0 * t);
        values.push_back(static_cast<std::int32_t>(std::lround(v)));
    }
    return values;
}

std::uint64_t fingerprint(const std::vector<std::int32_t>& values) {
    std::uint64_t hash = 1469598103934665603ull;
    for (std::int32_t value : values) {
        hash ^= static_cast<std::uint32_t>(value) & 0xFFFF;
        hash *= 1099511628211ull;
    }
    return hash;
}

// Exact output for a sound at a small rate (marks at least 10 frames from a larger sample,
// strong ones 30, a hold-back of 600 frames), pulled in pieces so that the filter works in
// several passes. The fingerprints are of the output as this filter makes it; each of the
// stretch's choices (the cross-fades, the hold-back, which marks are cut and how near a
// larger sample may lie) changes them. On a change, the first samples are shown.
TEST(StretchFilter, AWanderingSoundAtASmallRateComesOutExactly) {
    struct Case {
        std::uint32_t factor;
        std::uint32_t channels;
        std::uint64_t expected;
    };
    constexpr std::uint32_t rate = 6000;
    for (Case const c : {Case{2, 1, 18201623391382942677ull}, Case{3, 1, 17450443045796034524ull},
                         Case{2, 2, 12462712269792249662ull}, Case{3, 2, 9708769324578926492ull}}) {
        SCOPED_TRACE(testing::Message() << "factor " << c.factor << ", " << c.channels << " channels");
        std::vector<std::int32_t> interleaved;
        std::vector<std::int32_t> const left = wandering_sound(2 * rate, rate, 0);
        std::vector<std::int32_t> const right = wandering_sound(2 * rate, rate, 1);
        for (std::size_t i = 0; i < left.size(); ++i) {
            interleaved.push_back(left[i]);
            if (c.channels == 2) interleaved.push_back(right[i]);
        }
        QueueProvider<PCMData> source;
        for (std::size_t at = 0; at < interleaved.size(); at += 700 * c.channels)
            source.blocks.push_back(filter_test::pcm16(
                std::vector<std::int32_t>(interleaved.begin() + static_cast<std::ptrdiff_t>(at),
                                          interleaved.begin() + static_cast<std::ptrdiff_t>(std::min(interleaved.size(), at + 700 * c.channels))),
                c.channels, rate));
        audio::StretchFilter stretch;
        stretch.set_factor(c.factor);
        audio::connect<PCMData>(&source, &stretch);
        std::vector<std::int32_t> const out = filter_test::joined_values16(filter_test::pull_all(stretch, 1000));
        EXPECT_EQ(interleaved.size() * c.factor, out.size());
        EXPECT_EQ(c.expected, fingerprint(out)) << testing::PrintToString(std::vector<std::int32_t>(
                                                     out.begin() + 2000, out.begin() + std::min<std::size_t>(out.size(), 2040)));
        audio::connect<PCMData>(&source, nullptr);
    }
}

}  // namespace
