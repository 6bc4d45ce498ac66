#include "platform/linux/sound/wave_backend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/kernel/process_state.h"
#include "platform/linux/kernel/test_clock.h"

namespace platform::detail {

namespace {

// In the order they are tried when SONBRIX_AUDIO is unset; the last is the device of last
// resort, which every other driver falls back to when the host has no device of its kind.
WaveDriver const* const bootstrap[] = {&sdl_wave_driver, &virtual_wave_driver, &null_wave_driver};
WaveDriver const& last_resort = null_wave_driver;

struct Notes {
    std::mutex lock;
    std::set<std::string> settings;
    bool null_device = false;
};

Notes& notes() {
    static auto* const instance = new Notes;  // lives to the process end
    return *instance;
}

std::string chosen_back_end() {
    char const* name = std::getenv("SONBRIX_AUDIO");
    return name ? std::string(name) : std::string();
}

std::string driver_names() {
    std::string names;
    std::size_t const count = std::size(bootstrap);
    for (std::size_t i = 0; i < count; ++i)
        names += std::string(i == 0 ? "" : i + 1 == count ? " or " : ", ") + bootstrap[i]->name;
    return names;
}

// The drivers to try in order, or none when SONBRIX_AUDIO names no driver (so that a
// mistyped choice is seen).
std::vector<WaveDriver const*> drivers_to_try() {
    std::string const chosen = chosen_back_end();
    std::vector<WaveDriver const*> drivers;
    for (WaveDriver const* driver : bootstrap)
        if (chosen.empty() ? !driver->demand_only : chosen == driver->name) drivers.push_back(driver);
    if (drivers.empty()) {
        note_setting_once("SONBRIX_AUDIO=" + chosen + " is not a sound device (" + driver_names() +
                          "); no sound device opens");
        return drivers;
    }
    if (drivers.back() != &last_resort) drivers.push_back(&last_resort);
    return drivers;
}

template <class Device>
std::unique_ptr<Device> open_with(std::unique_ptr<Device> (*WaveDriver::*open)(const WaveFormat&, MMRESULT&),
                                  const WaveFormat& format, MMRESULT& error) {
    std::vector<WaveDriver const*> const drivers = drivers_to_try();
    if (drivers.empty()) {
        error = MMSYSERR_NODRIVER;
        return nullptr;
    }
    for (WaveDriver const* driver : drivers) {
        if (driver == &last_resort && driver != drivers.front()) note_null_device_once();
        error = MMSYSERR_NOERROR;
        if (auto device = (driver->*open)(format, error)) return device;
        if (error != MMSYSERR_NOERROR) return nullptr;
    }
    return nullptr;
}

}  // namespace

std::uint32_t piece_frames(const WaveFormat& format) {
    std::uint32_t const frames = format.rate / 100;  // 10 ms
    return frames == 0 ? 1 : frames;
}

void note_setting_once(const std::string& problem) {
    std::lock_guard guard(notes().lock);
    if (notes().settings.insert(problem).second) std::fprintf(stderr, "sonbrix: %s\n", problem.c_str());
}

void note_null_device_once(const std::string& why) {
    std::lock_guard guard(notes().lock);
    if (std::exchange(notes().null_device, true)) return;
    std::fprintf(stderr, "sonbrix: %s; playing and recording silence\n", why.c_str());
}

void forget_wave_notes() {
    std::lock_guard guard(notes().lock);
    notes().settings.clear();
    notes().null_device = false;
}

std::unique_ptr<WaveOutput> open_wave_output(const WaveFormat& format, MMRESULT& error) {
    return open_with(&WaveDriver::open_output, format, error);
}

std::unique_ptr<WaveInput> open_wave_input(const WaveFormat& format, MMRESULT& error) {
    return open_with(&WaveDriver::open_input, format, error);
}

void WavePacer::wait(std::uint32_t frames) {
    Clock::time_point const now = test_clock_now();
    if (!started_) {
        started_ = true;
        anchor_ = now;
        frames_ = 0;
    }
    frames_ += frames;
    auto const due = anchor_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                   static_cast<double>(frames_) / rate_ / speed_));
    // Far behind (the host was busy): start a new stretch rather than rush to catch up.
    if (now - due > std::chrono::milliseconds(250)) {
        anchor_ = now;
        frames_ = 0;
        wait_on_test_clock(now);  // returns at once unless a test holds the clock
        return;
    }
    wait_on_test_clock(due);
}

}  // namespace platform::detail
