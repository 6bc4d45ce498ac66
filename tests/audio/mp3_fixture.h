// MPEG audio frames built byte by byte, and the command-line tools that make and decode
// real sound files for the MP3, Ogg Vorbis and Musepack tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/mp3_header.h"
#include "tests/audio/speech_signal.h"
#include "tests/support/shell_tools.h"
#include "tests/support/test_device.h"

namespace audio_test {

enum class MpegVersion : std::uint32_t { mpeg1 = 3, mpeg2 = 2, mpeg25 = 0 };

// The 4 header bytes: no CRC, the given indexes, stereo unless mono.
inline std::string mp3_header_bytes(MpegVersion version, std::uint32_t layer, std::uint32_t bit_rate_index,
                                     std::uint32_t rate_index, bool pad = false, bool mono = false) {
    std::uint32_t const word = 0xFFE00000u | static_cast<std::uint32_t>(version) << 19 | (4 - layer) << 17 | 1u << 16 |
                               bit_rate_index << 12 | rate_index << 10 | (pad ? 1u : 0u) << 9 | (mono ? 3u : 0u) << 6;
    return {static_cast<char>(word >> 24), static_cast<char>(word >> 16), static_cast<char>(word >> 8),
            static_cast<char>(word)};
}

// One whole frame: the header and zeros, which decode as silence.
inline std::string mp3_frame(MpegVersion version, std::uint32_t layer, std::uint32_t bit_rate_index,
                             std::uint32_t rate_index, bool pad = false, bool mono = false) {
    std::string frame = mp3_header_bytes(version, layer, bit_rate_index, rate_index, pad, mono);
    audio::MP3FrameHeader header;
    EXPECT_TRUE(audio::mp3_header_parse(reinterpret_cast<const std::uint8_t*>(frame.data()), header));
    frame.resize(header.frame_length, '\0');
    return frame;
}

// MPEG-1 layer III, 44100 Hz stereo: 128 kbit/s (417 bytes) unless another index is given.
inline std::string silent_frames(int count, std::uint32_t bit_rate_index = 9) {
    std::string frames;
    for (int i = 0; i < count; ++i) frames += mp3_frame(MpegVersion::mpeg1, 3, bit_rate_index, 0);
    return frames;
}

inline std::string quoted(const std::string& path) { return "'" + path + "'"; }

// Runs a shell command; its diagnostics go to the test's output.
inline bool run_tool(const std::string& command) {
    int const status = std::system((command + " </dev/null").c_str());
    EXPECT_EQ(0, status) << command;
    return status == 0;
}

using testing_support::have_tool;

// A raw file of interleaved 16-bit samples.
inline std::vector<std::int16_t> read_raw(const std::string& path) {
    return samples_of_bytes(testing_support::read_host_file(path));
}

// A speech-like sound as a WAV file, made with sox from raw samples.
inline void write_wav(const std::string& path, const std::vector<std::int16_t>& samples, std::uint32_t channels,
                      std::uint32_t rate) {
    testing_support::write_host_file(path + ".raw", bytes_of_samples(samples));
    run_tool("sox -t raw -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
             " -b 16 -e signed-integer -L " + quoted(path + ".raw") + " " + quoted(path));
}

// How b lines up with a: b[i + shift] matches a[i]. The shift is the one (up to max_shift
// either way) at which the first samples of a (from `from`, `window` of them) agree best;
// the largest difference is then taken over everything that overlaps.
struct Alignment {
    std::ptrdiff_t shift = 0;
    int largest_difference = 0;
    std::size_t overlap = 0;
};

inline int largest_difference_at(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                                 std::ptrdiff_t shift, std::size_t from, std::size_t count, std::size_t& overlap) {
    int largest = 0;
    overlap = 0;
    for (std::size_t i = from; i < std::min(a.size(), from + count); ++i) {
        std::ptrdiff_t const j = static_cast<std::ptrdiff_t>(i) + shift;
        if (j < 0 || static_cast<std::size_t>(j) >= b.size()) continue;
        largest = std::max(largest, std::abs(a[i] - b[static_cast<std::size_t>(j)]));
        ++overlap;
    }
    return largest;
}

inline Alignment best_alignment(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                                std::ptrdiff_t max_shift, std::size_t from = 0, std::size_t window = 4000) {
    Alignment best{0, 1 << 20, 0};
    for (std::ptrdiff_t shift = -max_shift; shift <= max_shift; ++shift) {
        std::size_t overlap = 0;
        int const largest = largest_difference_at(a, b, shift, from, window, overlap);
        if (overlap == window && largest < best.largest_difference) best = {shift, largest, overlap};
    }
    best.largest_difference = largest_difference_at(a, b, best.shift, 0, a.size(), best.overlap);
    return best;
}

}  // namespace audio_test
