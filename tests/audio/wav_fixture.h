// Builds WAV files byte by byte for the reader tests: any chunk order, any field value.
#pragma once

#include <cstdint>
#include <string>

namespace wav_fixture {

inline std::string le16(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

inline std::string le32(std::uint32_t value) { return le16(value & 0xFFFF) + le16(value >> 16); }

// A chunk with its 8-byte header; an odd body gets its pad byte.
inline std::string chunk(const std::string& id, const std::string& body) {
    std::string bytes = id + le32(static_cast<std::uint32_t>(body.size())) + body;
    if (body.size() % 2 != 0) bytes += '\0';
    return bytes;
}

// The RIFF header in front of the chunks.
inline std::string riff(const std::string& chunks, const std::string& form = "WAVE") {
    return "RIFF" + le32(static_cast<std::uint32_t>(4 + chunks.size())) + form + chunks;
}

struct Fmt {
    std::uint32_t tag = 1;
    std::uint32_t channels = 1;
    std::uint32_t rate = 8000;
    std::uint32_t byte_rate = 16000;
    std::uint32_t block_align = 2;
    std::uint32_t bits = 16;
    // The bytes after the 16 common fields.
    std::string extension;

    std::string chunk() const {
        return wav_fixture::chunk("fmt ", le16(tag) + le16(channels) + le32(rate) + le32(byte_rate) +
                                              le16(block_align) + le16(bits) + extension);
    }
};

inline Fmt pcm_fmt(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate) {
    std::uint32_t const align = (bits + 7) / 8 * channels;
    return Fmt{1, channels, rate, align * rate, align, bits, ""};
}

inline std::uint32_t adpcm_samples_per_block(std::uint32_t block_align, std::uint32_t channels) {
    return (block_align - 7 * channels) * 8 / (4 * channels) + 2;
}

// Microsoft ADPCM with the standard table of coefficient_count pairs (7 in a good file).
inline Fmt adpcm_fmt(std::uint32_t channels, std::uint32_t rate, std::uint32_t block_align,
                     std::uint32_t samples_per_block, std::uint32_t coefficient_count = 7) {
    static const int pairs[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};
    std::string extension = le16((coefficient_count + 1) * 4) + le16(samples_per_block) + le16(coefficient_count);
    for (std::uint32_t i = 0; i < coefficient_count; ++i)
        extension += le16(static_cast<std::uint16_t>(pairs[i % 7][0])) + le16(static_cast<std::uint16_t>(pairs[i % 7][1]));
    std::uint32_t const byte_rate = samples_per_block == 0 ? 0 : rate * block_align / samples_per_block;
    return Fmt{2, channels, rate, byte_rate, block_align, 4, extension};
}

inline Fmt gsm_fmt() { return Fmt{49, 1, 8000, 1625, 65, 0, le16(2) + le16(320)}; }

inline std::string fact(std::uint32_t samples) { return chunk("fact", le32(samples)); }
inline std::string data(const std::string& bytes) { return chunk("data", bytes); }

// n bytes counting up from first (mod 256), so that every position is recognisable.
inline std::string counting_bytes(std::uint32_t n, std::uint32_t first = 0) {
    std::string bytes(n, '\0');
    for (std::uint32_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((first + i) & 0xFF);
    return bytes;
}

inline std::string pcm_file(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate, const std::string& samples) {
    return riff(pcm_fmt(channels, bits, rate).chunk() + data(samples));
}

}  // namespace wav_fixture
