#pragma once

#include <atomic>

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// First stage of the record graph: replaces the sound by silence while the input is off.
class Muter : public Processor<PCMData, PCMData> {
public:
    Muter() = default;
    ~Muter() override = default;

    // Called from the user-interface thread while the recorder pushes; no lock needed.
    void set_muted(bool muted) { muted_.store(muted, std::memory_order_relaxed); }
    bool is_muted() const { return muted_.load(std::memory_order_relaxed); }

    // Muted: a new block of the same size and format, all silence (128 for 8-bit, else 0).
    PCMData process(const PCMData& in) override;

private:
    std::atomic<bool> muted_{false};
};

}  // namespace audio
