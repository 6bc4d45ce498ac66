#pragma once

// One equalizer band of the settings: centre frequency in Hz, gain in dB, width in octaves,
// and whether the band is in the play chain.
struct EqualizerBand {
    EqualizerBand() = default;
    EqualizerBand(double frequency, double amplitude, double width, bool active)
        : frequency(frequency), amplitude(amplitude), width(width), active(active) {}

    double frequency = 0.0;
    double amplitude = 0.0;
    double width = 0.0;
    bool active = false;
};
