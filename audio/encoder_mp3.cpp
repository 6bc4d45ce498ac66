#include "audio/encoder_mp3.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace audio {

namespace {

bool is_encodable(const PCMData& block) {
    return block.get_size() != 0 && block.sample_rate != 0 && (block.bits_per_sample == 8 || block.bits_per_sample == 16) &&
           (block.channels == 1 || block.channels == 2);
}

}  // namespace

EncoderMP3::EncoderMP3(std::uint32_t bit_rate) : bit_rate_(bit_rate) {}

EncoderMP3::~EncoderMP3() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    finish();
}

void EncoderMP3::set_info_frame(bool wanted) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    info_frame_wanted_ = wanted;
}

std::vector<std::uint8_t> EncoderMP3::end_stream() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    finish();
    return info_frame_;
}

void EncoderMP3::on_data(const PCMData& block) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (!is_encodable(block)) return;
    if (block.channels != channels_ || block.sample_rate != sample_rate_ || block.bits_per_sample != bits_) {
        finish();
        channels_ = block.channels;
        sample_rate_ = block.sample_rate;
        bits_ = block.bits_per_sample;
    }
    if (encoder_ == nullptr && !start(block)) return;

    std::uint32_t const chunk = frame_samples_ * block.get_frame_bytes();
    std::uint8_t const* bytes = block.buffer.get_data();
    std::uint32_t rest = block.get_size();
    while (pending_fill_ + rest >= chunk) {
        std::uint32_t const taken = chunk - pending_fill_;
        std::memcpy(pending_ + pending_fill_, bytes, taken);
        bytes += taken;
        rest -= taken;
        pending_fill_ = 0;
        encode(pending_, frame_samples_);
    }
    std::memcpy(pending_ + pending_fill_, bytes, rest);
    pending_fill_ += rest;
}

bool EncoderMP3::start(const PCMData& format) {
    pending_fill_ = 0;
    lame_global_flags* const encoder = lame_init();
    if (encoder == nullptr) return false;
    lame_set_in_samplerate(encoder, static_cast<int>(format.sample_rate));
    lame_set_num_channels(encoder, static_cast<int>(format.channels));
    lame_set_brate(encoder, static_cast<int>(bit_rate_ / 1000));
    lame_set_bWriteVbrTag(encoder, info_frame_wanted_ ? 1 : 0);
    int const frame_samples = lame_init_params(encoder) < 0 ? 0 : lame_get_framesize(encoder);
    if (frame_samples <= 0 || static_cast<std::uint32_t>(frame_samples) > max_frame_samples) {
        lame_close(encoder);
        return false;
    }
    frame_samples_ = static_cast<std::uint32_t>(frame_samples);
    encoder_ = encoder;
    return true;
}

// Ends the stream of the current encoder: what is gathered is encoded (the encoder pads
// the last frame with silence) and the last frames are pushed on.
void EncoderMP3::finish() {
    if (encoder_ == nullptr) return;
    std::uint32_t const frame_bytes = (bits_ / 8) * channels_;
    std::uint32_t const frames = pending_fill_ / frame_bytes;
    if (frames > 0) encode(pending_, frames);
    pending_fill_ = 0;
    push_output(lame_encode_flush(encoder_, output_, output_size));
    if (info_frame_wanted_) {
        std::size_t const size = lame_get_lametag_frame(encoder_, output_, output_size);
        if (size > 0 && size <= output_size) info_frame_.assign(output_, output_ + size);
        info_frame_wanted_ = false;
    }
    lame_close(encoder_);
    encoder_ = nullptr;
}

void EncoderMP3::encode(const std::uint8_t* bytes, std::uint32_t frames) {
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (std::uint32_t channel = 0; channel < channels_; ++channel) {
            std::int16_t sample;
            if (bits_ == 16) {
                sample = static_cast<std::int16_t>(bytes[0] | bytes[1] << 8);
                bytes += 2;
            } else {
                sample = static_cast<std::int16_t>((*bytes++ - 128) * 256);
            }
            (channel == 0 ? left_ : right_)[i] = sample;
        }
        if (channels_ == 1) right_[i] = 0;
    }
    push_output(lame_encode_buffer(encoder_, left_, right_, static_cast<int>(frames), output_, output_size));
}

// An error pushes nothing; an empty result pushes an empty block, as every call does.
void EncoderMP3::push_output(int count) {
    if (count < 0) return;
    push_data(MP3Data(liba::SharedBuffer(static_cast<std::uint32_t>(count), output_), static_cast<std::uint32_t>(count)));
}

}  // namespace audio
