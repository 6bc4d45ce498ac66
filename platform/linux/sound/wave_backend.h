// What a host sound back end gives the shared wave device model (inside the Linux back end
// only). The model (wave_out.cpp, wave_in.cpp) keeps the queue of buffers, their flags and
// the notifications, so that every back end behaves the same to the program; a back end
// only plays or captures bytes at its own pace.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/wave.h"

namespace platform::detail {

struct WaveFormat {
    std::uint32_t channels = 0;
    std::uint32_t bits = 0;
    std::uint32_t rate = 0;

    std::uint32_t frame_bytes() const { return channels * bits / 8; }
};

// The model hands sound over in pieces of this length, so that a pause, reset or stop
// takes effect within one piece.
std::uint32_t piece_frames(const WaveFormat& format);

class WaveOutput {
public:
    virtual ~WaveOutput() = default;
    // Plays whole frames; returns when the device is ready for the next piece.
    virtual void play(const std::uint8_t* bytes, std::uint32_t size) = 0;
    virtual void pause() {}
    virtual void restart() {}
    // Drops what was handed over and not heard yet.
    virtual void discard() {}
    virtual void set_volume(DWORD volume) { static_cast<void>(volume); }
    // Called before the device closes; the output is destroyed by the model's worker.
    virtual void finish() {}
};

class WaveInput {
public:
    virtual ~WaveInput() = default;
    virtual void start() {}
    virtual void stop() {}
    // Captures up to size bytes of whole frames, waiting for at most about one piece of
    // sound; the count captured (0 when nothing came).
    virtual std::uint32_t capture(std::uint8_t* bytes, std::uint32_t size) = 0;
};

// Prints "sonbrix: " and the problem with a setting on stderr, once a process.
void note_setting_once(const std::string& problem);
// Prints "sonbrix: ", why and "; playing and recording silence" on stderr the first time a
// process falls back to the null device.
void note_null_device_once(const std::string& why = "no sound device could be opened");

// One sound driver, as SONBRIX_AUDIO names it. An open gives null with error left
// MMSYSERR_NOERROR when the host has no such device (the model then falls back to the null
// device), or null with an error when the driver refuses the request.
struct WaveDriver {
    const char* name;
    // Opened only when SONBRIX_AUDIO names it, never tried by default.
    bool demand_only;
    std::unique_ptr<WaveOutput> (*open_output)(const WaveFormat& format, MMRESULT& error);
    std::unique_ptr<WaveInput> (*open_input)(const WaveFormat& format, MMRESULT& error);
};

// The drivers, one folder each.
extern const WaveDriver sdl_wave_driver;      // sdl/: the host's devices
extern const WaveDriver virtual_wave_driver;  // virtual/: tests and machines without sound
extern const WaveDriver null_wave_driver;     // null/: the device of last resort

// The back end chosen at each open by SONBRIX_AUDIO (unset: the first driver that is not
// demand-only and has a device). Null with an MMRESULT in error when the open is refused.
std::unique_ptr<WaveOutput> open_wave_output(const WaveFormat& format, MMRESULT& error);
std::unique_ptr<WaveInput> open_wave_input(const WaveFormat& format, MMRESULT& error);

// Whether buffer preparation is refused (the virtual device's test setting).
bool wave_prepare_refused();

// Keeps sound flowing at a multiple of real time: wait(frames) returns when those frames
// would have been heard. A pause or stop is followed by restart(), which starts a new
// stretch from now.
class WavePacer {
public:
    WavePacer(std::uint32_t rate, double speed) : rate_(rate), speed_(speed) {}
    void wait(std::uint32_t frames);
    void restart() { started_ = false; }

private:
    using Clock = std::chrono::steady_clock;
    std::uint32_t rate_;
    double speed_;
    bool started_ = false;
    Clock::time_point anchor_;
    std::uint64_t frames_ = 0;
};

}  // namespace platform::detail
