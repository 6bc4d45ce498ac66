#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/file_reader_wav.h"
#include "audio/stream_ends.h"
#include "audio/wav_info.h"

namespace audio {

// Reads a WAV file with GSM 6.10 data. The position unit is the 65-byte block; only whole
// blocks are delivered. The bits per sample it reports are those of the decoded PCM (16).
class FileReaderWAVGSM : public Provider<GSMData>, public FileReaderWAV {
public:
    explicit FileReaderWAVGSM(const std::u16string& path);

    // At most that many blocks from the position.
    GSMData get_data(std::uint32_t blocks) override;

    std::uint32_t get_bits_per_sample() override { return 16; }
    std::uint32_t time_to_bytes(double seconds) override;
    double bytes_to_time(std::uint32_t blocks) override;
    // The blocks that the "fact" sample count makes.
    std::uint32_t get_size() override;
    std::uint32_t get_position() override;
    void set_position(std::uint32_t block) override;
    bool read_duration(double seconds) override;
    // Pushes that many blocks, at most 10 at a time.
    bool read_block(std::uint32_t blocks) override;
    const WAVInfo* get_format() override { return &info_; }

private:
    WAVInfoGSM info_;
    std::uint32_t index_ = 0;
};

}  // namespace audio
