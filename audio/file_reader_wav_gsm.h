#pragma once

#include <string>

#include "audio/blocks.h"
#include "audio/file_reader_wav_coded.h"
#include "audio/wav_info.h"

namespace audio {

// Reads a WAV file with GSM 6.10 data in 65-byte blocks, pushing at most 10 blocks at a
// time.
class FileReaderWAVGSM : public FileReaderWAVCoded<GSMData, WAVInfoGSM, 10> {
public:
    explicit FileReaderWAVGSM(const std::u16string& path) : FileReaderWAVCoded(path) {}

private:
    GSMData make_data(const liba::SharedBuffer& bytes) const override { return GSMData(bytes); }
};

}  // namespace audio
