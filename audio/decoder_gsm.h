#pragma once

#include <cstdint>

#include "audio/block_decoder.h"
#include "audio/blocks.h"
#include "audio/gsm_codec.h"

namespace audio {

// 65-byte GSM 6.10 blocks to 16-bit mono PCM at 8000 Hz, 320 samples a block; a trailing
// part of a block is ignored.
class DecoderGSM : public BlockDecoderPCM<GSMData> {
public:
    PCMData decode(const GSMData& block) override;
    // The blocks that hold that many frames: (frames + 159) / 160, so a pull may decode
    // up to twice what was asked and keep the rest for the next one.
    std::uint32_t get_input_count(std::uint32_t frames) override;

private:
    GSMCodec codec_;
};

}  // namespace audio
