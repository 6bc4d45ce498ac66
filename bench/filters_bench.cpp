// The play and record filters and the meters on 44100 Hz stereo 16-bit sound: audio
// seconds of input per CPU second. The input is the same sum of tones that
// bench/compare gives sox.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "audio/equalizer.h"
#include "audio/fast_play.h"
#include "audio/level_filter.h"
#include "audio/level_meter.h"
#include "audio/mute.h"
#include "audio/record_level.h"
#include "audio/stretch_filter.h"
#include "audio/time_meter.h"

namespace {

constexpr std::uint32_t rate = 44100;
constexpr std::uint32_t block_frames = rate / 10;
constexpr std::uint32_t seconds = 10;

// 0.3 sin 220 Hz + 0.2 sin 1375 Hz + 0.1 sin 5100 Hz, swelling at 0.5 Hz; the right channel
// a quarter period of the swell later.
liba::SharedBuffer make_input() {
    std::uint32_t const frames = rate * seconds;
    std::vector<std::int16_t> samples(frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        double const t = static_cast<double>(i) / rate;
        double const tones = 0.3 * std::sin(2 * std::numbers::pi * 220 * t) +
                             0.2 * std::sin(2 * std::numbers::pi * 1375 * t) +
                             0.1 * std::sin(2 * std::numbers::pi * 5100 * t);
        for (int channel = 0; channel < 2; ++channel) {
            double const swell = 0.55 + 0.45 * std::sin(2 * std::numbers::pi * 0.5 * t + channel * std::numbers::pi / 2);
            samples[2 * i + channel] = static_cast<std::int16_t>(std::lround(32767.0 * tones * swell));
        }
    }
    return liba::SharedBuffer(static_cast<std::uint32_t>(samples.size() * 2), samples.data());
}

const liba::SharedBuffer& input() {
    static liba::SharedBuffer const sound = make_input();
    return sound;
}

// Hands out the input in blocks of a tenth of a second, round and round; counts frames.
class LoopSource : public audio::Provider<audio::PCMData> {
public:
    audio::PCMData get_data(std::uint32_t) override { return next(); }

    audio::PCMData next() {
        std::uint32_t const bytes = block_frames * 4;
        if (offset_ + bytes > input().get_size()) offset_ = 0;
        audio::PCMData block(liba::SharedBuffer(input(), offset_, bytes), 2, 16, rate);
        offset_ += bytes;
        frames += block_frames;
        return block;
    }

    std::uint64_t frames = 0;

private:
    std::uint32_t offset_ = 0;
};

void report(benchmark::State& state, std::uint64_t frames) {
    state.counters["audio_s_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(frames) / rate, benchmark::Counter::kIsRate);
}

// Pulls a second of output per iteration from the last stage.
void pull_through(benchmark::State& state, audio::Provider<audio::PCMData>& last, LoopSource& source) {
    for (auto _ : state) {
        std::uint32_t got = 0;
        while (got < rate) {
            audio::PCMData const block = last.get_data(block_frames);
            benchmark::DoNotOptimize(block.buffer.get_data());
            got += block.get_frame_count();
        }
    }
    report(state, source.frames);
}

// A second of input per iteration through a processor.
void process_through(benchmark::State& state, audio::Processor<audio::PCMData, audio::PCMData>& stage) {
    LoopSource source;
    for (auto _ : state) {
        for (std::uint32_t i = 0; i < 10; ++i) {
            audio::PCMData const out = stage.process(source.next());
            benchmark::DoNotOptimize(out.buffer.get_data());
        }
    }
    report(state, source.frames);
}

void BM_FastPlay_1_5(benchmark::State& state) {
    LoopSource source;
    audio::FastPlay fast;
    fast.set_speed(1.5);
    audio::connect<audio::PCMData>(&source, &fast);
    pull_through(state, fast, source);
}
BENCHMARK(BM_FastPlay_1_5);

void BM_Stretch_2(benchmark::State& state) {
    LoopSource source;
    audio::StretchFilter stretch;
    stretch.set_factor(2);
    audio::connect<audio::PCMData>(&source, &stretch);
    pull_through(state, stretch, source);
}
BENCHMARK(BM_Stretch_2);

void BM_Equalizer_3_bands(benchmark::State& state) {
    LoopSource source;
    audio::EqualizerPCM bands[3];
    double const hertz[3] = {100.0, 1000.0, 8000.0};
    double const gains[3] = {6.0, -4.0, 3.0};
    for (int i = 0; i < 3; ++i) {
        bands[i].set_frequency(hertz[i]);
        bands[i].set_gain(gains[i]);
        bands[i].set_bandwidth(1.0);
    }
    audio::connect<audio::PCMData>(&source, &bands[0]);
    audio::connect<audio::PCMData>(&bands[0], &bands[1]);
    audio::connect<audio::PCMData>(&bands[1], &bands[2]);
    pull_through(state, bands[2], source);
}
BENCHMARK(BM_Equalizer_3_bands);

void BM_LevelFilter_all_curves(benchmark::State& state) {
    LoopSource source;
    audio::LevelFilter level;
    level.set_curve(64, 16, 64);
    audio::connect<audio::PCMData>(&source, &level);
    pull_through(state, level, source);
}
BENCHMARK(BM_LevelFilter_all_curves);

void BM_LevelMeter(benchmark::State& state) {
    audio::LevelMeter meter;
    process_through(state, meter);
    benchmark::DoNotOptimize(meter.get_current_level());
}
BENCHMARK(BM_LevelMeter);

void BM_LevelMeterRecord(benchmark::State& state) {
    audio::LevelMeterRecord meter(5.0);
    meter.set_threshold(0.1);
    process_through(state, meter);
}
BENCHMARK(BM_LevelMeterRecord);

void BM_TimeMeter(benchmark::State& state) {
    audio::TimeMeter meter;
    process_through(state, meter);
}
BENCHMARK(BM_TimeMeter);

void BM_RecordLevel_0_75(benchmark::State& state) {
    audio::RecordLevelControl control;
    control.set_level(0.75);
    process_through(state, control);
}
BENCHMARK(BM_RecordLevel_0_75);

void BM_Mute(benchmark::State& state) {
    audio::Muter muter;
    muter.set_muted(true);
    process_through(state, muter);
}
BENCHMARK(BM_Mute);

}  // namespace
