#pragma once

#include <cstdint>
#include <utility>

namespace audio::adpcm {

// The Microsoft ADPCM format (WAV format tag 2): its published tables, the block
// geometry the engine records with, and the coding of one block.

inline constexpr int coefficient_count = 7;
// The predictor coefficient pairs, by predictor index.
extern const std::pair<int, int> coefficients[coefficient_count];
// How the step (delta) adapts, by 4-bit code.
extern const int adaptation[16];

// Bytes of one block recorded at that rate: 256, 512, 1024 or 2048 per channel.
std::uint32_t block_align_for(std::uint32_t sample_rate, std::uint32_t channels);
// Samples per channel in one block of that many bytes, codes of that many bits:
// (block align - 7 x channels) x 8 / (bits x channels) + 2. 0 when no block of that
// geometry can be coded (channels or bits 0, or not even room for the block header).
std::uint32_t samples_per_block(std::uint32_t block_align, std::uint32_t channels, std::uint32_t bits = 4);
// block align x 8 x rate / samples per block.
std::uint32_t bit_rate(std::uint32_t block_align, std::uint32_t channels, std::uint32_t sample_rate);

// One channel's coder state between two codes.
struct ChannelState {
    int delta = 16;
    int sample1 = 0;  // the latest sample
    int sample2 = 0;  // the one before it
    int coefficient1 = 256;
    int coefficient2 = 0;

    int predict() const;
    // Takes the sample that a code produced and adapts the step to the code.
    void advance(int value, unsigned code);
};

// Decodes one code (0..15) to the next sample.
int decode_code(ChannelState& state, unsigned code);

// Decodes one block of 1 or 2 channels into samples per block x channels interleaved
// 16-bit samples. A block with a predictor index of 7 or more, or of another channel
// count, leaves its output as it was (silent).
void decode_block(const std::uint8_t* block, std::uint32_t channels, std::uint32_t samples, std::int16_t* output);

// Encodes samples per block frames of interleaved 16-bit PCM (1 or 2 channels) into one
// block of block align bytes with that predictor index; the largest error of any sample.
int encode_block(const std::int16_t* input, std::uint32_t channels, std::uint32_t samples, int predictor,
                 std::uint8_t* block);

}  // namespace audio::adpcm
