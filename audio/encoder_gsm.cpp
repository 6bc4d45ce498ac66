#include "audio/encoder_gsm.h"

#include <algorithm>
#include <cstring>

namespace audio {

PCMData EncoderGSM::make_block(const PCMData& format) {
    if (format.bits_per_sample != 16 || format.channels != 1 || format.sample_rate != 8000) return PCMData();
    liba::SharedBuffer bytes(GSMCodec::block_samples * 2);
    bytes.fill(0);
    return format.with_buffer(bytes);
}

GSMData EncoderGSM::encode(const PCMData& block) {
    std::int16_t samples[GSMCodec::block_samples] = {};
    std::memcpy(samples, block.buffer.get_data(), std::min<std::size_t>(sizeof samples, block.get_size()));
    liba::SharedBuffer output(GSMCodec::block_bytes);
    codec_.encode_block(samples, output.get_writable_data());
    return GSMData(output);
}

}  // namespace audio
