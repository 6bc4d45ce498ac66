#include "audio/mute.h"

#include <mutex>

namespace audio {

PCMData Muter::process(const PCMData& in) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (!is_muted()) return in;
    liba::SharedBuffer silence(in.get_size());
    silence.fill(in.bits_per_sample == 8 ? 128 : 0);
    return in.with_buffer(silence);
}

}  // namespace audio
