#include "audio/level_filter.h"

#include <cmath>
#include <cstdlib>
#include <mutex>

#include "audio/stream_filter.h"

namespace audio {

namespace {

constexpr std::uint32_t pull_frames = 5000;
constexpr std::uint32_t gather_bytes = 32000;  // more input than this is worked on

bool can_process(const PCMData& block) {
    return (block.bits_per_sample == 8 || block.bits_per_sample == 16) && block.channels >= 1 &&
           block.channels <= 2 && block.sample_rate >= 1;
}

}  // namespace

LevelFilter::LevelFilter() { set_table(nullptr); }

LevelFilter::Table LevelFilter::build_curve(int booster, int noise, int limiter) {
    Table table{};
    for (int x = 1; x <= 256; ++x) {
        double const u = x / 256.0;
        if (booster <= 0) {
            double const e = 1.0 - booster / 32.0;
            table[x - 1] = 256 - static_cast<int>(256.0 * std::pow(1.0 - std::pow(u, e), 1.0 / e));
        } else {
            double const e = 1.0 + booster / 32.0;
            table[x - 1] = static_cast<int>(256.0 * std::pow(1.0 - std::pow(1.0 - u, e), 1.0 / e));
        }
    }
    // Noise gate: nothing below the gate, then a straight ramp up to the curve.
    int const knee = static_cast<int>(16.0 * std::sqrt(noise) + 1.0);
    int const reference = knee < 256 ? table[knee] : table[255];
    for (int i = 0; i < noise; ++i) table[i] = 0;
    for (int i = noise; i < std::min(knee, 256); ++i) table[i] = (i - noise) * reference / (knee - noise);
    // Limiter: above the knee the curve rises more slowly.
    int const knee_level = (256 - limiter) * (256 - limiter) / 256;
    int const headroom = 256 - knee_level;
    for (std::int32_t& entry : table)
        if (entry > knee_level) entry = knee_level + (entry - knee_level) * (headroom - limiter) / headroom + 1;
    return table;
}

void LevelFilter::set_curve(int booster, int noise, int limiter) {
    if (booster < -256 || booster > 256 || noise < 0 || noise > 256 || limiter < 0 || limiter > 256) return;
    if (booster == 0 && noise == 0 && limiter == 0) {
        set_table(nullptr);
        return;
    }
    Table const table = build_curve(booster, noise, limiter);
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    table_ = table;
    pass_through_ = false;
}

void LevelFilter::set_table(const Table* table) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (table != nullptr) {
        table_ = *table;
        pass_through_ = false;
        return;
    }
    for (int i = 0; i < 256; ++i) table_[i] = i + 1;
    pass_through_ = true;
}

void LevelFilter::clear_state() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    last_peak_[0] = last_peak_[1] = 0;
    carried_[0] = carried_[1] = 0;
    forget_walks();
}

void LevelFilter::drop_sound() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    input_ = PCMData();
    output_ = PCMData();
    clear_state();
}

std::int64_t LevelFilter::lookup(std::int32_t value) const {
    std::int64_t const magnitude = std::abs(static_cast<std::int64_t>(value));
    std::int64_t const index = magnitude / 128;
    std::int64_t const fraction = magnitude % 128;
    std::int64_t const low = index == 0 ? 0 : table_[index - 1];
    std::int64_t const high = index >= 256 ? 256 : table_[index];
    std::int64_t const level = ((128 - fraction) * low + fraction * high) * 16384;
    if (value > 0 && level == (std::int64_t{1} << 29)) return level - 1;
    return level;
}

std::int64_t LevelFilter::gain_of(std::int32_t peak) const {
    if (peak == 0) return 0;
    return lookup(peak) / std::abs(static_cast<std::int64_t>(peak));
}

std::uint32_t LevelFilter::process(PCMData& samples, bool final) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    // The samples may be any sound: no walk goes on from an earlier pass.
    forget_walks();
    return work_on(samples, final);
}

std::uint32_t LevelFilter::work_on(PCMData& samples, bool final) {
    if (!can_process(samples) || samples.get_frame_count() == 0) return 0;
    std::uint32_t const frames = process_frames(samples.buffer.get_writable_data(), samples.get_frame_count(),
                                                samples.sample_rate, samples.channels, samples.bits_per_sample == 16,
                                                final);
    return frames * samples.get_frame_bytes();
}

PCMData LevelFilter::take_output(std::uint32_t count) { return blocks::take_frames(output_, count); }

PCMData LevelFilter::get_data(std::uint32_t count) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (pass_through_) return pull_data(count);
    if (!output_.is_empty()) return take_output(count);

    for (PCMData block = pull_data(pull_frames); !block.is_empty(); block = pull_data(pull_frames)) {
        PCMData joined;
        std::uint32_t gathered = 0;
        if (!input_.is_empty() && !block.has_format_of(input_)) {
            // The old format's input is worked through and passed on whole (what the
            // filter did not reach, unchanged); the new block waits in the input.
            process(input_, true);
            output_ = input_;
            input_ = block;
            clear_state();
            if (!output_.is_empty()) return take_output(count);
            joined = input_;
        } else {
            gathered = input_.get_size();
            joined = blocks::join(input_, block);
        }
        // Blocks the filter cannot work on pass unchanged.
        if (!can_process(joined)) {
            input_ = PCMData();
            forget_walks();
            return joined;
        }
        std::uint32_t const done = gathered > gather_bytes ? work_on(joined, false) : 0;
        output_ = blocks::slice(joined, 0, done);
        input_ = blocks::slice(joined, done, joined.get_size() - done);
        if (!output_.is_empty()) return take_output(count);
    }
    if (input_.is_empty()) return PCMData();
    if (!can_process(input_)) {
        PCMData const rest = input_;
        input_ = PCMData();
        forget_walks();
        return rest;
    }
    std::uint32_t const done = process(input_, true);
    output_ = blocks::slice(input_, 0, done);
    input_ = PCMData();
    if (!output_.is_empty()) return take_output(count);
    return PCMData();
}

void LevelFilter::on_data(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (pass_through_) {
        push_data(in);
        return;
    }
    // A new format or the end of the stream: the input so far is worked through first.
    if (!input_.is_empty() && (in.is_empty() || !in.has_format_of(input_))) {
        std::uint32_t const done = process(input_, true);
        // At a new format nothing of the old one is dropped: what the filter did not reach
        // goes on unchanged.
        std::uint32_t const passed = in.is_empty() ? done : input_.get_size();
        if (passed > 0) push_data(blocks::slice(input_, 0, passed));
        input_ = PCMData();
        clear_state();
    }
    // The end of the stream, and blocks the filter cannot work on, pass unchanged.
    if (in.is_empty() || !can_process(in)) {
        push_data(in);
        return;
    }
    PCMData joined = blocks::join(input_, in);
    std::uint32_t const done = work_on(joined, false);
    if (done > 0) push_data(blocks::slice(joined, 0, done));
    input_ = blocks::slice(joined, done, joined.get_size() - done);
}

}  // namespace audio
