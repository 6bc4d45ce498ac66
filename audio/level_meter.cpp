#include "audio/level_meter.h"

#include <algorithm>
#include <mutex>

#include "audio/filter_samples.h"

namespace audio {

namespace {

// Sample `frame` of the first channel, signed: 16-bit as is, any other depth as 8-bit.
std::int32_t first_channel(const PCMData& in, std::uint32_t frame) {
    std::uint8_t const* bytes = in.buffer.get_data() + frame * in.get_frame_bytes();
    return in.bits_per_sample == 16 ? samples::read16(bytes, 0) : samples::read8(bytes, 0);
}

}  // namespace

LevelMeterRecord::LevelMeterRecord(double silence_limit) : silence_limit_(silence_limit) {}

void LevelMeterRecord::set_threshold(double threshold) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    threshold_ = threshold;
}

double LevelMeterRecord::get_level() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return level_;
}

bool LevelMeterRecord::is_silence_too_long() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return quiet_time_ > silence_limit_;
}

PCMData LevelMeterRecord::process(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    std::uint32_t const frames = in.get_frame_count();
    if (frames == 0) return in;

    bool const sixteen = in.bits_per_sample == 16;
    auto const threshold = static_cast<std::int32_t>(threshold_ * (sixteen ? 32767.0 : 127.0));
    std::int32_t peak = 0;
    std::uint32_t last_loud = frames;
    for (std::uint32_t i = 0; i < frames; ++i) {
        std::int32_t const value = first_channel(in, i);
        peak = std::max(peak, value);
        if (value > threshold) last_loud = i;
    }
    level_ = peak / (sixteen ? 32767.0 : 127.0);
    if (in.sample_rate == 0) return in;
    double const rate = in.sample_rate;
    if (last_loud != frames)
        quiet_time_ = (frames - last_loud) / rate;
    else
        quiet_time_ += frames / rate;
    return in;
}

double LevelMeter::get_current_level() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    double const time = now();
    drop_heard(time);
    if (queue_.empty() || queue_.front().levels.empty()) return 0.0;
    std::vector<double> const& levels = queue_.front().levels;
    double const position = (time - consumed_) * windows_per_second_;
    if (position < 0.0) return levels.front();
    if (position >= static_cast<double>(levels.size())) return levels.back();
    return levels[static_cast<std::size_t>(position)];
}

void LevelMeter::set_paused(bool paused) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (paused == paused_) return;
    paused_ = paused;
    if (paused)
        pause_time_ = read_clock();
    else
        consumed_ += read_clock() - pause_time_;
}

void LevelMeter::clear() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    queue_.clear();
}

PCMData LevelMeter::process(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    drop_heard(now());
    if (queue_.empty()) {
        consumed_ = 0.0;
        pause_time_ = 0.0;
        restart_clock();
    }
    // A block without a rate cannot be timed: it would stay at the head of the queue.
    if (in.get_frame_count() > 0 && in.sample_rate > 0) queue_.push_back(measure(in, windows_per_second_));
    return in;
}

void LevelMeter::drop_heard(double time) {
    while (!queue_.empty() && time >= consumed_ + queue_.front().duration) {
        consumed_ += queue_.front().duration;
        queue_.pop_front();
    }
}

LevelMeter::LevelRecord LevelMeter::measure(const PCMData& in, double windows_per_second) {
    std::uint32_t const frames = in.get_frame_count();
    // At least one frame, so that rates below the window count still end.
    std::uint32_t const window = std::max(1, static_cast<int>(in.sample_rate / windows_per_second));
    double const scale = in.bits_per_sample == 16 ? 1.0 / 32768.0 : 1.0 / 128.0;

    LevelRecord record{{}, in.sample_rate, static_cast<double>(frames) / in.sample_rate};
    record.levels.reserve(frames / window + 1);
    for (std::uint32_t start = 0; start < frames; start += window) {
        std::uint32_t const end = std::min(frames, start + window);
        std::int32_t peak = 0;
        for (std::uint32_t i = start; i < end; ++i) peak = std::max(peak, first_channel(in, i));
        record.levels.push_back(peak * scale);
    }
    return record;
}

}  // namespace audio
