#pragma once

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// Counts the seconds of sound that pass through it.
class TimeMeter : public Processor<PCMData, PCMData> {
public:
    TimeMeter() = default;
    ~TimeMeter() override = default;

    double get_seconds();
    void reset();

    PCMData process(const PCMData& in) override;

private:
    double seconds_ = 0.0;
};

}  // namespace audio
