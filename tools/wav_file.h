// What the command-line tools need of WAV files on the host: writing PCM as it comes, and
// saying why a file is not one the player takes.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace tools {

// A PCM WAV file written block by block; the sizes in its header are set by finish().
class WavFileWriter {
public:
    WavFileWriter(const std::string& path, std::uint32_t channels, std::uint32_t bits, std::uint32_t rate);
    bool is_open() const { return static_cast<bool>(file_); }
    void write(const std::uint8_t* bytes, std::uint64_t count);
    // Writes the sizes into the header and closes; false when anything could not be written.
    bool finish();

private:
    std::ofstream file_;
    std::uint32_t channels_;
    std::uint32_t bits_;
    std::uint32_t rate_;
    std::uint64_t data_size_ = 0;
};

// Why the player refuses the file, in a few words: not a WAV file, the encoding it holds
// ("WAVE_FORMAT_EXTENSIBLE holding 24-bit PCM", "format tag 0x0055"), or a damaged header.
std::string why_wav_is_not_playable(const std::string& path);

}  // namespace tools
