#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/atomic.h"
#include "foundation/critical_section.h"
#include "foundation/event.h"
#include "foundation/thread.h"

namespace {

class Worker : public liba::Thread {
public:
    explicit Worker(std::function<void()> body) : body_(std::move(body)) {}
    ~Worker() override { join(); }

protected:
    void run() override { body_(); }

private:
    std::function<void()> body_;
};

TEST(CriticalSection, IsOnePointerWide) { EXPECT_EQ(sizeof(liba::CriticalSection), sizeof(void*)); }

TEST(CriticalSection, NestedLocksOnSeveralThreadsKeepThemOutOfEachOther) {
    constexpr int threads = 4;
    constexpr int rounds = 20000;
    liba::CriticalSection lock;
    int counter = 0;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::vector<std::unique_ptr<Worker>> workers;
    for (int t = 0; t < threads; ++t) {
        workers.push_back(std::make_unique<Worker>([&] {
            for (int i = 0; i < rounds; ++i) {
                std::lock_guard outer(lock);
                std::lock_guard inner(lock);  // the owner takes it again
                if (++inside != 1) overlapped = true;
                ++counter;
                --inside;
            }
        }));
        ASSERT_TRUE(workers.back()->start());
    }
    workers.clear();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(counter, threads * rounds);
}

TEST(CriticalSection, OthersWaitUntilTheOwnerHasUnlockedAsOftenAsItLocked) {
    liba::CriticalSection lock;
    std::atomic<bool> entered{false};
    lock.lock();
    lock.lock();
    Worker other([&] {
        std::lock_guard guard(lock);
        entered = true;
    });
    ASSERT_TRUE(other.start());
    lock.unlock();
    liba::sleep(20);
    EXPECT_FALSE(entered);
    lock.unlock();
    other.join();
    EXPECT_TRUE(entered);
}

TEST(CriticalSection, MayBeDestroyedByTheThreadThatHoldsIt) {
    auto lock = std::make_unique<liba::CriticalSection>();
    lock->lock();
    lock.reset();
    SUCCEED();
}

}  // namespace
