#pragma once

#include <cstdint>

namespace audio {

// A thin layer over the MPEG audio decoding library: one state per stream, fed one frame
// at a time (with the bytes that follow it), each frame synthesised to interleaved
// little-endian signed PCM.
struct MP3DecoderState;

// A fresh state; null when it cannot be allocated.
MP3DecoderState* mp3_decoder_create();
void mp3_decoder_destroy(MP3DecoderState* state);

// Decodes the frame at the start of input into output. Results: 0 decoded (consumed and
// produced say how many bytes); 1 the input ran short of a whole frame; -1 a recoverable
// error in this frame; -2 any other decoding error; 2 the output cannot hold the frame.
// bits is the output sample width, at most 24; half_rate asks for every other sample.
int mp3_decoder_decode(MP3DecoderState* state, const std::uint8_t* input, std::uint32_t input_size,
                       std::uint8_t* output, std::uint32_t output_capacity, std::uint32_t& consumed,
                       std::uint32_t& produced, std::uint32_t bits = 16, bool half_rate = false);

}  // namespace audio
