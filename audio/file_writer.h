#pragma once

#include <cstdint>

namespace audio {

// What every sound-file writer of a record chain offers to those who watch a recording.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // The writer can still write: nothing has failed yet.
    virtual bool is_open() = 0;
    // How much has been written, in the unit in which the matching reader counts its
    // position (bytes of data for WAV PCM, blocks for WAV ADPCM and GSM), so that a
    // position taken while recording means the same place when the file is played.
    virtual std::uint32_t get_position() = 0;

protected:
    FileWriter() = default;
    FileWriter(const FileWriter&) = default;
    FileWriter& operator=(const FileWriter&) = default;
};

}  // namespace audio
