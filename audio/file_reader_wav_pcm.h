#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/file_reader_wav.h"
#include "audio/stream_ends.h"
#include "audio/wav_info.h"

namespace audio {

// Reads a WAV file with PCM data. The position unit is the byte of the data chunk;
// blocks hold whole sample frames in the header's format.
class FileReaderWAVPCM : public Provider<PCMData>, public FileReaderWAV {
public:
    explicit FileReaderWAVPCM(const std::u16string& path);

    // At most that many frames from the position; empty at the end of the data.
    PCMData get_data(std::uint32_t frames) override;

    std::uint32_t time_to_bytes(double seconds) override;
    double bytes_to_time(std::uint32_t bytes) override;
    std::uint32_t get_size() override;
    std::uint32_t get_position() override;
    // Cut down to a whole frame and kept inside the data.
    void set_position(std::uint32_t bytes) override;
    bool read_duration(double seconds) override;
    // Pushes that many bytes' worth of whole frames, in blocks of at most 5000 frames.
    bool read_block(std::uint32_t bytes) override;
    const WAVInfo* get_format() override { return &info_; }

private:
    WAVInfoPCM info_;
    // Bytes of the data chunk before the file's position, kept here rather than asked of
    // the file on every pull.
    std::uint32_t position_ = 0;
};

}  // namespace audio
