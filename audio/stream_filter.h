#pragma once

#include "audio/blocks.h"
#include "audio/stream_ends.h"

namespace audio {

// Base of the pulled filters that need more input than one block before they can give
// output: it gathers pulled blocks, lets the derived filter work on them once they exceed
// the work size, and hands out what the filter produced in pieces of the size asked for.
// At the end of the stream, and before a block of another format, the gathered input is
// worked through with the final flag.
class StreamFilter : public Consumer<PCMData>, public Provider<PCMData> {
public:
    StreamFilter() = default;
    ~StreamFilter() override = default;

    // Pushing into a stream filter is a programming error: fatal stop.
    void on_data(const PCMData& in) override;
    PCMData get_data(std::uint32_t count) override;
    // Forgets the gathered input, the output not yet handed out and the derived filter's
    // state, so that nothing of the old sound follows a seek or starts the next stream.
    void drop_sound();

protected:
    // The input format changes; the base does nothing.
    virtual void reset() {}
    // Works on the gathered input, sets the output and returns how many input bytes it
    // consumed; the rest is offered again, with more input, at the next call.
    virtual std::uint32_t process(const PCMData& input, PCMData& output, bool final) = 0;

private:
    PCMData end_of_stream(std::uint32_t count);

    PCMData output_;
    PCMData input_;
    std::uint32_t work_size_ = 10000;
};

// Block helpers shared by the gathering filters.
namespace blocks {

// The first `count` frames of `from` (all of it when it holds fewer); `from` keeps the rest.
PCMData take_frames(PCMData& from, std::uint32_t count);
// A new block: first's bytes followed by second's, in second's format.
PCMData join(const PCMData& first, const PCMData& second);
// Bytes [offset, offset + size) of the block, in its format, sharing its bytes.
PCMData slice(const PCMData& block, std::uint32_t offset, std::uint32_t size);

}  // namespace blocks

}  // namespace audio
