#pragma once

#include <cstdint>
#include <deque>

#include "audio/blocks.h"
#include "audio/stream_ends.h"
#include "foundation/thread.h"

namespace audio {

// Decouples the recorder from the encoder and the file writer: a block pushed in is only
// queued (a shared copy) and on_data returns at once; a thread of the buffer's own hands
// the blocks on in order through the provider end, so the record chain runs there. It
// stops accepting sound, until reset, when more than 10,000,000 bytes are queued or the
// device has less than 1,000,000 bytes of free physical memory.
class ActiveBuffer : public Consumer<PCMData>, public Provider<PCMData>, private liba::Thread {
public:
    static constexpr std::int32_t byte_limit = 10'000'000;
    static constexpr std::uint64_t memory_floor = 1'000'000;

    // Starts the thread, which sleeps until the first block comes.
    ActiveBuffer();
    // Ends the thread (after the block it is handing on, if any); queued blocks are dropped.
    ~ActiveBuffer() override;

    void on_data(const PCMData& block) override;
    // The buffer is never pulled from: always an empty block.
    PCMData get_data(std::uint32_t count) override;

    // False once a limit was hit: the blocks since then are lost.
    bool is_buffering();
    // Bytes queued and not yet taken out by the thread.
    std::int32_t get_buffered_bytes();
    // Blocks not yet handed on completely: the queued ones and the one being handed on.
    // 0 means everything accepted has gone through the record chain.
    std::uint32_t get_block_count();
    // Drops the queued blocks and accepts sound again.
    void reset();

private:
    void run() override;

    std::deque<PCMData> queue_;
    bool buffering_ = true;
    std::int32_t buffered_bytes_ = 0;
    std::uint32_t in_flight_ = 0;
};

}  // namespace audio
