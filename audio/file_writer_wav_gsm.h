#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/file_writer_wav.h"
#include "audio/wav_info.h"

namespace audio {

// Stores GSM 6.10 blocks in a WAV file (format tag 49, 8000 Hz mono, 65-byte blocks of 320
// samples, 60-byte header with a "fact" chunk).
class FileWriterWAVGSM : public FileWriterWAV<WAVInfoGSM, GSMData> {
public:
    FileWriterWAVGSM(const std::u16string& path, bool append);

    bool set_format(const GSMData& block) override;
    bool write_data(const GSMData& block) override;
    // Blocks written.
    std::uint32_t get_position() override;
};

}  // namespace audio
