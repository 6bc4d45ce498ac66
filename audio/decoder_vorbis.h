#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/blocks.h"
#include "audio/frame_reader.h"

namespace audio {

struct VorbisStream;

// Reads and decodes an Ogg Vorbis file to 16-bit PCM. The position unit is the sample
// frame. A file that is not Ogg Vorbis is not valid.
class DecoderVorbis : public FrameReader {
public:
    explicit DecoderVorbis(const std::u16string& path);
    ~DecoderVorbis() override;

    // At most that many frames (and at most 8192): what the decoder gives in one go. Empty
    // at the end of the stream and on an error in it; a gap in the stream is passed over.
    PCMData get_data(std::uint32_t frames) override;

    bool is_valid() override;
    bool is_at_end() override;
    std::uint32_t get_channels() override;
    std::uint32_t get_sample_rate() override;
    std::uint32_t get_bit_rate() override;
    std::uint32_t get_size() override;
    std::uint32_t get_position() override;
    void set_position(std::uint32_t frames) override;

private:
    std::unique_ptr<VorbisStream> stream_;
};

}  // namespace audio
