#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/blocks.h"
#include "audio/frame_reader.h"

namespace audio {

struct MusepackStream;

// One decoded sample (full scale at 1.0) as a 16-bit sample: rounded to the nearest, halves
// to even, and clipped; what is not a number becomes the lowest value.
std::int16_t mpc_sample_to_16_bits(float sample);

// Reads and decodes a Musepack file (stream versions 7 and 8) to 16-bit PCM. The position
// unit is the sample frame. A decoded frame is handed out in pieces of the size asked for.
class DecoderMPC : public FrameReader {
public:
    explicit DecoderMPC(const std::u16string& path);
    ~DecoderMPC() override;

    // At most that many frames; empty at the end of the stream and on an error in it.
    PCMData get_data(std::uint32_t frames) override;

    bool is_valid() override;
    bool is_at_end() override;
    std::uint32_t get_channels() override;
    std::uint32_t get_sample_rate() override;
    std::uint32_t get_bit_rate() override;
    std::uint32_t get_size() override;
    std::uint32_t get_position() override;
    // The position is the target at once; PCM already decoded is still handed out first.
    void set_position(std::uint32_t frames) override;

private:
    bool decode_frame();
    void seek_version_8(std::uint32_t target);
    bool seek_with_library(std::uint32_t target);
    std::uint64_t block_frames() const;
    bool restart();

    std::unique_ptr<MusepackStream> stream_;
    // Sample frames the library's decoder has produced (or sought to) in the stream.
    std::uint32_t demux_position_ = 0;
    std::uint32_t decoded_ = 0;
    std::uint32_t length_ = 0;
    PCMData pending_;
};

}  // namespace audio
