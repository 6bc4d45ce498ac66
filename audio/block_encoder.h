#pragma once

#include <cstdint>
#include <cstring>
#include <mutex>

#include "audio/blocks.h"
#include "audio/stream_ends.h"
#include "foundation/nocopy.h"

namespace audio {

// PCM in, coded blocks out: the adaptor that a codec's encoder plugs into. It gathers PCM
// of the first block's format into blocks of exactly one coded block's worth of frames
// and encodes each full one; PCM in any other format is dropped. The end of the stream (an
// empty block pushed, or finish) pads what is gathered with silence and encodes it, so
// that no recorded sound is lost. Whoever ends a recording finishes the stream while the
// next stage is still linked (the record chains do); destroying the encoder does not.
template <class T>
class BlockEncoderPCM : public Consumer<PCMData>, public Provider<T>, private liba::Nocopy {
public:
    // Pushed: emits one coded block each time a full block has been gathered; leftover
    // bytes wait for the next call.
    void on_data(const PCMData& in) override {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        if (in.is_empty()) {
            finish();
            return;
        }
        if (push_block_.is_empty()) {
            push_block_ = make_block(in);
            push_fill_ = 0;
        }
        if (push_block_.is_empty() || !in.has_format_of(push_block_)) return;
        std::uint32_t offset = 0;
        while (offset < in.get_size()) {
            liba::SharedBuffer const rest(in.buffer, offset, in.get_size() - offset);
            std::uint32_t const copied = push_block_.buffer.copy_from(push_fill_, rest);
            push_fill_ += copied;
            offset += copied;
            if (push_fill_ == push_block_.get_size()) {
                push_fill_ = 0;
                T const out = encode(push_block_);
                this->push_data(out);
            }
        }
    }

    ~BlockEncoderPCM() override = default;

    // Ends the pushed stream: a partly gathered block is filled up with silence, encoded
    // and pushed on. Gives the frames of silence added (0 when nothing was waiting).
    std::uint32_t finish() {
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        if (push_fill_ == 0 || push_block_.is_empty()) return 0;
        std::uint32_t const frame_bytes = push_block_.get_frame_bytes();
        std::uint32_t const silent = (push_block_.get_size() - push_fill_) / frame_bytes;
        std::memset(push_block_.buffer.get_writable_data() + push_fill_, 0, push_block_.get_size() - push_fill_);
        push_fill_ = 0;
        T const out = encode(push_block_);
        this->push_data(out);
        return silent;
    }

    // One full PCM block in, one coded block out.
    virtual T encode(const PCMData& block) = 0;
    // A PCM block of exactly one coded block's worth of frames in the given format, or an
    // empty block when the codec cannot encode that format.
    virtual PCMData make_block(const PCMData& format) = 0;

    // Pulled: gathers one full block from upstream and encodes it. When upstream ends
    // first, or its format is refused, the result is an empty block; what was gathered
    // waits for the next pull.
    T get_data(std::uint32_t count) override {
        static_cast<void>(count);
        std::lock_guard<liba::CriticalSection> guard(this->get_lock());
        if (pull_block_.is_empty() && !start_pull_block()) return T();
        std::uint32_t const frame_bytes = pull_block_.get_frame_bytes();
        while (pull_fill_ < pull_block_.get_size()) {
            std::uint32_t const missing = pull_block_.get_size() - pull_fill_;
            std::uint32_t const frames = frame_bytes == 0 ? missing : missing / frame_bytes;
            PCMData const next = this->pull_data(frames == 0 ? 1 : frames);
            if (next.is_empty()) return T();
            if (next.has_format_of(pull_block_)) pull_fill_ += pull_block_.buffer.copy_from(pull_fill_, next.buffer);
        }
        pull_fill_ = 0;
        return encode(pull_block_);
    }

private:
    bool start_pull_block() {
        PCMData const first = this->pull_data(1);
        if (first.is_empty()) return false;
        pull_block_ = make_block(first);
        pull_fill_ = pull_block_.buffer.copy_from(0, first.buffer);
        return !pull_block_.is_empty();
    }

    PCMData push_block_;
    std::uint32_t push_fill_ = 0;
    PCMData pull_block_;
    std::uint32_t pull_fill_ = 0;
};

}  // namespace audio
