// Hooks through which tests steer the virtual sound device (SONBRIX_AUDIO=virtual) and
// look at what it played.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One output device as the virtual device saw it between open and close.
struct VirtualWaveOutput {
    std::uint32_t channels = 0;
    std::uint32_t bits_per_sample = 0;
    std::uint32_t sample_rate = 0;
    std::vector<std::uint8_t> bytes;  // everything played, in order
    std::uint64_t begun = 0;  // bytes the device began to play, those still sounding included
    std::uint32_t volume = 0xFFFFFFFFu;  // the last waveOutSetVolume value
    bool closed = false;
};

// Every virtual output opened by this process since the last reset, oldest first.
std::vector<VirtualWaveOutput> virtual_wave_outputs();

// How many times faster than real time the virtual device runs (> 0). Replaces
// SONBRIX_AUDIO_SPEED.
void set_virtual_wave_speed(double multiple);
// Input from the PCM data of a WAV file (a host path), converted to the format of each
// open device and followed by silence; an empty path returns to the tone. Replaces
// SONBRIX_AUDIO_INPUT ("tone:FREQUENCY" or a WAV file's host path).
void set_virtual_wave_input(const std::string& wav_host_path);
// Opens (of either direction) and buffer preparations fail while set.
void set_virtual_wave_refusals(bool refuse_open, bool refuse_prepare);
// Forgets the outputs seen and every setting made above.
void reset_virtual_wave();

}  // namespace platform
