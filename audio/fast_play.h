#pragma once

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// Plays faster or slower by dropping or repeating sample frames (the pitch follows the
// speed). The phase of the frame picking is kept from one block to the next.
class FastPlay : public Consumer<PCMData>, public Provider<PCMData> {
public:
    FastPlay() = default;
    ~FastPlay() override = default;

    // Returns whether the speed changed; a new speed starts picking at the next block's
    // first frame. Speeds below 0 (or not a number) are refused; 0 ends the stream.
    bool set_speed(double speed);
    double get_speed();
    // Picking starts again at the next block's first frame (a seek or a new stream).
    void drop_sound();

    void on_data(const PCMData& in) override;
    PCMData get_data(std::uint32_t count) override;

private:
    PCMData resample(const PCMData& in);

    double speed_ = 1.0;
    double position_ = 0.0;  // frames into the next block where the next output frame lies
};

}  // namespace audio
