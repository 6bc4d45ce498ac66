#include "audio/gsm_codec.h"

#include <gsm.h>

#include <cstring>

namespace audio {

namespace {

constexpr std::uint32_t frame_samples = 160;
// Where the second frame of a block goes when encoding and where it is read when
// decoding: the first frame ends in the half byte that the second one begins with.
constexpr std::uint32_t second_frame_written_at = 32;
constexpr std::uint32_t second_frame_read_at = 33;

}  // namespace

GSMCodec::GSMCodec() : state_(gsm_create()) {
    int on = 1;
    if (state_ != nullptr) gsm_option(state_, GSM_OPT_WAV49, &on);
}

GSMCodec::~GSMCodec() {
    if (state_ != nullptr) gsm_destroy(state_);
}

void GSMCodec::encode_block(const std::int16_t* samples, std::uint8_t* block) {
    std::memset(block, 0, block_bytes);
    if (state_ == nullptr) return;
    // libgsm takes its input through a pointer to non-const.
    gsm_signal frame[frame_samples];
    std::memcpy(frame, samples, sizeof frame);
    gsm_encode(state_, frame, block);
    std::memcpy(frame, samples + frame_samples, sizeof frame);
    gsm_encode(state_, frame, block + second_frame_written_at);
}

void GSMCodec::decode_block(const std::uint8_t* block, std::int16_t* samples) {
    if (state_ == nullptr) {
        std::memset(samples, 0, block_samples * sizeof *samples);
        return;
    }
    gsm_byte bytes[block_bytes];
    std::memcpy(bytes, block, block_bytes);
    gsm_decode(state_, bytes, samples);
    gsm_decode(state_, bytes + second_frame_read_at, samples + frame_samples);
}

}  // namespace audio
