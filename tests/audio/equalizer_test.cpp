#include "audio/equalizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "tests/audio/filter_fixture.h"

namespace {

using audio::PCMData;
using filter_test::pcm16;
using filter_test::sine;
using filter_test::values16;

audio::EqualizerPCM* make_band(audio::EqualizerPCM& band, double hertz, double decibels, double octaves = 1.0) {
    band.set_frequency(hertz);
    band.set_gain(decibels);
    band.set_bandwidth(octaves);
    return &band;
}

// The band's output for the values in blocks of `block` frames, followed by enough
// silence to bring out the delayed end.
std::vector<std::int32_t> run_band(audio::EqualizerPCM& band, const std::vector<std::int32_t>& values,
                                   std::uint32_t block, std::uint32_t rate = 22050, std::uint32_t channels = 1) {
    std::vector<std::int32_t> padded = values;
    padded.resize(values.size() + rate / 10 * channels, 0);
    std::vector<std::int32_t> out;
    for (std::size_t start = 0; start < padded.size(); start += block * channels) {
        std::vector<std::int32_t> part(padded.begin() + start,
                                       padded.begin() + std::min(padded.size(), start + block * channels));
        PCMData const in = pcm16(part, channels, rate);
        PCMData const result = band.process(in);
        EXPECT_TRUE(result.has_format_of(in));
        EXPECT_EQ(in.get_size(), result.get_size());
        auto const got = values16(result);
        out.insert(out.end(), got.begin(), got.end());
    }
    return out;
}

double peak_of(const std::vector<std::int32_t>& values, std::size_t from, std::size_t to) {
    std::int32_t peak = 0;
    for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(values[i]));
    return peak;
}

TEST(Equalizer, WhenTheBandPassesTheSoundUnchanged) {
    struct Case {
        double hertz;
        double decibels;
        bool passes;
    };
    Case const cases[] = {
        {11000.0, 6.0, true},   // at or above rate x 100 / 201 = 10970.1: off
        {10971.0, 6.0, true},
        {10970.0, 6.0, false},
        {10000.0, 6.0, false},
        {1000.0, 0.0, true},    // no gain: nothing to do, no delay
        {1000.0, -3.0, false},
    };
    for (Case const& c : cases) {
        audio::EqualizerPCM band;
        make_band(band, c.hertz, c.decibels);
        PCMData const in = pcm16(sine(4410, 1000.0, 8000.0, 22050));
        PCMData const out = band.process(in);
        EXPECT_EQ(c.passes, in.buffer.get_data() == out.buffer.get_data()) << c.hertz << " Hz " << c.decibels << " dB";
        if (!c.passes) {
            std::vector<std::int32_t> const values = values16(out);
            EXPECT_EQ(0.0, peak_of(values, 0, 2205)) << c.hertz;
            EXPECT_LT(0.0, peak_of(values, 2205, 4410)) << c.hertz;
        }
    }
}

TEST(Equalizer, DelaysByATenthOfASecondWhateverTheBlockSizes) {
    std::vector<std::int32_t> input(3000, 0);
    input[0] = 8000;
    input[1500] = -8000;
    audio::EqualizerPCM whole_band;
    make_band(whole_band, 2000.0, 4.0);
    std::vector<std::int32_t> const whole = run_band(whole_band, input, 10000);
    ASSERT_EQ(input.size() + 2205, whole.size());
    EXPECT_EQ(0.0, peak_of(whole, 0, 2205));
    EXPECT_NE(0, whole[2205]);  // the impulse, b0 x 8000

    for (std::uint32_t block : {1u, 441u, 1000u, 2205u, 4000u}) {
        audio::EqualizerPCM band;
        make_band(band, 2000.0, 4.0);
        EXPECT_EQ(whole, run_band(band, input, block)) << "blocks of " << block;
    }
}

TEST(Equalizer, GainAtTheCentreFrequency) {
    struct Case {
        double centre;
        double decibels;
        double tone;
        double expected_ratio;
    };
    Case const cases[] = {
        {1000.0, 6.0, 1000.0, std::pow(10.0, 6.0 / 20)},
        {1000.0, -6.0, 1000.0, std::pow(10.0, -6.0 / 20)},
        {3000.0, 12.0, 3000.0, std::pow(10.0, 12.0 / 20)},
        {5000.0, 12.0, 100.0, 1.0},  // far below the band
    };
    for (Case const& c : cases) {
        audio::EqualizerPCM band;
        make_band(band, c.centre, c.decibels);
        std::vector<std::int32_t> const out = run_band(band, sine(22050, c.tone, 4000.0, 22050), 2205);
        // After the delay and the filter's settling.
        double const peak = peak_of(out, 2205 + 4410, 22050);
        EXPECT_NEAR(c.expected_ratio, peak / 4000.0, c.expected_ratio * 0.03) << c.centre << " Hz " << c.decibels;
    }
}

TEST(Equalizer, BoostedFullScaleSineIsLimitedWithoutWrapping) {
    audio::EqualizerPCM band;
    make_band(band, 1000.0, 6.0);
    std::vector<std::int32_t> const input = sine(22050, 1000.0, 32767.0, 22050);
    std::vector<std::int32_t> const out = run_band(band, input, 2205);
    std::vector<std::int32_t> const settled(out.begin() + 2205 + 2205, out.begin() + 2205 + 22050);
    EXPECT_EQ(32767, *std::max_element(settled.begin(), settled.end()));
    EXPECT_EQ(-32768, *std::min_element(settled.begin(), settled.end()));
    // A wrapped sample would flip sign in the middle of a half-wave.
    std::vector<std::int32_t> const settled_input(input.begin() + 2205, input.end());
    EXPECT_NEAR(filter_test::downward_crossings(settled_input), filter_test::downward_crossings(settled), 1);
}

TEST(Equalizer, LimiterThresholds) {
    // A cut so small that the filter itself leaves the samples as they are.
    audio::EqualizerPCM band;
    make_band(band, 1000.0, -0.0001);
    struct Case {
        std::int32_t peak;
        std::int32_t expected;
    };
    Case const cases[] = {
        {24000, 24000},     // below 0.75 of full scale: untouched
        {-29491, -27034},   // 0.9: half way down to 0.75
        {32767, 28671},     // just below full scale: 0.875
        {-32768, -28672},   // full scale: 0.875
    };
    // Half-waves of three samples, each of the opposite sign of the one before.
    std::vector<std::int32_t> input;
    for (Case const& c : cases)
        for (std::int32_t value : {c.peak / 2, c.peak, c.peak / 2}) input.push_back(value);
    for (std::int32_t value : {100, -100, 100}) input.push_back(value);
    std::vector<std::int32_t> const out = run_band(band, input, 4410);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_NEAR(cases[i].expected, out[2205 + 3 * i + 1], 2) << cases[i].peak;
}

TEST(Equalizer, ARateChangeStartsAgainFromSilence) {
    audio::EqualizerPCM band;
    make_band(band, 1000.0, 6.0);
    band.process(pcm16(std::vector<std::int32_t>(4410, 5000), 1, 22050));
    std::vector<std::int32_t> const out = values16(band.process(pcm16(std::vector<std::int32_t>(8820, 0), 2, 44100)));
    // The old rate's tail does not come out; the new window begins with 4410 silent frames.
    EXPECT_EQ(std::vector<std::int32_t>(8820, 0), out);
}

TEST(Equalizer, EightBitStereoIsDelayedWithUnsignedSilence) {
    audio::EqualizerPCM band;
    make_band(band, 1000.0, 3.0);
    std::vector<std::uint8_t> const bytes(2 * 1000, 200);
    PCMData const out = band.process(filter_test::pcm8(bytes, 2, 8000));
    std::vector<std::uint8_t> const got = filter_test::bytes8(out);
    ASSERT_EQ(bytes.size(), got.size());
    EXPECT_EQ(std::vector<std::uint8_t>(2 * 800, 128), std::vector<std::uint8_t>(got.begin(), got.begin() + 1600));
    EXPECT_NE(128, got[1600]);
    EXPECT_NE(128, got[1601]);
}

}  // namespace

namespace {

// |H| of the band's peaking section at a tone, from the design's formulas in floating point.
double response(double centre, double decibels, double octaves, double tone, double rate) {
    double const a = std::pow(10.0, decibels / 40.0);
    double const w0 = 2.0 * std::numbers::pi * centre / rate;
    double const alpha = std::sin(w0) * std::sinh(std::log(2.0) / 2.0 * octaves);
    double const a0 = 1.0 + alpha / a;
    double const b0 = (1.0 + alpha * a) / a0, b1 = -2.0 * std::cos(w0) / a0, b2 = (1.0 - alpha * a) / a0;
    double const a1 = b1, a2 = (1.0 - alpha / a) / a0;
    std::complex<double> const z = std::polar(1.0, -2.0 * std::numbers::pi * tone / rate);
    return std::abs((b0 + b1 * z + b2 * z * z) / (1.0 + a1 * z + a2 * z * z));
}

TEST(Equalizer, TheBandwidthSetsTheGainAroundTheCentre) {
    struct Case {
        double octaves;
        double tone;
    };
    for (Case const c : {Case{1.0, 1414.0}, Case{1.0, 707.0}, Case{2.0, 2000.0}, Case{0.5, 1190.0}, Case{3.0, 350.0}}) {
        SCOPED_TRACE(testing::Message() << c.octaves << " octaves, " << c.tone << " Hz");
        audio::EqualizerPCM band;
        make_band(band, 1000.0, 12.0, c.octaves);
        std::vector<std::int32_t> const out = run_band(band, sine(22050, c.tone, 4000.0, 22050), 2205);
        double const peak = peak_of(out, 2205 + 4410, 22050);
        double const expected = response(1000.0, 12.0, c.octaves, c.tone, 22050.0);
        EXPECT_NEAR(expected, peak / 4000.0, expected * 0.01);
    }
}

TEST(Equalizer, AHalfWaveAboveFullScaleIsScaledWholeNotClipped) {
    // Boosted twice over, every half-wave's peak lies near twice full scale: the limiter
    // scales each half-wave down whole, so only its top reaches full scale.
    audio::EqualizerPCM band;
    make_band(band, 1000.0, 6.0);
    std::vector<std::int32_t> const out = run_band(band, sine(22050, 1000.0, 32767.0, 22050), 2205);
    std::vector<std::int32_t> const settled(out.begin() + 2205 + 4410, out.begin() + 2205 + 22050);
    std::size_t const at_full_scale = static_cast<std::size_t>(std::count_if(
        settled.begin(), settled.end(), [](std::int32_t v) { return v >= 32700 || v <= -32700; }));
    std::size_t const half_waves = 2 * filter_test::downward_crossings(settled);
    EXPECT_LE(at_full_scale, 2 * half_waves + 2);
    // A sample a quarter of the way up a half-wave stays about a quarter of the way up.
    std::size_t quarter = 0;
    for (std::int32_t v : settled) quarter += std::abs(v) > 9000 && std::abs(v) < 20000;
    EXPECT_GE(quarter, half_waves);
}

}  // namespace
