#include "audio/mp3_header.h"

#include <cstring>

namespace audio {

namespace {

// kbit/s by bit-rate index; rows MPEG-1 layer I, II, III, then MPEG-2 and 2.5 layer I and
// layers II and III.
constexpr std::uint16_t bit_rates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

constexpr std::uint32_t sample_rates[3][3] = {
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
};

std::uint32_t bit_rate_row(std::uint32_t version, std::uint32_t layer) {
    if (version == 1) return layer - 1;
    return layer == 1 ? 3 : 4;
}

}  // namespace

bool mp3_header_check(std::uint32_t word) {
    return (word & 0xFFE00000u) == 0xFFE00000u && ((word >> 17) & 3) != 0 && ((word >> 12) & 15) != 0 &&
           ((word >> 12) & 15) != 15 && ((word >> 10) & 3) != 3;
}

bool mp3_header_parse(const std::uint8_t* bytes, MP3FrameHeader& header) {
    std::uint32_t const word = std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
                               std::uint32_t{bytes[2]} << 8 | bytes[3];
    if (!mp3_header_check(word)) return false;
    MP3FrameHeader parsed;
    if (word & (1u << 20))
        parsed.version = (word & (1u << 19)) ? 1 : 2;
    else
        parsed.version = 3;
    parsed.layer = 4 - ((word >> 17) & 3);
    parsed.bit_rate = bit_rates[bit_rate_row(parsed.version, parsed.layer)][(word >> 12) & 15];
    parsed.sample_rate = sample_rates[parsed.version - 1][(word >> 10) & 3];
    if (parsed.bit_rate == 0 || parsed.sample_rate == 0) return false;
    parsed.channels = (word & 0xC0) == 0xC0 ? 1 : 2;
    std::uint32_t const pad = (word >> 9) & 1;
    if (parsed.layer == 1) {
        parsed.frame_length = (12000 * parsed.bit_rate / parsed.sample_rate + pad) * 4;
        parsed.samples_per_frame = 384;
    } else if (parsed.layer == 2 || parsed.version == 1) {
        parsed.frame_length = 144000 * parsed.bit_rate / parsed.sample_rate + pad;
        parsed.samples_per_frame = 1152;
    } else {
        parsed.frame_length = 72000 * parsed.bit_rate / parsed.sample_rate + pad;
        parsed.samples_per_frame = 576;
    }
    header = parsed;
    return true;
}

bool mp3_is_info_frame(const std::uint8_t* bytes, std::uint32_t size, const MP3FrameHeader& header) {
    if (header.layer != 3 || size < 4) return false;
    bool const protected_by_crc = (bytes[1] & 1) == 0;
    std::uint32_t const side_info = header.version == 1 ? (header.channels == 1 ? 17 : 32) : (header.channels == 1 ? 9 : 17);
    std::uint32_t const tag_at = 4 + (protected_by_crc ? 2 : 0) + side_info;
    auto const holds = [&](std::uint32_t at, const char* text) {
        return at + 4 <= size && at + 4 <= header.frame_length && std::memcmp(bytes + at, text, 4) == 0;
    };
    return holds(tag_at, "Xing") || holds(tag_at, "Info") || holds(36, "VBRI");
}

}  // namespace audio
