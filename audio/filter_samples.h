// Reading and writing single PCM samples as signed values: 16-bit samples are signed
// little-endian, 8-bit samples unsigned (value = byte - 128, written back + 128).
#pragma once

#include <algorithm>
#include <cstdint>

namespace audio::samples {

inline std::int32_t read16(const std::uint8_t* bytes, std::uint32_t index) {
    return static_cast<std::int16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
}

inline void write16(std::uint8_t* bytes, std::uint32_t index, std::int32_t value) {
    auto const sample = static_cast<std::uint16_t>(std::clamp<std::int32_t>(value, -32768, 32767));
    bytes[2 * index] = static_cast<std::uint8_t>(sample & 0xFF);
    bytes[2 * index + 1] = static_cast<std::uint8_t>(sample >> 8);
}

inline std::int32_t read8(const std::uint8_t* bytes, std::uint32_t index) { return bytes[index] - 128; }

inline void write8(std::uint8_t* bytes, std::uint32_t index, std::int32_t value) {
    bytes[index] = static_cast<std::uint8_t>(std::clamp<std::int32_t>(value, -128, 127) + 128);
}

// Sample `index` (frame x channels + channel) of an 8- or 16-bit buffer.
inline std::int32_t read(const std::uint8_t* bytes, bool sixteen, std::uint32_t index) {
    return sixteen ? read16(bytes, index) : read8(bytes, index);
}

inline void write(std::uint8_t* bytes, bool sixteen, std::uint32_t index, std::int32_t value) {
    if (sixteen)
        write16(bytes, index, value);
    else
        write8(bytes, index, value);
}

}  // namespace audio::samples
