// The thread of audio::RecorderPCM and everything that touches the wave-in device.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "foundation/critical_section.h"
#include "foundation/event.h"
#include "foundation/thread.h"
#include "platform/messages.h"
#include "platform/wave.h"

namespace audio {

class RecorderPCM;

class RecorderPCMImpl : private liba::Thread {
public:
    static constexpr int buffer_count = 20;
    static constexpr std::uint32_t buffer_frames = 5000;
    // Posted by stop behind the buffers the stop handed back.
    static constexpr UINT delivered_message = WM_USER + 1;

    RecorderPCMImpl(std::int32_t channels, std::int32_t rate, std::int32_t bits, RecorderPCM& owner, UINT device_id);
    ~RecorderPCMImpl() override;

    bool start();
    bool stop();
    bool is_stopped();
    bool is_recording();
    std::int32_t get_channels();
    std::int32_t get_bits_per_sample();
    std::int32_t get_sample_rate();
    std::int32_t get_bit_rate();

private:
    void run() override;
    void open(UINT device_id);
    void on_data(WAVEHDR* header);
    bool give_back(WAVEHDR& header);
    bool all_buffers_done();

    liba::CriticalSection lock_;
    RecorderPCM& owner_;
    std::array<WAVEHDR, buffer_count> buffers_{};
    std::array<std::unique_ptr<char[]>, buffer_count> storage_;
    HWAVEIN device_ = nullptr;
    std::uint32_t buffer_size_ = 0;
    bool running_ = true;
    bool stopped_ = false;
    bool closing_ = false;
    std::int32_t channels_;
    std::int32_t sample_rate_;
    std::int32_t bits_per_sample_;
    liba::Event ready_;
    liba::Event delivered_;
};

}  // namespace audio
