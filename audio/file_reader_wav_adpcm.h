#pragma once

#include <string>

#include "audio/blocks.h"
#include "audio/file_reader_wav_coded.h"
#include "audio/wav_info.h"

namespace audio {

// Reads a WAV file with Microsoft ADPCM data, pushing at most 5 blocks at a time. Its
// blocks carry the header's format.
class FileReaderWAVADPCM : public FileReaderWAVCoded<ADPCMData, WAVInfoADPCM, 5> {
public:
    explicit FileReaderWAVADPCM(const std::u16string& path) : FileReaderWAVCoded(path) {}

private:
    ADPCMData make_data(const liba::SharedBuffer& bytes) const override {
        return ADPCMData(bytes, info_.channels, info_.bits_per_sample, info_.sample_rate, info_.block_align);
    }
};

}  // namespace audio
