#pragma once

#include <cstdint>

#include "foundation/shared_buffer.h"

namespace audio {

// The typed sound blocks that the stages of the engine hand each other. Each is a value:
// copying a block shares its bytes. A default block has an empty buffer and every format
// field 0; an empty buffer is the engine's one end-of-stream signal.

// Interleaved PCM sample frames, laid out as in the data chunk of a WAV file.
struct PCMData {
    liba::SharedBuffer buffer;
    std::uint32_t channels = 0;
    std::uint32_t bits_per_sample = 0;
    std::uint32_t sample_rate = 0;

    PCMData() = default;
    PCMData(const liba::SharedBuffer& bytes, std::uint32_t channel_count, std::uint32_t bits, std::uint32_t rate)
        : buffer(bytes), channels(channel_count), bits_per_sample(bits), sample_rate(rate) {}

    bool is_empty() const { return buffer.get_size() == 0; }
    std::uint32_t get_size() const { return buffer.get_size(); }
    // ((bits + 7) / 8) x channels.
    std::uint32_t get_frame_bytes() const { return (bits_per_sample + 7) / 8 * channels; }
    // Whole frames in the buffer; 0 for an empty block or a block without a frame size.
    std::uint32_t get_frame_count() const {
        std::uint32_t const frame = get_frame_bytes();
        return frame == 0 ? 0 : get_size() / frame;
    }
    bool has_format_of(const PCMData& other) const {
        return channels == other.channels && bits_per_sample == other.bits_per_sample &&
               sample_rate == other.sample_rate;
    }
    // Other bytes in this block's format.
    PCMData with_buffer(const liba::SharedBuffer& bytes) const {
        return PCMData(bytes, channels, bits_per_sample, sample_rate);
    }
};

// Whole Microsoft ADPCM blocks.
struct ADPCMData {
    liba::SharedBuffer buffer;
    std::uint32_t channels = 0;
    std::uint32_t bits_per_sample = 0;
    std::uint32_t sample_rate = 0;
    std::uint32_t block_align = 0;

    ADPCMData() = default;
    ADPCMData(const liba::SharedBuffer& bytes, std::uint32_t channel_count, std::uint32_t bits, std::uint32_t rate,
              std::uint32_t align)
        : buffer(bytes), channels(channel_count), bits_per_sample(bits), sample_rate(rate), block_align(align) {}

    bool is_empty() const { return buffer.get_size() == 0; }
    std::uint32_t get_size() const { return buffer.get_size(); }
};

// Whole 65-byte GSM 6.10 blocks; the format is fixed (8000 Hz, mono).
struct GSMData {
    liba::SharedBuffer buffer;

    GSMData() = default;
    explicit GSMData(const liba::SharedBuffer& bytes) : buffer(bytes) {}

    bool is_empty() const { return buffer.get_size() == 0; }
    std::uint32_t get_size() const { return buffer.get_size(); }
};

// One MPEG audio frame at the start of the buffer, followed by the bytes that come after
// it in the file.
struct MP3Data {
    liba::SharedBuffer buffer;
    std::uint32_t frame_length = 0;

    MP3Data() = default;
    MP3Data(const liba::SharedBuffer& bytes, std::uint32_t length) : buffer(bytes), frame_length(length) {}

    bool is_empty() const { return buffer.get_size() == 0; }
    std::uint32_t get_size() const { return buffer.get_size(); }
};

}  // namespace audio
