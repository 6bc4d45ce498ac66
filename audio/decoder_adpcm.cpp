#include "audio/decoder_adpcm.h"

#include <algorithm>
#include <vector>

#include "audio/adpcm.h"

namespace audio {

namespace {

// Whether a block of that geometry holds all the codes its sample count needs.
bool codes_fit(std::uint32_t block_align, std::uint32_t channels, std::uint32_t samples) {
    std::uint64_t const code_bytes = (std::uint64_t{samples - 2} * channels + 1) / 2;
    return 7 * std::uint64_t{channels} + code_bytes <= block_align;
}

}  // namespace

PCMData DecoderADPCM::decode(const ADPCMData& block) {
    std::uint32_t const channels = block.channels;
    std::uint32_t const align = block.block_align;
    std::uint32_t const samples = adpcm::samples_per_block(align, channels, block.bits_per_sample);
    if (samples == 0) return PCMData();
    std::uint32_t const blocks = block.get_size() / align;
    std::uint64_t const output_bytes = std::uint64_t{2} * channels * blocks * samples;
    if (output_bytes == 0 || output_bytes > 0xFFFFFFFFu) return PCMData();
    liba::SharedBuffer output(static_cast<std::uint32_t>(output_bytes));
    output.fill(0);
    if (codes_fit(align, channels, samples)) {
        std::vector<std::int16_t> decoded(std::size_t{samples} * channels);
        std::uint8_t* const target = output.get_writable_data();
        for (std::uint32_t i = 0; i < blocks; ++i) {
            std::fill(decoded.begin(), decoded.end(), std::int16_t{0});
            adpcm::decode_block(block.buffer.get_data() + std::size_t{i} * align, channels, samples, decoded.data());
            for (std::size_t k = 0; k < decoded.size(); ++k) {
                auto const value = static_cast<std::uint16_t>(decoded[k]);
                std::uint8_t* const place = target + (std::size_t{i} * decoded.size() + k) * 2;
                place[0] = static_cast<std::uint8_t>(value & 0xFF);
                place[1] = static_cast<std::uint8_t>(value >> 8);
            }
        }
    }
    return PCMData(output, channels, 16, block.sample_rate);
}

std::uint32_t DecoderADPCM::get_input_count(std::uint32_t frames) {
    static_cast<void>(frames);
    return 1;
}

}  // namespace audio
