#include "audio/adpcm.h"

#include <algorithm>
#include <cstdlib>

namespace audio::adpcm {

const std::pair<int, int> coefficients[coefficient_count] = {{256, 0},   {512, -256}, {0, 0},      {192, 64},
                                                             {240, 0},   {460, -208}, {392, -232}};

const int adaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

namespace {

constexpr int minimum_delta = 16;
// Far above any step a real encoder reaches; it only keeps a damaged block from
// overflowing the arithmetic.
constexpr std::int64_t maximum_delta = 1 << 24;
constexpr std::uint32_t header_bytes_per_channel = 7;

int clamp_sample(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, -32768, 32767)); }

int signed_code(unsigned code) { return code >= 8 ? static_cast<int>(code) - 16 : static_cast<int>(code); }

std::int16_t read_i16(const std::uint8_t* bytes) { return static_cast<std::int16_t>(bytes[0] | bytes[1] << 8); }

void write_i16(std::uint8_t* bytes, int value) {
    bytes[0] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
}

void start_channel(ChannelState& state, int predictor, int delta, int sample1, int sample2) {
    state.coefficient1 = coefficients[predictor].first;
    state.coefficient2 = coefficients[predictor].second;
    state.delta = delta;
    state.sample1 = sample1;
    state.sample2 = sample2;
}

// The block header of every channel: predictor indices, deltas, sample 1s, sample 2s.
struct BlockHeader {
    const std::uint8_t* bytes;
    std::uint32_t channels;

    int predictor(std::uint32_t channel) const { return bytes[channel]; }
    int delta(std::uint32_t channel) const { return read_i16(bytes + channels + 2 * channel); }
    int sample1(std::uint32_t channel) const { return read_i16(bytes + 3 * channels + 2 * channel); }
    int sample2(std::uint32_t channel) const { return read_i16(bytes + 5 * channels + 2 * channel); }
};

// The code of coded sample i (counted from the first coded one) of the channel.
unsigned code_at(const std::uint8_t* codes, std::uint32_t channels, std::uint32_t i, std::uint32_t channel) {
    std::uint32_t const nibble = i * channels + channel;
    std::uint8_t const byte = codes[nibble / 2];
    return nibble % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

void put_code(std::uint8_t* codes, std::uint32_t nibble, unsigned code) {
    std::uint8_t& byte = codes[nibble / 2];
    if (nibble % 2 == 0) byte = static_cast<std::uint8_t>((byte & 0x0F) | code << 4);
    else byte = static_cast<std::uint8_t>((byte & 0xF0) | code);
}

}  // namespace

std::uint32_t block_align_for(std::uint32_t sample_rate, std::uint32_t channels) {
    std::uint32_t per_channel = 2048;
    if (sample_rate < 22050) per_channel = 256;
    else if (sample_rate < 44100) per_channel = 512;
    else if (sample_rate < 96000) per_channel = 1024;
    return per_channel * channels;
}

std::uint32_t samples_per_block(std::uint32_t block_align, std::uint32_t channels, std::uint32_t bits) {
    if (channels == 0 || bits == 0 || block_align < header_bytes_per_channel * channels) return 0;
    std::uint64_t const samples =
        std::uint64_t{block_align - header_bytes_per_channel * channels} * 8 / (std::uint64_t{bits} * channels) + 2;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(samples, 0xFFFFFFFFu));
}

std::uint32_t bit_rate(std::uint32_t block_align, std::uint32_t channels, std::uint32_t sample_rate) {
    std::uint32_t const samples = samples_per_block(block_align, channels);
    if (samples == 0) return 0;
    return static_cast<std::uint32_t>(std::uint64_t{block_align} * 8 * sample_rate / samples);
}

int ChannelState::predict() const { return (sample1 * coefficient1 + sample2 * coefficient2) >> 8; }

void ChannelState::advance(int value, unsigned code) {
    sample2 = sample1;
    sample1 = value;
    std::int64_t const next = std::int64_t{adaptation[code & 15]} * delta >> 8;
    delta = static_cast<int>(std::clamp<std::int64_t>(next, minimum_delta, maximum_delta));
}

int decode_code(ChannelState& state, unsigned code) {
    int const value = clamp_sample(state.predict() + std::int64_t{state.delta} * signed_code(code));
    state.advance(value, code);
    return value;
}

void decode_block(const std::uint8_t* block, std::uint32_t channels, std::uint32_t samples, std::int16_t* output) {
    if ((channels != 1 && channels != 2) || samples < 2) return;
    BlockHeader const header{block, channels};
    ChannelState states[2];
    for (std::uint32_t channel = 0; channel < channels; ++channel) {
        if (header.predictor(channel) >= coefficient_count) return;
        start_channel(states[channel], header.predictor(channel), header.delta(channel), header.sample1(channel),
                      header.sample2(channel));
    }
    for (std::uint32_t channel = 0; channel < channels; ++channel) {
        output[channel] = static_cast<std::int16_t>(states[channel].sample2);
        output[channels + channel] = static_cast<std::int16_t>(states[channel].sample1);
    }
    const std::uint8_t* const codes = block + header_bytes_per_channel * channels;
    for (std::uint32_t i = 0; i + 2 < samples; ++i) {
        for (std::uint32_t channel = 0; channel < channels; ++channel) {
            int const value = decode_code(states[channel], code_at(codes, channels, i, channel));
            output[(i + 2) * channels + channel] = static_cast<std::int16_t>(value);
        }
    }
}

int encode_block(const std::int16_t* input, std::uint32_t channels, std::uint32_t samples, int predictor,
                 std::uint8_t* block) {
    ChannelState states[2];
    for (std::uint32_t channel = 0; channel < channels; ++channel) {
        int const first = input[channel];
        int const second = input[channels + channel];
        start_channel(states[channel], predictor, minimum_delta, second, first);
        block[channel] = static_cast<std::uint8_t>(predictor);
        write_i16(block + channels + 2 * channel, minimum_delta);
        write_i16(block + 3 * channels + 2 * channel, second);
        write_i16(block + 5 * channels + 2 * channel, first);
    }
    std::uint8_t* const codes = block + header_bytes_per_channel * channels;
    int largest_error = 0;
    for (std::uint32_t i = 0; i + 2 < samples; ++i) {
        for (std::uint32_t channel = 0; channel < channels; ++channel) {
            ChannelState& state = states[channel];
            int const x = input[(i + 2) * channels + channel];
            int const predicted = state.predict();
            int const code = std::clamp((x - predicted) / state.delta, -8, 7);
            int const value = clamp_sample(predicted + std::int64_t{state.delta} * code);
            largest_error = std::max(largest_error, std::abs(value - x));
            state.advance(value, static_cast<unsigned>(code) & 15);
            put_code(codes, i * channels + channel, static_cast<unsigned>(code) & 15);
        }
    }
    return largest_error;
}

}  // namespace audio::adpcm
