// Sample-level helpers for the tests of the filters and meters: blocks made from sample
// values, tones, and reading a block's samples back.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "audio/blocks.h"
#include "audio/stream_ends.h"
#include "tests/audio/stream_helpers.h"

namespace filter_test {

// Interleaved 16-bit samples.
inline audio::PCMData pcm16(const std::vector<std::int32_t>& values, std::uint32_t channels = 1,
                            std::uint32_t rate = 22050) {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t value : values) {
        auto const sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(sample & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(sample >> 8));
    }
    return audio::PCMData(liba::SharedBuffer(static_cast<std::uint32_t>(bytes.size()), bytes.data()), channels, 16,
                          rate);
}

// Interleaved 8-bit samples, given as the stored bytes.
inline audio::PCMData pcm8(const std::vector<std::uint8_t>& bytes, std::uint32_t channels = 1,
                           std::uint32_t rate = 22050) {
    return audio::PCMData(liba::SharedBuffer(static_cast<std::uint32_t>(bytes.size()), bytes.data()), channels, 8,
                          rate);
}

inline std::vector<std::int32_t> values16(const audio::PCMData& block) {
    std::vector<std::int32_t> values;
    for (std::int16_t sample : audio_test::samples_of(block)) values.push_back(sample);
    return values;
}

inline std::vector<std::uint8_t> bytes8(const audio::PCMData& block) {
    return std::vector<std::uint8_t>(block.buffer.get_data(), block.buffer.get_data() + block.get_size());
}

// One channel of interleaved values.
inline std::vector<std::int32_t> channel_of(const std::vector<std::int32_t>& values, std::uint32_t channels,
                                            std::uint32_t channel) {
    std::vector<std::int32_t> one;
    for (std::size_t i = channel; i < values.size(); i += channels) one.push_back(values[i]);
    return one;
}

// A sine of the given frequency and amplitude, starting at phase 0, on every channel.
inline std::vector<std::int32_t> sine(std::uint32_t frames, double hertz, double amplitude, std::uint32_t rate,
                                      std::uint32_t channels = 1) {
    std::vector<std::int32_t> values;
    for (std::uint32_t i = 0; i < frames; ++i) {
        auto const value = static_cast<std::int32_t>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hertz * i / rate)));
        for (std::uint32_t c = 0; c < channels; ++c) values.push_back(value);
    }
    return values;
}

// Sign changes from non-negative to negative.
inline int downward_crossings(const std::vector<std::int32_t>& values) {
    int count = 0;
    for (std::size_t i = 1; i < values.size(); ++i)
        if (values[i - 1] >= 0 && values[i] < 0) ++count;
    return count;
}

// Pulls from the stage until the stream ends; every block handed out, in order.
inline std::vector<audio::PCMData> pull_all(audio::Provider<audio::PCMData>& stage, std::uint32_t count,
                                            int most = 100000) {
    std::vector<audio::PCMData> blocks;
    for (int i = 0; i < most; ++i) {
        audio::PCMData block = stage.get_data(count);
        if (block.is_empty()) break;
        blocks.push_back(block);
    }
    return blocks;
}

inline std::vector<std::int32_t> joined_values16(const std::vector<audio::PCMData>& blocks) {
    std::vector<std::int32_t> values;
    for (auto const& block : blocks) {
        auto const part = values16(block);
        values.insert(values.end(), part.begin(), part.end());
    }
    return values;
}

}  // namespace filter_test
