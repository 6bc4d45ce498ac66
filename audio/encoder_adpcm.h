#pragma once

#include <cstdint>

#include "audio/block_encoder.h"
#include "audio/blocks.h"
#include "audio/encoder.h"

namespace audio {

// 16-bit PCM (mono or stereo) to Microsoft ADPCM blocks. Each block is coded with every
// predictor and the one with the smallest largest error is kept. Other PCM is dropped.
class EncoderADPCM : public BlockEncoderPCM<ADPCMData>, public Encoder {
public:
    ADPCMData encode(const PCMData& block) override;
    PCMData make_block(const PCMData& format) override;
    // 0 until the first block has fixed the format.
    std::uint32_t get_bit_rate() override;

private:
    std::uint32_t bit_rate_ = 0;
};

}  // namespace audio
