#include "audio/fast_play.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace audio {

bool FastPlay::set_speed(double speed) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (!(speed >= 0.0) || speed == speed_) return false;
    position_ = 0.0;
    speed_ = speed;
    return true;
}

double FastPlay::get_speed() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return speed_;
}

void FastPlay::drop_sound() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    position_ = 0.0;
}

void FastPlay::on_data(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (in.is_empty()) {
        push_data(in);
        return;
    }
    PCMData const out = resample(in);
    if (!out.is_empty()) push_data(out);
}

PCMData FastPlay::get_data(std::uint32_t count) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    // At speed 0 nothing is ever played: the end, without reading the source through.
    if (speed_ == 0.0) return PCMData();
    for (;;) {
        auto const request = std::max(1, static_cast<int>(std::min(count * speed_ + position_, 1e9)));
        PCMData const in = pull_data(static_cast<std::uint32_t>(request));
        if (in.is_empty()) return PCMData();
        PCMData out = resample(in);
        if (!out.is_empty()) return out;
    }
}

PCMData FastPlay::resample(const PCMData& in) {
    if (in.is_empty() || speed_ == 1.0) return in;
    if (speed_ == 0.0) return PCMData();

    auto const frames = static_cast<double>(in.get_frame_count());
    double const left = frames - position_;
    if (left <= 0.0) {
        position_ = -left;
        return in.with_buffer(liba::SharedBuffer());
    }
    // Truncated toward zero, as the picked frames below.
    auto const last = static_cast<std::uint32_t>(static_cast<int>((left - 1.0) / speed_));
    std::uint32_t const frame_bytes = in.get_frame_bytes();
    std::uint32_t const last_frame = in.get_frame_count() - 1;
    liba::SharedBuffer out((last + 1) * frame_bytes);
    std::uint8_t* target = out.get_writable_data();
    std::uint8_t const* source = in.buffer.get_data();
    for (std::uint32_t k = 0; k <= last; ++k) {
        auto const picked = static_cast<std::uint32_t>(std::max(0, static_cast<int>(k * speed_ + position_)));
        auto const frame = std::min(last_frame, picked);
        std::memcpy(target + k * frame_bytes, source + frame * frame_bytes, frame_bytes);
    }
    position_ = (last + 1) * speed_ - left;
    return in.with_buffer(out);
}

}  // namespace audio
