#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/atomic.h"
#include "foundation/thread.h"

namespace {

class Counter : public liba::Thread {
public:
    Counter(volatile std::int32_t& count, int rounds, bool up) : count_(count), rounds_(rounds), up_(up) {}
    ~Counter() override { join(); }

protected:
    void run() override {
        for (int i = 0; i < rounds_; ++i) {
            if (up_) liba::atomic_increment(&count_);
            else liba::atomic_decrement(&count_);
        }
    }

private:
    volatile std::int32_t& count_;
    int rounds_;
    bool up_;
};

TEST(AtomicCount, ResultIsTheNewValue) {
    volatile std::int32_t count = 1;
    EXPECT_EQ(liba::atomic_increment(&count), 2);
    EXPECT_EQ(liba::atomic_decrement(&count), 1);
    EXPECT_EQ(liba::atomic_decrement(&count), 0);
    EXPECT_EQ(liba::atomic_decrement(&count), -1);
}

TEST(AtomicCount, NoChangeIsLostBetweenThreads) {
    volatile std::int32_t count = 0;
    std::vector<std::unique_ptr<Counter>> counters;
    for (int t = 0; t < 6; ++t) {
        counters.push_back(std::make_unique<Counter>(count, 20000, t % 2 == 0));
        ASSERT_TRUE(counters.back()->start());
    }
    counters.clear();
    EXPECT_EQ(count, 0);

    for (int t = 0; t < 4; ++t) {
        counters.push_back(std::make_unique<Counter>(count, 20000, true));
        ASSERT_TRUE(counters.back()->start());
    }
    counters.clear();
    EXPECT_EQ(count, 80000);
}

}  // namespace
