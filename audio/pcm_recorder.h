#pragma once

#include <cstdint>
#include <memory>

#include "audio/recorder.h"

namespace audio {

class RecorderPCMImpl;

// Captures PCM from the wave-in device. The device is opened and armed with twenty
// buffers of 5000 sample frames at construction; start and stop run on the calling thread.
// A thread of the recorder's own copies each filled buffer into a block, pushes it to the
// linked consumer (so the whole record graph runs on that thread) and gives the buffer
// back. When all twenty buffers are waiting at once the device is starved for good and
// is_recording turns false.
class RecorderPCM : public Recorder {
public:
    RecorderPCM(std::int32_t channels, std::int32_t sample_rate, std::int32_t bits_per_sample);
    // Delivers the buffers that the device still held before it returns.
    ~RecorderPCM() override;

    // Pulling from the recorder is a programming error: fatal stop.
    PCMData get_data(std::uint32_t count) override;

    // False when there is no device or it does not start.
    bool start() override;
    // Hands on the part of the current buffer recorded so far; true once stopped.
    bool stop() override;
    bool is_stopped() override;
    bool is_recording() override;
    std::int32_t get_channels() override;
    std::int32_t get_bits_per_sample() override;
    std::int32_t get_sample_rate() override;
    std::int32_t get_bit_rate() override;

private:
    std::unique_ptr<RecorderPCMImpl> impl_;
};

}  // namespace audio
