#include "audio/active_buffer.h"

#include <mutex>

#include "platform/memory_status.h"

namespace audio {

ActiveBuffer::ActiveBuffer() { start(); }

ActiveBuffer::~ActiveBuffer() {
    request_stop();
    resume();
    join();
}

PCMData ActiveBuffer::get_data(std::uint32_t) { return PCMData(); }

void ActiveBuffer::on_data(const PCMData& block) {
    PCMData const copy = block;
    std::lock_guard guard(get_lock());
    if (!buffering_) return;
    if (buffered_bytes_ > byte_limit) {
        buffering_ = false;
        return;
    }
    MEMORYSTATUS status{};
    GlobalMemoryStatus(&status);
    if (status.dwAvailPhys < memory_floor) {
        buffering_ = false;
        return;
    }
    queue_.push_back(copy);
    buffered_bytes_ += static_cast<std::int32_t>(copy.get_size());
    // A wake-up that comes before the thread sleeps is kept, so none is lost.
    resume();
}

// The push into the record chain happens outside the lock, so on_data never waits for
// the encoder or the file system.
void ActiveBuffer::run() {
    suspend();
    while (!is_stop_requested()) {
        PCMData block;
        bool taken = false;
        {
            std::lock_guard guard(get_lock());
            if (!queue_.empty()) {
                block = queue_.front();
                queue_.pop_front();
                buffered_bytes_ -= static_cast<std::int32_t>(block.get_size());
                in_flight_ = 1;
                taken = true;
            }
        }
        if (!taken) {
            suspend();
            continue;
        }
        push_data(block);
        std::lock_guard guard(get_lock());
        in_flight_ = 0;
    }
}

bool ActiveBuffer::is_buffering() {
    std::lock_guard guard(get_lock());
    return buffering_;
}

std::int32_t ActiveBuffer::get_buffered_bytes() {
    std::lock_guard guard(get_lock());
    return buffered_bytes_;
}

std::uint32_t ActiveBuffer::get_block_count() {
    std::lock_guard guard(get_lock());
    return static_cast<std::uint32_t>(queue_.size()) + in_flight_;
}

void ActiveBuffer::reset() {
    std::lock_guard guard(get_lock());
    buffering_ = true;
    for (PCMData const& block : queue_) buffered_bytes_ -= static_cast<std::int32_t>(block.get_size());
    queue_.clear();
}

}  // namespace audio
