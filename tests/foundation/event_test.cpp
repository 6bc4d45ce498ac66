#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/atomic.h"
#include "foundation/event.h"
#include "foundation/thread.h"
#include "platform/handles.h"

namespace {

class Waiter : public liba::Thread {
public:
    Waiter(liba::Event& event, std::atomic<int>& released) : event_(event), released_(released) {}
    ~Waiter() override { join(); }

protected:
    void run() override {
        if (event_.wait() == WAIT_OBJECT_0) ++released_;
    }

private:
    liba::Event& event_;
    std::atomic<int>& released_;
};

TEST(Event, IsOnePointerWide) { EXPECT_EQ(sizeof(liba::Event), sizeof(void*)); }

TEST(Event, OneSetReleasesEveryWaiter) {
    liba::Event event;
    std::atomic<int> released{0};
    std::vector<std::unique_ptr<Waiter>> waiters;
    for (int i = 0; i < 5; ++i) {
        waiters.push_back(std::make_unique<Waiter>(event, released));
        ASSERT_TRUE(waiters.back()->start());
    }
    EXPECT_TRUE(event.set());
    waiters.clear();
    EXPECT_EQ(released, 5);
}

TEST(Event, StaysSetForAnyNumberOfWaitsUntilReset) {
    liba::Event event;
    event.set();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(event.wait(), WAIT_OBJECT_0);

    event.reset();
    std::atomic<int> released{0};
    Waiter waiter(event, released);
    ASSERT_TRUE(waiter.start());
    liba::sleep(20);
    EXPECT_EQ(released, 0);
    event.set();
    waiter.join();
    EXPECT_EQ(released, 1);
}

}  // namespace
