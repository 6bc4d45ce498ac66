#include "audio/stream_filter.h"

#include <algorithm>
#include <mutex>

#include "foundation/log.h"

namespace audio {

namespace blocks {

PCMData take_frames(PCMData& from, std::uint32_t count) {
    std::uint32_t const frame_bytes = from.get_frame_bytes();
    std::uint64_t const wanted = static_cast<std::uint64_t>(count) * frame_bytes;
    if (frame_bytes == 0 || wanted >= from.get_size()) {
        PCMData all = from;
        from.buffer = liba::SharedBuffer();
        return all;
    }
    auto const size = static_cast<std::uint32_t>(wanted);
    PCMData const head = slice(from, 0, size);
    from = slice(from, size, from.get_size() - size);
    return head;
}

PCMData join(const PCMData& first, const PCMData& second) {
    liba::SharedBuffer joined(first.get_size() + second.get_size());
    joined.copy_from(0, first.buffer);
    joined.copy_from(first.get_size(), second.buffer);
    return second.with_buffer(joined);
}

PCMData slice(const PCMData& block, std::uint32_t offset, std::uint32_t size) {
    return block.with_buffer(liba::SharedBuffer(block.buffer, offset, size));
}

}  // namespace blocks

void StreamFilter::on_data(const PCMData& in) {
    static_cast<void>(in);
    os::fatal_error(u"StreamFilter::on_data", u"Not implemented");
}

PCMData StreamFilter::get_data(std::uint32_t count) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (!output_.is_empty()) return blocks::take_frames(output_, count);

    for (PCMData block = pull_data(count); !block.is_empty(); block = pull_data(count)) {
        PCMData joined;
        if (!input_.is_empty() && !block.has_format_of(input_)) {
            process(input_, output_, true);
            input_ = block;
            reset();
            // The new block waits in the input; it enters it only once.
            if (!output_.is_empty()) return blocks::take_frames(output_, count);
            joined = input_;
        } else {
            joined = blocks::join(input_, block);
        }
        std::uint32_t consumed = 0;
        if (joined.get_size() > work_size_) consumed = std::min(process(joined, output_, false), joined.get_size());
        input_ = blocks::slice(joined, consumed, joined.get_size() - consumed);
        if (!output_.is_empty()) return blocks::take_frames(output_, count);
    }
    return end_of_stream(count);
}

void StreamFilter::drop_sound() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    input_ = PCMData();
    output_ = PCMData();
    reset();
}

PCMData StreamFilter::end_of_stream(std::uint32_t count) {
    if (input_.is_empty()) return PCMData();
    process(input_, output_, true);
    input_ = PCMData();
    return blocks::take_frames(output_, count);
}

}  // namespace audio
