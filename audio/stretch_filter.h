#pragma once

#include <cstdint>

#include "audio/stream_filter.h"

namespace audio {

// Plays two or three times slower at the same pitch by repeating pitch periods: each
// channel is cut at zero crossings before strong positive peaks, and every segment is
// written `factor` times, the copies cross-faded into the neighbouring sound.
class StretchFilter : public StreamFilter {
public:
    StretchFilter() = default;
    ~StretchFilter() override = default;

    // 1 passes the sound through; 2 or 3 play that many times slower. Other values are
    // refused (the factor stays).
    void set_factor(std::uint32_t factor);
    std::uint32_t get_factor();

protected:
    void reset() override;
    std::uint32_t process(const PCMData& input, PCMData& output, bool final) override;

private:
    class ChannelStretch;

    static bool can_stretch(const PCMData& input);
    void clear_state();

    PCMData carry_;  // output made for input not yet consumed, handed on by the next call
    std::uint32_t factor_ = 1;
    std::int32_t carried_[2] = {0, 0};  // per channel, frames of the next input
};

}  // namespace audio
