#include "platform/linux/sound/wave_backend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "platform/linux/kernel/test_clock.h"

namespace platform::detail {

namespace {

std::string chosen_back_end() {
    char const* name = std::getenv("SONBRIX_AUDIO");
    return name ? std::string(name) : std::string();
}

// A name that is no back end opens no device, so that a mistyped choice is seen.
bool is_known_back_end(const std::string& name) {
    if (name.empty() || name == "sdl" || name == "virtual" || name == "null") return true;
    note_setting_once("SONBRIX_AUDIO=" + name + " is not a sound device (sdl, virtual or null); no sound device opens");
    return false;
}

void note_null_device_once() {
    static std::atomic<bool> noted{false};
    if (!noted.exchange(true))
        std::fputs("sonbrix: no sound device could be opened; playing and recording silence\n", stderr);
}

}  // namespace

std::uint32_t piece_frames(const WaveFormat& format) {
    std::uint32_t const frames = format.rate / 100;  // 10 ms
    return frames == 0 ? 1 : frames;
}

void note_setting_once(const std::string& problem) {
    static std::mutex lock;
    static std::set<std::string> noted;
    std::lock_guard guard(lock);
    if (noted.insert(problem).second) std::fprintf(stderr, "sonbrix: %s\n", problem.c_str());
}

std::unique_ptr<WaveOutput> open_wave_output(const WaveFormat& format, MMRESULT& error) {
    std::string const back_end = chosen_back_end();
    if (!is_known_back_end(back_end)) {
        error = MMSYSERR_NODRIVER;
        return nullptr;
    }
    if (back_end == "virtual") return open_virtual_output(format, error);
    if (back_end != "null")
        if (auto output = open_sdl_output(format)) return output;
    if (back_end != "null") note_null_device_once();
    return open_null_output(format);
}

std::unique_ptr<WaveInput> open_wave_input(const WaveFormat& format, MMRESULT& error) {
    std::string const back_end = chosen_back_end();
    if (!is_known_back_end(back_end)) {
        error = MMSYSERR_NODRIVER;
        return nullptr;
    }
    if (back_end == "virtual") return open_virtual_input(format, error);
    if (back_end != "null")
        if (auto input = open_sdl_input(format)) return input;
    if (back_end != "null") note_null_device_once();
    return open_null_input(format);
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
