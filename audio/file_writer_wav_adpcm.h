#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/file_writer_wav.h"
#include "audio/wav_info.h"

namespace audio {

// Stores Microsoft ADPCM blocks in a WAV file (format tag 2, 90-byte header with the
// standard coefficient table and a "fact" chunk). The first block fixes channels (1 or 2),
// rate and block align; blocks in another format are left out of the file.
class FileWriterWAVADPCM : public FileWriterWAV<WAVInfoADPCM, ADPCMData> {
public:
    FileWriterWAVADPCM(const std::u16string& path, bool append);

    bool set_format(const ADPCMData& block) override;
    bool write_data(const ADPCMData& block) override;
    // Blocks written.
    std::uint32_t get_position() override;
    // The last block written ends in that many frames of padding: the "fact" sample count
    // leaves them out, so that it holds the samples that were recorded.
    void set_padding(std::uint32_t frames);
};

}  // namespace audio
