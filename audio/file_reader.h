#pragma once

#include <cstdint>

namespace audio {

// The one interface through which the system asks a sound file for its format, length
// and position, seeks in it and reads it. Positions and sizes are in the reader's own
// unit: bytes of the data chunk for WAV PCM, blocks for WAV ADPCM and GSM, file bytes for
// MP3, sample frames for Ogg Vorbis and Musepack. Times are seconds.
class FileReader {
public:
    virtual ~FileReader() = default;

    // The file was opened and recognised.
    virtual bool is_valid() = 0;
    virtual bool is_at_end() = 0;
    virtual std::uint32_t get_channels() = 0;
    // Of the PCM that the reader or its decoder delivers.
    virtual std::uint32_t get_bits_per_sample() = 0;
    virtual std::uint32_t get_sample_rate() = 0;
    // Bits per second of the stored data.
    virtual std::uint32_t get_bit_rate() = 0;
    virtual std::uint32_t time_to_bytes(double seconds) = 0;
    virtual double bytes_to_time(std::uint32_t position) = 0;
    virtual double get_duration() { return bytes_to_time(get_size()); }
    virtual double get_time() { return bytes_to_time(get_position()); }
    virtual void set_time(double seconds) { set_position(time_to_bytes(seconds)); }
    virtual std::uint32_t get_size() = 0;
    virtual std::uint32_t get_position() = 0;
    virtual void set_position(std::uint32_t position) = 0;
    // Read that much from the current position and push it to the linked consumer; false
    // when the data ended first or nothing could be read.
    virtual bool read_duration(double seconds) = 0;
    virtual bool read_block(std::uint32_t amount) = 0;
};

}  // namespace audio
