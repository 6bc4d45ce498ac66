// Small stream ends for the audio tests: a provider that hands out queued blocks, a
// consumer that keeps what is pushed into it, and helpers that pull and compare samples.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio_test {

inline std::string bytes_of(const liba::SharedBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.get_data()), buffer.get_size());
}

inline liba::SharedBuffer buffer_of(const std::string& bytes) {
    return liba::SharedBuffer(static_cast<std::uint32_t>(bytes.size()), bytes.data());
}

// 16-bit mono samples counting up from first.
inline audio::PCMData counting_pcm16(std::uint32_t frames, std::int16_t first = 0, std::uint32_t rate = 8000) {
    std::string bytes;
    for (std::uint32_t i = 0; i < frames; ++i) {
        auto const sample = static_cast<std::uint16_t>(first + i);
        bytes += static_cast<char>(sample & 0xFF);
        bytes += static_cast<char>(sample >> 8);
    }
    return audio::PCMData(buffer_of(bytes), 1, 16, rate);
}

inline std::vector<std::int16_t> samples_of(const audio::PCMData& block) {
    std::vector<std::int16_t> samples;
    std::uint8_t const* bytes = block.buffer.get_data();
    for (std::uint32_t i = 0; i + 1 < block.get_size(); i += 2)
        samples.push_back(static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8));
    return samples;
}

// Everything from the provider's position on, pulled as the player pulls (a bounded
// number of pulls, so that a stream that never ends cannot hang the test).
inline std::vector<std::int16_t> pull_rest(audio::Provider<audio::PCMData>& provider,
                                           std::uint32_t frames_per_pull = 16384) {
    std::vector<std::int16_t> samples;
    for (int pulls = 0; pulls < 1000000; ++pulls) {
        audio::PCMData const block = provider.get_data(frames_per_pull);
        if (block.is_empty()) break;
        std::vector<std::int16_t> const more = samples_of(block);
        samples.insert(samples.end(), more.begin(), more.end());
    }
    return samples;
}

// The largest difference between a[i] and b[i + from_b] where both exist.
inline int largest_difference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                              std::size_t from_b = 0) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size() && i + from_b < b.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i + from_b]));
    return largest;
}

template <class T>
class QueueProvider : public audio::Provider<T> {
public:
    T get_data(std::uint32_t count) override {
        requests.push_back(count);
        if (blocks.empty()) return T();
        T const block = blocks.front();
        blocks.pop_front();
        return block;
    }

    std::deque<T> blocks;
    std::vector<std::uint32_t> requests;
};

template <class T>
class Collector : public audio::Consumer<T> {
public:
    void on_data(const T& block) override { blocks.push_back(block); }

    std::string all_bytes() const {
        std::string bytes;
        for (auto const& block : blocks) bytes += bytes_of(block.buffer);
        return bytes;
    }

    std::vector<T> blocks;
};

}  // namespace audio_test
