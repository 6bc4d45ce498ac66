#pragma once

#include <cstdint>

namespace audio {

// The format that one MPEG audio frame header gives (MPEG-1, MPEG-2 and MPEG 2.5, layers
// I to III), as read from the header's 4 bytes.
struct MP3FrameHeader {
    // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG 2.5.
    std::uint32_t version = 0;
    std::uint32_t layer = 0;
    std::uint32_t channels = 0;
    std::uint32_t sample_rate = 0;
    // kbit/s.
    std::uint32_t bit_rate = 0;
    // Bytes of the whole frame, header included.
    std::uint32_t frame_length = 0;
    std::uint32_t samples_per_frame = 0;

    // Frames of one stream agree on all but bit rate and length (which vary in a
    // variable-bit-rate stream and with the pad bit).
    bool has_format_of(const MP3FrameHeader& other) const {
        return version == other.version && layer == other.layer && channels == other.channels &&
               sample_rate == other.sample_rate && samples_per_frame == other.samples_per_frame;
    }
};

// The header word (the 4 bytes big-endian) has the sync bits and no reserved layer, bit
// rate or sample-rate index. The version bits are not looked at.
bool mp3_header_check(std::uint32_t word);

// Reads the header at bytes[0..3]; false (header untouched) when it is refused.
bool mp3_header_parse(const std::uint8_t* bytes, MP3FrameHeader& header);

// The layer III frame at bytes (size bytes available, header already parsed) is an
// encoder's tag frame: "Xing" or "Info" right after the side information, or "VBRI" 32
// bytes after the header. Such a frame carries no sound.
bool mp3_is_info_frame(const std::uint8_t* bytes, std::uint32_t size, const MP3FrameHeader& header);

}  // namespace audio
