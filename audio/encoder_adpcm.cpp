#include "audio/encoder_adpcm.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "audio/adpcm.h"

namespace audio {

PCMData EncoderADPCM::make_block(const PCMData& format) {
    if (format.bits_per_sample != 16 || (format.channels != 1 && format.channels != 2)) return PCMData();
    std::uint32_t const align = adpcm::block_align_for(format.sample_rate, format.channels);
    std::uint32_t const samples = adpcm::samples_per_block(align, format.channels);
    bit_rate_ = adpcm::bit_rate(align, format.channels, format.sample_rate);
    liba::SharedBuffer bytes(2 * format.channels * samples);
    bytes.fill(0);
    return format.with_buffer(bytes);
}

ADPCMData EncoderADPCM::encode(const PCMData& block) {
    std::uint32_t const channels = block.channels;
    std::uint32_t const align = adpcm::block_align_for(block.sample_rate, channels);
    std::uint32_t const samples = adpcm::samples_per_block(align, channels);
    // Aligned copy of the samples; the block's bytes may start anywhere.
    std::vector<std::int16_t> input(std::size_t{samples} * channels);
    std::memcpy(input.data(), block.buffer.get_data(), std::min<std::size_t>(input.size() * 2, block.get_size()));
    std::vector<std::uint8_t> best(align);
    std::vector<std::uint8_t> trial(align);
    int best_error = adpcm::encode_block(input.data(), channels, samples, 0, best.data());
    for (int predictor = 1; predictor < adpcm::coefficient_count; ++predictor) {
        int const error = adpcm::encode_block(input.data(), channels, samples, predictor, trial.data());
        if (error < best_error) {
            best_error = error;
            best.swap(trial);
        }
    }
    return ADPCMData(liba::SharedBuffer(align, best.data()), channels, 4, block.sample_rate, align);
}

std::uint32_t EncoderADPCM::get_bit_rate() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return bit_rate_;
}

}  // namespace audio
