#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/active_buffer.h"
#include "platform/memory_status.h"
#include "tests/audio/stream_helpers.h"
#include "tests/support/eventually.h"

namespace {

using audio::ActiveBuffer;
using audio::PCMData;
using testing_support::eventually;

// The record chain: keeps what the buffer's thread hands on; can hold that thread inside
// a push, and notes when each push has returned.
class Chain : public audio::Consumer<PCMData> {
public:
    void on_data(const PCMData& block) override {
        std::unique_lock guard(lock);
        blocks.push_back(block);
        entered = true;
        changed.notify_all();
        changed.wait(guard, [&] { return !holding; });
        ++returned;
    }
    void hold() {
        std::lock_guard guard(lock);
        holding = true;
        entered = false;
    }
    void wait_entered() {
        std::unique_lock guard(lock);
        changed.wait(guard, [&] { return entered; });
    }
    void release() {
        std::lock_guard guard(lock);
        holding = false;
        changed.notify_all();
    }
    std::vector<std::int16_t> first_samples() {
        std::lock_guard guard(lock);
        std::vector<std::int16_t> firsts;
        for (auto const& block : blocks) firsts.push_back(audio_test::samples_of(block).front());
        return firsts;
    }

    std::mutex lock;
    std::condition_variable changed;
    std::vector<PCMData> blocks;
    bool holding = false;
    bool entered = false;
    std::size_t returned = 0;
};

// A block of that many bytes whose first sample names it.
PCMData sized(std::uint32_t bytes, std::int16_t first = 0) {
    liba::SharedBuffer buffer(bytes);
    buffer.get_writable_data()[0] = static_cast<std::uint8_t>(first & 0xFF);
    buffer.get_writable_data()[1] = static_cast<std::uint8_t>(first >> 8 & 0xFF);
    return PCMData(buffer, 1, 16, 8000);
}

class ActiveBufferTest : public ::testing::Test {
protected:
    ActiveBufferTest() { audio::connect<PCMData>(&buffer, &chain); }
    ~ActiveBufferTest() override {
        chain.release();
        audio::connect<PCMData>(&buffer, nullptr);
        platform::set_available_physical_memory(std::nullopt);
    }

    // Upstream of the buffer, as the time meter would be.
    audio_test::QueueProvider<PCMData> upstream;
    Chain chain;
    ActiveBuffer buffer;
};

TEST_F(ActiveBufferTest, ManySmallBlocksFromAnotherThreadArriveAllInOrder) {
    constexpr int block_count = 3000;
    audio::connect<PCMData>(&upstream, &buffer);
    std::thread recorder([&] {
        for (int i = 0; i < block_count; ++i) upstream.push_data(audio_test::counting_pcm16(3, static_cast<std::int16_t>(i)));
    });
    recorder.join();
    ASSERT_TRUE(eventually([&] { return buffer.get_block_count() == 0; }));
    {
        std::lock_guard guard(chain.lock);
        EXPECT_EQ(static_cast<std::size_t>(block_count), chain.returned) << "0 came before the last push returned";
    }
    auto const firsts = chain.first_samples();
    ASSERT_EQ(static_cast<std::size_t>(block_count), firsts.size());
    for (int i = 0; i < block_count; ++i) ASSERT_EQ(i, firsts[i]);
    EXPECT_EQ(0, buffer.get_buffered_bytes());
    audio::connect<PCMData>(&upstream, nullptr);
}

TEST_F(ActiveBufferTest, TheBlockBeingHandedOnStillCounts) {
    chain.hold();
    buffer.on_data(sized(100));
    chain.wait_entered();
    EXPECT_EQ(1u, buffer.get_block_count());
    EXPECT_EQ(0, buffer.get_buffered_bytes());
    chain.release();
    ASSERT_TRUE(eventually([&] { return buffer.get_block_count() == 0; }));
    std::lock_guard guard(chain.lock);
    EXPECT_EQ(1u, chain.returned);
}

TEST_F(ActiveBufferTest, TheBlockThatCrossesTheCapIsTakenAndTheNextIsDropped) {
    chain.hold();
    buffer.on_data(sized(2, 1));  // held in the chain
    chain.wait_entered();
    buffer.on_data(sized(ActiveBuffer::byte_limit, 2));
    buffer.on_data(sized(2, 3));  // 10,000,000 queued: still taken
    EXPECT_TRUE(buffer.is_buffering());
    EXPECT_EQ(ActiveBuffer::byte_limit + 2, buffer.get_buffered_bytes());
    buffer.on_data(sized(2, 4));
    EXPECT_FALSE(buffer.is_buffering());
    buffer.on_data(sized(2, 5));
    EXPECT_EQ(3u, buffer.get_block_count());
    // What was queued before is still handed on, in order.
    chain.release();
    ASSERT_TRUE(eventually([&] { return buffer.get_block_count() == 0; }));
    EXPECT_EQ((std::vector<std::int16_t>{1, 2, 3}), chain.first_samples());
    EXPECT_FALSE(buffer.is_buffering());
    buffer.reset();
    EXPECT_TRUE(buffer.is_buffering());
    buffer.on_data(sized(2, 6));
    ASSERT_TRUE(eventually([&] { return buffer.get_block_count() == 0; }));
    EXPECT_EQ(6, chain.first_samples().back());
}

TEST_F(ActiveBufferTest, LowFreeMemoryStopsBuffering) {
    platform::set_available_physical_memory(999'999);
    buffer.on_data(sized(2, 1));
    EXPECT_FALSE(buffer.is_buffering());
    platform::set_available_physical_memory(1'000'000);
    buffer.on_data(sized(2, 2));
    EXPECT_FALSE(buffer.is_buffering()) << "dropping goes on until reset";
    buffer.reset();
    buffer.on_data(sized(2, 3));
    ASSERT_TRUE(eventually([&] { return buffer.get_block_count() == 0; }));
    EXPECT_EQ((std::vector<std::int16_t>{3}), chain.first_samples());
}

TEST_F(ActiveBufferTest, ResetDropsTheQueuedBlocksAndTheirBytes) {
    chain.hold();
    buffer.on_data(sized(10, 1));
    chain.wait_entered();
    buffer.on_data(sized(20, 2));
    buffer.on_data(sized(30, 3));
    EXPECT_EQ(50, buffer.get_buffered_bytes());
    buffer.reset();
    EXPECT_EQ(0, buffer.get_buffered_bytes());
    EXPECT_EQ(1u, buffer.get_block_count());
    chain.release();
    ASSERT_TRUE(eventually([&] { return buffer.get_block_count() == 0; }));
    EXPECT_EQ((std::vector<std::int16_t>{1}), chain.first_samples());
}

TEST_F(ActiveBufferTest, IsNeverPulledFrom) {
    buffer.on_data(sized(10));
    EXPECT_TRUE(buffer.get_data(100).is_empty());
}

TEST(ActiveBufferLife, DestroyingWithBlocksQueuedEndsTheThread) {
    Chain chain;
    std::thread releaser;
    {
        ActiveBuffer buffer;
        audio::connect<PCMData>(&buffer, &chain);
        chain.hold();
        buffer.on_data(sized(10, 1));
        chain.wait_entered();
        for (std::int16_t i = 2; i < 10; ++i) buffer.on_data(sized(10, i));
        releaser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            chain.release();
        });
    }
    releaser.join();
    auto const firsts = chain.first_samples();
    ASSERT_FALSE(firsts.empty());
    for (std::size_t i = 0; i < firsts.size(); ++i) EXPECT_EQ(static_cast<std::int16_t>(i + 1), firsts[i]);
}

}  // namespace
