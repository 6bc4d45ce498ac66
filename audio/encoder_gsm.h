#pragma once

#include <cstdint>

#include "audio/block_encoder.h"
#include "audio/blocks.h"
#include "audio/encoder.h"
#include "audio/gsm_codec.h"

namespace audio {

// 16-bit mono PCM at 8000 Hz to 65-byte GSM 6.10 blocks of 320 samples; PCM in any other
// format is dropped.
class EncoderGSM : public BlockEncoderPCM<GSMData>, public Encoder {
public:
    GSMData encode(const PCMData& block) override;
    PCMData make_block(const PCMData& format) override;
    std::uint32_t get_bit_rate() override { return 13000; }

private:
    GSMCodec codec_;
};

}  // namespace audio
