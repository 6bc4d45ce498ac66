#include "audio/equalizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <numbers>

#include "audio/filter_samples.h"

namespace audio {

namespace {

constexpr double q28 = 268435456.0;
constexpr std::int32_t limit_threshold = 100663296;  // 0.75 of full scale

std::uint32_t window_frames(const PCMData& window) {
    return window.channels == 0 ? 0 : window.get_size() / (window.channels * 4);
}

}  // namespace

void EqualizerPCM::set_frequency(double hertz) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    frequency_ = hertz;
    designed_ = false;
}

void EqualizerPCM::set_bandwidth(double octaves) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    bandwidth_ = octaves;
    designed_ = false;
}

void EqualizerPCM::set_gain(double decibels) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    gain_ = decibels;
    designed_ = false;
}

void EqualizerPCM::drop_sound() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    window_ = PCMData();
    std::fill(std::begin(limiter_position_), std::end(limiter_position_), 0u);
    std::fill(std::begin(y1_), std::end(y1_), 0);
    std::fill(std::begin(y2_), std::end(y2_), 0);
    std::fill(std::begin(x1_), std::end(x1_), 0);
    std::fill(std::begin(x2_), std::end(x2_), 0);
}

bool EqualizerPCM::design() {
    double const rate = sample_rate_;
    if (frequency_ >= rate * 0.49751243781094534) return false;
    double const amplitude = std::pow(10.0, gain_ * 0.025);
    double const w0 = frequency_ * 2.0 * std::numbers::pi / rate;
    double const alpha = std::sin(w0) * std::sinh(bandwidth_ * 0.34657359027997264);
    double const a0 = 1.0 + alpha / amplitude;
    b0_ = static_cast<std::int64_t>((1.0 + alpha * amplitude) / a0 * q28);
    b1_ = a1_ = static_cast<std::int64_t>(-2.0 * std::cos(w0) / a0 * q28);
    b2_ = static_cast<std::int64_t>((1.0 - alpha * amplitude) / a0 * q28);
    a2_ = static_cast<std::int64_t>((1.0 - alpha / amplitude) / a0 * q28);
    std::fill(std::begin(y1_), std::end(y1_), 0);
    std::fill(std::begin(y2_), std::end(y2_), 0);
    std::fill(std::begin(x1_), std::end(x1_), 0);
    std::fill(std::begin(x2_), std::end(x2_), 0);
    designed_ = true;
    return true;
}

bool EqualizerPCM::can_filter(const PCMData& in) const {
    // Only whole 8- and 16-bit samples: other depths are laid out differently.
    return gain_ != 0.0 && !in.is_empty() && in.channels >= 1 && in.channels <= 2 &&
           (in.bits_per_sample == 8 || in.bits_per_sample == 16) && in.sample_rate >= 1;
}

PCMData EqualizerPCM::process(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (!can_filter(in)) return in;
    if (in.sample_rate != sample_rate_) {
        sample_rate_ = in.sample_rate;
        designed_ = false;
    }
    if (!designed_ && !design()) return in;

    std::uint32_t const delay = in.sample_rate / 10;
    std::uint32_t const frames = in.get_frame_count();
    std::uint32_t const needed = delay + frames;
    prepare_window(in, needed);
    std::int32_t* window = reinterpret_cast<std::int32_t*>(window_.buffer.get_writable_data());
    load(in, window, delay);
    filter(window + delay * in.channels, frames, in.channels);
    limit(window, needed, in.channels);
    PCMData const out = unload(in, window);

    std::memmove(window, window + frames * in.channels, std::size_t{delay} * in.channels * 4);
    for (std::uint32_t& position : limiter_position_)
        position = position > frames ? position - frames : 0;
    return out;
}

void EqualizerPCM::prepare_window(const PCMData& in, std::uint32_t needed) {
    bool const same_format = window_.channels == in.channels && window_.sample_rate == in.sample_rate;
    if (same_format && window_frames(window_) >= needed) return;
    PCMData grown(liba::SharedBuffer(2 * needed * in.channels * 4), in.channels, 32, in.sample_rate);
    grown.buffer.fill(0);
    if (same_format)
        grown.buffer.copy_from(0, window_.buffer);
    else
        limiter_position_[0] = limiter_position_[1] = 0;
    window_ = grown;
}

void EqualizerPCM::load(const PCMData& in, std::int32_t* window, std::uint32_t delay) const {
    std::uint32_t const count = in.get_frame_count() * in.channels;
    std::uint8_t const* bytes = in.buffer.get_data();
    std::int32_t* target = window + delay * in.channels;
    if (in.bits_per_sample == 16) {
        for (std::uint32_t i = 0; i < count; ++i) target[i] = samples::read16(bytes, i) * (1 << 12);
    } else {
        for (std::uint32_t i = 0; i < count; ++i) target[i] = samples::read8(bytes, i) * (1 << 20);
    }
}

void EqualizerPCM::filter(std::int32_t* samples, std::uint32_t frames, std::uint32_t channels) {
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        for (std::uint32_t channel = 0; channel < channels; ++channel) {
            std::int32_t& sample = samples[frame * channels + channel];
            std::int64_t const x = sample;
            std::int64_t const sum = b0_ * x + b1_ * x1_[channel] + b2_ * x2_[channel] -
                                     a1_ * y1_[channel] - a2_ * y2_[channel];
            auto const y = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(sum >> 28)));
            x2_[channel] = x1_[channel];
            x1_[channel] = static_cast<std::int32_t>(x);
            y2_[channel] = y1_[channel];
            y1_[channel] = y;
            sample = y;
        }
    }
}

// Scales down every whole half-wave whose peak passes 0.75 of full scale: to full scale
// when it goes beyond it, else half way between its peak and 0.75.
void EqualizerPCM::limit(std::int32_t* window, std::uint32_t frames, std::uint32_t channels) {
    for (std::uint32_t channel = 0; channel < channels; ++channel) {
        auto at = [&](std::uint32_t frame) -> std::int32_t& { return window[frame * channels + channel]; };
        std::uint32_t start = limiter_position_[channel];
        while (start < frames) {
            std::uint32_t end = start + 1;
            std::int64_t peak = std::abs(static_cast<std::int64_t>(at(start)));
            while (end < frames && !((at(end) < 0 && at(end - 1) >= 0) || (at(end) > 0 && at(end - 1) <= 0))) {
                peak = std::max(peak, std::abs(static_cast<std::int64_t>(at(end))));
                ++end;
            }
            if (end == frames && at(frames - 1) != 0) break;  // may go on in the next block
            if (peak > limit_threshold) {
                std::int64_t const target = peak > full_scale ? full_scale : (peak + limit_threshold) / 2;
                for (std::uint32_t frame = start; frame < end; ++frame)
                    at(frame) = static_cast<std::int32_t>(
                        std::clamp<std::int64_t>(at(frame) * target / peak, -full_scale, full_scale - 1));
            }
            start = end;
        }
        limiter_position_[channel] = start;
    }
}

// The window's first frames, the input delayed by rate / 10 frames. Samples that the
// limiter has not reached yet may lie beyond full scale: they are clamped, not wrapped.
PCMData EqualizerPCM::unload(const PCMData& in, const std::int32_t* window) const {
    std::uint32_t const count = in.get_frame_count() * in.channels;
    liba::SharedBuffer out(in.get_size());
    out.fill(0);
    std::uint8_t* bytes = out.get_writable_data();
    if (in.bits_per_sample == 16) {
        for (std::uint32_t i = 0; i < count; ++i) samples::write16(bytes, i, window[i] >> 12);
    } else {
        for (std::uint32_t i = 0; i < count; ++i) samples::write8(bytes, i, window[i] >> 20);
    }
    return in.with_buffer(out);
}

}  // namespace audio
