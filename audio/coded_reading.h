#pragma once

#include <cstdint>

#include "audio/push_pieces.h"
#include "audio/reader_arithmetic.h"

namespace audio {

// What the readers of coded WAV data (ADPCM, GSM) share beyond their base.

// Blocks of that many samples for that long at that rate; 0 without a block length.
inline std::uint32_t seconds_to_blocks(double seconds, std::uint32_t rate, std::uint32_t samples_per_block) {
    if (samples_per_block == 0) return 0;
    return whole_units(rate * seconds / samples_per_block);
}

inline double blocks_to_seconds(std::uint32_t blocks, std::uint32_t rate, std::uint32_t samples_per_block) {
    if (rate == 0) return 0.0;
    return static_cast<double>(samples_per_block) * blocks / rate;
}

// Pulls the blocks from the reader in pieces and pushes each on; false when the data
// ends first.
template <class Reader>
bool push_blocks(Reader& reader, std::uint32_t blocks, std::uint32_t piece, std::uint32_t block_align) {
    if (!reader.is_valid() || block_align == 0) return false;
    return push_pieces(reader, blocks, piece, [block_align](const auto& block) { return block.get_size() / block_align; });
}

}  // namespace audio
