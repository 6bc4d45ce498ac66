#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/encoder.h"
#include "audio/file_writer_wav.h"
#include "audio/wav_info.h"

namespace audio {

// Stores PCM in a WAV file (format tag 1, 44-byte header). The first block fixes channels,
// bits and rate; blocks in another format are left out of the file. It is also the
// "encoder" of a PCM record chain, whose bit rate is the header's byte rate x 8.
class FileWriterWAVPCM : public FileWriterWAV<WAVInfoPCM, PCMData>, public Encoder {
public:
    FileWriterWAVPCM(const std::u16string& path, bool append);

    bool set_format(const PCMData& block) override;
    bool write_data(const PCMData& block) override;
    // Bytes of data written.
    std::uint32_t get_position() override;
    std::uint32_t get_bit_rate() override;
};

}  // namespace audio
