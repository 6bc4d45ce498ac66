#pragma once

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "audio/blocks.h"
#include "audio/stream_ends.h"
#include "foundation/nocopy.h"

namespace audio {

// Coded blocks in, PCM out: the adaptor that a codec's decoder plugs into. Pulled, it
// hands out at most the frames asked for and keeps the rest of a decoded block for the
// next pull; pushed, it decodes each block and pushes the PCM on.
template <class T>
class BlockDecoderPCM : public Provider<PCMData>, public Consumer<T>, private liba::Nocopy {
public:
    ~BlockDecoderPCM() override = default;

    PCMData get_data(std::uint32_t frames) override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        while (pending_.is_empty()) {
            T const in = this->pull_data(get_input_count(frames));
            if (in.is_empty()) break;
            pending_ = decode(in);
        }
        std::uint64_t const wanted = std::uint64_t{frames} * pending_.get_frame_bytes();
        std::uint32_t const size = pending_.get_size();
        std::uint32_t const take = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, size));
        if (take == 0) return PCMData();
        PCMData const result = pending_.with_buffer(liba::SharedBuffer(pending_.buffer, 0, take));
        pending_ = pending_.with_buffer(liba::SharedBuffer(pending_.buffer, take, size - take));
        return result;
    }

    // One coded block (or several whole ones) to PCM, format included.
    virtual PCMData decode(const T& block) = 0;
    // How many input units to pull for that many output frames.
    virtual std::uint32_t get_input_count(std::uint32_t frames) = 0;

    // Forgets decoded sound not yet handed out (the reader moved, or a new stream comes).
    void drop_sound() {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        pending_ = PCMData();
    }

    void on_data(const T& block) override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        PCMData const out = decode(block);
        this->push_data(out);
    }

private:
    PCMData pending_;
};

}  // namespace audio
