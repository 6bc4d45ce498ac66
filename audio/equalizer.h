#pragma once

#include <cstdint>

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// One band of the play graph's equalizer: a peaking filter in fixed point followed by a
// soft limiter on whole half-waves. To let the limiter see a half-wave before it leaves,
// the band delays the sound by a tenth of a second (rate / 10 frames). A gain of 0 dB
// passes blocks unchanged and without delay.
class EqualizerPCM : public Processor<PCMData, PCMData> {
public:
    EqualizerPCM() = default;
    ~EqualizerPCM() override = default;

    void set_frequency(double hertz);
    void set_bandwidth(double octaves);
    void set_gain(double decibels);

    PCMData process(const PCMData& in) override;
    // Forgets the delayed sound and the filter's memory: the next block starts as the
    // first one after construction (a seek or a new stream).
    void drop_sound();

    // Full scale of the working samples: 16-bit x 2^12, 8-bit x 2^20.
    static constexpr std::int32_t full_scale = 1 << 27;

private:
    // Coefficients for the stored rate; false when the band lies at or above the rate's
    // upper limit (the band is off).
    bool design();
    bool can_filter(const PCMData& in) const;
    void prepare_window(const PCMData& in, std::uint32_t needed);
    void load(const PCMData& in, std::int32_t* window, std::uint32_t delay) const;
    void filter(std::int32_t* samples, std::uint32_t frames, std::uint32_t channels);
    void limit(std::int32_t* window, std::uint32_t frames, std::uint32_t channels);
    PCMData unload(const PCMData& in, const std::int32_t* window) const;

    double frequency_ = 0.0;
    double bandwidth_ = 1.0;
    double gain_ = 0.0;
    std::uint32_t sample_rate_ = 0;
    bool designed_ = false;
    // Q28, normalised by a0; a1 = b1.
    std::int64_t a1_ = 0, a2_ = 0, b0_ = 0, b1_ = 0, b2_ = 0;
    // Per channel: the previous two outputs and the previous two inputs.
    std::int32_t y1_[2] = {}, y2_[2] = {}, x1_[2] = {}, x2_[2] = {};
    PCMData window_;  // 32-bit samples: the last rate / 10 frames, then room for a block
    std::uint32_t limiter_position_[2] = {};
};

}  // namespace audio
