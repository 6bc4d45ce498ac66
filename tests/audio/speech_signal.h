// A deterministic speech-like test signal: a voiced sound whose pitch glides and whose
// loudness rises and falls like syllables, over a little noise.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace audio_test {

// Interleaved 16-bit samples; each channel gets its own pitch so that a swap shows.
inline std::vector<std::int16_t> speech_like(std::uint32_t frames, std::uint32_t channels, std::uint32_t rate) {
    std::vector<std::int16_t> samples(std::size_t{frames} * channels);
    std::uint32_t noise = 12345;
    double const pi = 3.14159265358979323846;
    for (std::uint32_t channel = 0; channel < channels; ++channel) {
        double phase = 0.0;
        for (std::uint32_t i = 0; i < frames; ++i) {
            double const t = static_cast<double>(i) / rate;
            double const pitch = (120.0 + 40.0 * channel) * (1.0 + 0.2 * std::sin(2 * pi * 0.7 * t));
            phase += 2 * pi * pitch / rate;
            double voiced = 0.0;
            for (int harmonic = 1; harmonic <= 12; ++harmonic) {
                double const frequency = harmonic * pitch;
                if (frequency > rate / 2.2) break;
                // Two formant-like bumps near 500 Hz and 1500 Hz.
                double const weight = 1.0 / (1.0 + std::pow((frequency - 500.0) / 200.0, 2)) +
                                      0.5 / (1.0 + std::pow((frequency - 1500.0) / 300.0, 2));
                voiced += weight * std::sin(harmonic * phase);
            }
            double const syllables = 0.55 + 0.45 * std::sin(2 * pi * 4.0 * t);
            noise = noise * 1664525u + 1013904223u;
            double const hiss = (static_cast<double>(noise >> 16) / 65536.0 - 0.5) * 300.0;
            double const value = 6000.0 * syllables * voiced + hiss;
            samples[std::size_t{i} * channels + channel] = static_cast<std::int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
        }
    }
    return samples;
}

inline std::string bytes_of_samples(const std::vector<std::int16_t>& samples) {
    std::string bytes;
    bytes.reserve(samples.size() * 2);
    for (std::int16_t const sample : samples) {
        auto const bits = static_cast<std::uint16_t>(sample);
        bytes += static_cast<char>(bits & 0xFF);
        bytes += static_cast<char>(bits >> 8);
    }
    return bytes;
}

inline std::vector<std::int16_t> samples_of_bytes(const std::string& bytes) {
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                               static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    return samples;
}

// Signal-to-noise ratio in dB of a decoded signal against its source, over the samples
// of the given channel (every channel when channels is 1), on the shorter length.
inline double snr_db(const std::vector<std::int16_t>& source, const std::vector<std::int16_t>& decoded,
                     std::uint32_t channels = 1, std::uint32_t channel = 0) {
    double signal = 0.0;
    double error = 0.0;
    std::size_t const n = std::min(source.size(), decoded.size());
    for (std::size_t i = channel; i < n; i += channels) {
        signal += static_cast<double>(source[i]) * source[i];
        double const difference = static_cast<double>(source[i]) - decoded[i];
        error += difference * difference;
    }
    if (error == 0.0) return 1000.0;
    return 10.0 * std::log10(signal / error);
}

}  // namespace audio_test
