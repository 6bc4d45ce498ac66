#include "audio/decoder_gsm.h"

#include <cstring>

namespace audio {

PCMData DecoderGSM::decode(const GSMData& block) {
    std::uint32_t const blocks = block.get_size() / GSMCodec::block_bytes;
    if (blocks == 0 || blocks > 0xFFFFFFFFu / (GSMCodec::block_samples * 2)) return PCMData();
    liba::SharedBuffer output(blocks * GSMCodec::block_samples * 2);
    std::uint8_t* const target = output.get_writable_data();
    std::int16_t samples[GSMCodec::block_samples];
    for (std::uint32_t i = 0; i < blocks; ++i) {
        codec_.decode_block(block.buffer.get_data() + i * GSMCodec::block_bytes, samples);
        std::memcpy(target + i * sizeof samples, samples, sizeof samples);
    }
    return PCMData(output, 1, 16, 8000);
}

std::uint32_t DecoderGSM::get_input_count(std::uint32_t frames) {
    return static_cast<std::uint32_t>((std::uint64_t{frames} + 159) / 160);
}

}  // namespace audio
