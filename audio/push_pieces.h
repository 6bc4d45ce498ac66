#pragma once

#include <algorithm>
#include <cstdint>

namespace audio {

// Pulls count units from the reader in pieces of at most piece units and pushes each
// block on; units_of tells how many units a block holds. False when the data ends first.
template <class Reader, class UnitsOf>
bool push_pieces(Reader& reader, std::uint32_t count, std::uint32_t piece, UnitsOf units_of) {
    while (count > 0) {
        auto const block = reader.get_data(std::min(count, piece));
        std::uint32_t const delivered = units_of(block);
        if (delivered == 0) return false;
        reader.push_data(block);
        count -= std::min(count, delivered);
    }
    return true;
}

// The same for a reader of PCM, counted in sample frames.
template <class Reader>
bool push_frames(Reader& reader, std::uint32_t frames, std::uint32_t piece) {
    return push_pieces(reader, frames, piece, [](const auto& block) { return block.get_frame_count(); });
}

}  // namespace audio
