#pragma once

#include <cstdint>

#include "foundation/nocopy.h"

struct gsm_state;

namespace audio {

// One GSM 6.10 codec state in the WAV49 packing: 65-byte blocks of two 160-sample
// frames whose middle byte the two frames share. The two halves of a block must go
// through one state in order, which is why each coder owns one.
class GSMCodec : private liba::Nocopy {
public:
    static constexpr std::uint32_t block_bytes = 65;
    static constexpr std::uint32_t block_samples = 320;

    GSMCodec();
    ~GSMCodec();

    // 320 samples into one zero-filled 65-byte block.
    void encode_block(const std::int16_t* samples, std::uint8_t* block);
    // One 65-byte block into 320 samples.
    void decode_block(const std::uint8_t* block, std::int16_t* samples);

private:
    gsm_state* state_;
};

}  // namespace audio
