#pragma once

#include <cstdint>

#include "audio/block_decoder.h"
#include "audio/blocks.h"

namespace audio {

// Microsoft ADPCM blocks to 16-bit PCM, with the standard coefficient table whatever a
// file's header lists. A block that cannot be decoded plays as silence.
class DecoderADPCM : public BlockDecoderPCM<ADPCMData> {
public:
    PCMData decode(const ADPCMData& block) override;
    // One block per pull.
    std::uint32_t get_input_count(std::uint32_t frames) override;
};

}  // namespace audio
