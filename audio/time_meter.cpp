#include "audio/time_meter.h"

#include <mutex>

namespace audio {

double TimeMeter::get_seconds() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return seconds_;
}

void TimeMeter::reset() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    seconds_ = 0.0;
}

PCMData TimeMeter::process(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (in.sample_rate != 0) seconds_ += static_cast<double>(in.get_frame_count()) / in.sample_rate;
    return in;
}

}  // namespace audio
