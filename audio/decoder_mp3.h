#pragma once

#include <cstdint>

#include "audio/block_decoder.h"
#include "audio/blocks.h"

namespace audio {

struct MP3DecoderState;

// MPEG audio frames to 16-bit PCM, one frame per block. A frame that cannot be decoded
// gives an empty block with no format; so does a frame at a sample rate that the decoder
// does not produce (12000 Hz).
class DecoderMP3 : public BlockDecoderPCM<MP3Data> {
public:
    DecoderMP3();
    ~DecoderMP3() override;

    PCMData decode(const MP3Data& block) override;
    std::uint32_t get_input_count(std::uint32_t) override { return 1; }

private:
    MP3DecoderState* decoder_;
};

}  // namespace audio
