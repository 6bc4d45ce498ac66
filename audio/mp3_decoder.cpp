#include "audio/mp3_decoder.h"

#include <mad.h>

#include <cstdlib>

namespace audio {

struct MP3DecoderState {
    mad_stream stream;
    mad_frame frame;
    mad_synth synth;
};

namespace {

// Rounds one fixed-point channel down to bits, carrying what was cut into the next
// sample (noise shaping of the first order), and clips to full scale.
class SampleQuantiser {
public:
    explicit SampleQuantiser(std::uint32_t bits) : shift_(static_cast<int>(MAD_F_FRACBITS + 1 - bits)) {}

    std::int32_t next(mad_fixed_t sample) {
        std::int64_t const value = std::int64_t{sample} + carry_;
        std::int64_t clipped = value;
        if (clipped < -MAD_F_ONE) clipped = -MAD_F_ONE;
        if (clipped > MAD_F_ONE - 1) clipped = MAD_F_ONE - 1;
        std::int64_t const kept = clipped & ~((std::int64_t{1} << shift_) - 1);
        carry_ = value - kept;
        return static_cast<std::int32_t>(kept >> shift_);
    }

private:
    int shift_;
    std::int64_t carry_ = 0;
};

void put_sample(std::uint8_t*& out, std::int32_t value, std::uint32_t bytes) {
    for (std::uint32_t i = 0; i < bytes; ++i) *out++ = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

}  // namespace

MP3DecoderState* mp3_decoder_create() {
    auto* const state = static_cast<MP3DecoderState*>(std::calloc(1, sizeof(MP3DecoderState)));
    if (state == nullptr) return nullptr;
    mad_stream_init(&state->stream);
    mad_frame_init(&state->frame);
    mad_synth_init(&state->synth);
    return state;
}

void mp3_decoder_destroy(MP3DecoderState* state) {
    if (state == nullptr) return;
    mad_frame_finish(&state->frame);
    mad_stream_finish(&state->stream);
    std::free(state);
}

int mp3_decoder_decode(MP3DecoderState* state, const std::uint8_t* input, std::uint32_t input_size,
                       std::uint8_t* output, std::uint32_t output_capacity, std::uint32_t& consumed,
                       std::uint32_t& produced, std::uint32_t bits, bool half_rate) {
    consumed = produced = 0;
    if (bits == 0 || bits > 24) return -2;
    mad_stream_buffer(&state->stream, input, input_size);
    if (mad_frame_decode(&state->frame, &state->stream) != 0) {
        if (state->stream.error == MAD_ERROR_BUFLEN) return 1;
        return MAD_RECOVERABLE(state->stream.error) ? -1 : -2;
    }
    mad_stream_options(&state->stream, half_rate ? MAD_OPTION_HALFSAMPLERATE : 0);
    mad_synth_frame(&state->synth, &state->frame);

    mad_pcm const& pcm = state->synth.pcm;
    std::uint32_t const sample_bytes = (bits + 7) / 8;
    std::uint64_t const needed = std::uint64_t{pcm.length} * pcm.channels * bits / 8;
    if (output_capacity < needed || std::uint64_t{pcm.length} * pcm.channels * sample_bytes > output_capacity)
        return 2;

    SampleQuantiser left(bits);
    SampleQuantiser right(bits);
    std::uint8_t* out = output;
    for (unsigned i = 0; i < pcm.length; ++i) {
        put_sample(out, left.next(pcm.samples[0][i]), sample_bytes);
        if (pcm.channels == 2) put_sample(out, right.next(pcm.samples[1][i]), sample_bytes);
    }
    produced = static_cast<std::uint32_t>(out - output);
    consumed = static_cast<std::uint32_t>(state->stream.next_frame - input);
    return 0;
}

}  // namespace audio
