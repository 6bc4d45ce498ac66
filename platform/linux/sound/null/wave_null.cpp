// The device of last resort: takes sound and gives silence, at real-time pace.
#include <cstring>

#include "platform/linux/sound/wave_backend.h"

namespace platform::detail {

namespace {

class NullOutput : public WaveOutput {
public:
    explicit NullOutput(const WaveFormat& format) : format_(format), pacer_(format.rate, 1.0) {}
    void play(const std::uint8_t*, std::uint32_t size) override { pacer_.wait(size / format_.frame_bytes()); }
    void restart() override { pacer_.restart(); }

private:
    WaveFormat format_;
    WavePacer pacer_;
};

class NullInput : public WaveInput {
public:
    explicit NullInput(const WaveFormat& format) : format_(format), pacer_(format.rate, 1.0) {}
    void start() override { pacer_.restart(); }
    std::uint32_t capture(std::uint8_t* bytes, std::uint32_t size) override {
        std::uint32_t const frames = std::min(size / format_.frame_bytes(), piece_frames(format_));
        pacer_.wait(frames);
        std::uint32_t const count = frames * format_.frame_bytes();
        std::memset(bytes, format_.bits == 8 ? 0x80 : 0, count);
        return count;
    }

private:
    WaveFormat format_;
    WavePacer pacer_;
};

std::unique_ptr<WaveOutput> open_output(const WaveFormat& format, MMRESULT&) {
    return std::make_unique<NullOutput>(format);
}
std::unique_ptr<WaveInput> open_input(const WaveFormat& format, MMRESULT&) { return std::make_unique<NullInput>(format); }

}  // namespace

const WaveDriver null_wave_driver{"null", false, open_output, open_input};

}  // namespace platform::detail
