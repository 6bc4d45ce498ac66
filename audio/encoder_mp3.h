#pragma once

#include <cstdint>
#include <vector>

#include "audio/blocks.h"
#include "audio/encoder.h"
#include "audio/stream_ends.h"

struct lame_global_struct;

namespace audio {

// 8- and 16-bit PCM (mono or stereo) to MP3 at a constant bit rate, pushed on as the
// encoder gives out bytes (a block may hold part of a frame or several frames). The
// encoder is made for the format of the first block and made again when the format
// changes. When a stream ends (a format change, or the encoder going away) the PCM still
// gathered is encoded, the encoder's last frames are pushed on, and only then is the old
// encoder dropped: so the stage that writes must still be linked when this one is
// destroyed.
class EncoderMP3 : public Consumer<PCMData>, public Provider<MP3Data>, public Encoder {
public:
    // Bits per second.
    explicit EncoderMP3(std::uint32_t bit_rate);
    ~EncoderMP3() override;

    void on_data(const PCMData& block) override;
    // Whether the stream begins with the place for the encoder's tag frame (LAME's "Info"
    // frame, which tells players the stream's length and its padding): a new file does,
    // an appended stream does not (the file's start lies elsewhere). On by default.
    void set_info_frame(bool wanted);
    // Ends the stream as the destructor does; gives the tag frame that belongs in the
    // place the stream began with (empty when there is none).
    std::vector<std::uint8_t> end_stream();
    // Not a pulled stage: always empty.
    MP3Data get_data(std::uint32_t) override { return MP3Data(); }
    std::uint32_t get_bit_rate() override { return bit_rate_; }

private:
    static constexpr std::uint32_t max_frame_samples = 1152;
    // The worst case of one encoding call as the encoder documents it, which also covers
    // the last frames.
    static constexpr std::uint32_t output_size = max_frame_samples * 5 / 4 + 7200;

    bool start(const PCMData& format);
    void finish();
    void encode(const std::uint8_t* bytes, std::uint32_t frames);
    void push_output(int count);

    std::uint8_t pending_[max_frame_samples * 4] = {};
    std::uint32_t pending_fill_ = 0;
    std::int16_t left_[max_frame_samples] = {};
    std::int16_t right_[max_frame_samples] = {};
    std::uint8_t output_[output_size] = {};
    lame_global_struct* encoder_ = nullptr;
    std::uint32_t bit_rate_;
    std::uint32_t channels_ = 0;
    std::uint32_t sample_rate_ = 0;
    std::uint32_t bits_ = 0;
    // Sample frames of one encoder frame.
    std::uint32_t frame_samples_ = 0;
    // Only the first encoder of a stream leaves the place for the tag frame.
    bool info_frame_wanted_ = true;
    std::vector<std::uint8_t> info_frame_;
};

}  // namespace audio
