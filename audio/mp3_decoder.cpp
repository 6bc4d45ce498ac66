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
    explicit SampleQuantiser(std::uint32_t bits)
        : shift_(static_cast<int>(MAD_F_FRACBITS + 1 - bits)), kept_bits_(~((std::int64_t{1} << shift_) - 1)) {}

    std::int32_t next(mad_fixed_t sample) {
        std::int64_t const value = std::int64_t{sample} + carry_;
        std::int64_t clipped = value;
        // One test for the common case, inside full scale.
        if (static_cast<std::uint64_t>(value + MAD_F_ONE) >= std::uint64_t{2} * MAD_F_ONE)
            clipped = value < 0 ? -MAD_F_ONE : MAD_F_ONE - 1;
        std::int64_t const kept = clipped & kept_bits_;
        carry_ = value - kept;
        return static_cast<std::int32_t>(kept >> shift_);
    }

private:
    int shift_;
    std::int64_t kept_bits_;
    std::int64_t carry_ = 0;
};

template <std::uint32_t Bytes>
void put_sample(std::uint8_t*& out, std::int32_t value) {
    for (std::uint32_t i = 0; i < Bytes; ++i) *out++ = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// The frame's samples, interleaved, each Bytes wide; gives the end of what was written.
// Bits is the sample width when it is known here (0: bits says).
template <std::uint32_t Bytes, std::uint32_t Bits = 0>
std::uint8_t* quantise(const mad_pcm& pcm, std::uint32_t bits, std::uint8_t* out) {
    unsigned const length = pcm.length;
    mad_fixed_t const* const first = pcm.samples[0];
    mad_fixed_t const* const second = pcm.samples[1];
    SampleQuantiser left(Bits != 0 ? Bits : bits);
    if (pcm.channels != 2) {
        for (unsigned i = 0; i < length; ++i) put_sample<Bytes>(out, left.next(first[i]));
        return out;
    }
    SampleQuantiser right(Bits != 0 ? Bits : bits);
    for (unsigned i = 0; i < length; ++i) {
        put_sample<Bytes>(out, left.next(first[i]));
        put_sample<Bytes>(out, right.next(second[i]));
    }
    return out;
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

    std::uint8_t* out = output;
    if (sample_bytes == 1) out = quantise<1>(pcm, bits, output);
    if (sample_bytes == 2) out = bits == 16 ? quantise<2, 16>(pcm, bits, output) : quantise<2>(pcm, bits, output);
    if (sample_bytes == 3) out = quantise<3>(pcm, bits, output);
    produced = static_cast<std::uint32_t>(out - output);
    consumed = static_cast<std::uint32_t>(state->stream.next_frame - input);
    return 0;
}

}  // namespace audio
