#pragma once

#include <cstdint>

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// The head of a record graph: a provider end that pushes captured sound down the graph
// from a thread of its own, and is never pulled from.
class Recorder : public Provider<PCMData> {
public:
    virtual bool start() = 0;
    virtual bool stop() = 0;
    virtual bool is_stopped() = 0;
    // The device is open and its buffers still circulate; false while recording means the
    // recording has failed.
    virtual bool is_recording() = 0;
    virtual std::int32_t get_channels() = 0;
    virtual std::int32_t get_bits_per_sample() = 0;
    virtual std::int32_t get_sample_rate() = 0;
    // Bits per second of the input format.
    virtual std::int32_t get_bit_rate() = 0;
};

}  // namespace audio
