// The thread of audio::PlayerPCM and everything that touches the wave-out device.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "audio/blocks.h"
#include "foundation/event.h"
#include "foundation/thread.h"
#include "platform/wave.h"

namespace audio {

class PlayerPCM;

class PlayerPCMImpl : private liba::Thread {
public:
    static constexpr int buffer_count = 6;
    static constexpr std::uint32_t buffer_milliseconds = 200;
    static constexpr std::uint32_t pull_frames = 16384;

    explicit PlayerPCMImpl(PlayerPCM& owner);
    // Ends the thread, which resets and closes an open device on its way out.
    ~PlayerPCMImpl() override;

    bool request_play();
    bool request_pause();
    bool request_stop_playing();
    bool is_pause_requested() const { return pause_requested_.load(); }
    void set_volume(double volume);
    double get_volume();
    bool is_open();
    bool has_device_failed();

    // Bytes of 200 ms of sound in the format: (rate x 200 / 1000) x block align.
    static std::uint32_t buffer_size_for(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate);

private:
    enum State : std::uint32_t { closed = 0, playing = 1, draining = 2 };

    void run() override;
    bool post_command();

    void on_open(HWAVEOUT device);
    void on_close();
    void on_done(WAVEHDR* header);
    void on_command();

    void open_device();
    bool fill_buffers();
    bool fill_one(WAVEHDR& header);
    void write_buffer(WAVEHDR& header);
    void refill_or_close();
    bool all_buffers_free() const;
    void apply_volume();
    void apply_pause();
    void give_up_device();

    HWAVEOUT device_ = nullptr;
    std::array<WAVEHDR, buffer_count> buffers_{};
    std::array<std::unique_ptr<char[]>, buffer_count> storage_;
    double volume_ = 1.0;
    PlayerPCM& owner_;
    std::uint32_t channels_ = 0;
    std::uint32_t bits_ = 0;
    std::uint32_t rate_ = 0;
    std::uint32_t buffer_size_ = 0;
    PCMData pending_;
    liba::Event ready_;
    State state_ = closed;
    bool paused_ = false;
    bool device_failed_ = false;
    std::atomic<bool> play_requested_{false};
    std::atomic<bool> pause_requested_{false};
};

}  // namespace audio
