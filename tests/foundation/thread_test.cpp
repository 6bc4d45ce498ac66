#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "foundation/atomic.h"
#include "foundation/critical_section.h"
#include "foundation/event.h"
#include "foundation/thread.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/testing.h"
#include "tests/support/eventually.h"

namespace {

constexpr std::uint32_t no_thread = 0xFFFFFFFFu;
constexpr int patience_ms = 10000;

// A thread whose body is a function given by the test.
class LambdaThread : public liba::Thread {
public:
    explicit LambdaThread(std::function<void(LambdaThread&)> body) : body_(std::move(body)) {}
    ~LambdaThread() override {
        request_stop();
        resume();
        join();
    }

protected:
    void run() override { body_(*this); }

private:
    std::function<void(LambdaThread&)> body_;
};

using testing_support::eventually;

bool is_suspended(std::uint32_t thread_id) { return platform::thread_is_suspended(thread_id); }

bool has_ended(std::uint32_t thread_id) { return !platform::thread_is_known(thread_id); }

TEST(Thread, StartWhileRunningFailsAndLeavesTheFirstThreadAlone) {
    liba::Event release;
    std::atomic<int> runs{0};
    LambdaThread thread([&](LambdaThread&) {
        ++runs;
        release.wait();
    });
    ASSERT_TRUE(thread.start());
    std::uint32_t const first_id = thread.get_id();
    EXPECT_NE(first_id, 0u);
    EXPECT_FALSE(thread.start());
    EXPECT_EQ(thread.get_id(), first_id);
    release.set();
    thread.join();
    EXPECT_EQ(runs, 1);
}

TEST(Thread, BodyThatEndsByItselfLeavesTheObjectIdleAndRestartable) {
    std::atomic<int> runs{0};
    LambdaThread thread([&](LambdaThread&) { ++runs; });
    EXPECT_EQ(thread.get_id(), 0u);
    ASSERT_TRUE(thread.start());
    // Once the first body has returned and let go of its handle, a start succeeds again.
    ASSERT_TRUE(eventually([&] { return thread.start(); }));
    thread.join();
    EXPECT_EQ(runs, 2);
    ASSERT_TRUE(eventually([&] { return has_ended(thread.get_id()); }));
    thread.join();  // idle: returns at once
    EXPECT_EQ(thread.suspend(), no_thread);
    EXPECT_EQ(thread.resume(), no_thread);
    EXPECT_FALSE(thread.set_priority(0));
}

TEST(Thread, JoinMeetingTheEndOfTheBodyReleasesOnceAndReturnsAfterIt) {
    std::atomic<int> ended{0};
    LambdaThread thread([&](LambdaThread& self) {
        // Vary the moment at which the body ends relative to the join.
        for (std::uint32_t spin = self.get_id() % 64; spin != 0; --spin) liba::sleep(0);
        ++ended;
    });
    for (int round = 1; round <= 2000; ++round) {
        ASSERT_TRUE(thread.start()) << "round " << round;
        thread.join();
        ASSERT_EQ(ended, round);
    }
}

TEST(Thread, StopFlagIsClearedByEachStart) {
    std::atomic<bool> saw_stop{true};
    LambdaThread thread([&](LambdaThread& self) { saw_stop = self.is_stop_requested(); });
    thread.request_stop();
    EXPECT_TRUE(thread.is_stop_requested());
    ASSERT_TRUE(thread.start());
    thread.join();
    EXPECT_FALSE(saw_stop);
    EXPECT_FALSE(thread.is_stop_requested());
}

TEST(Thread, StopRequestEndsAPollingBody) {
    std::atomic<int> units{0};
    LambdaThread thread([&](LambdaThread& self) {
        while (!self.is_stop_requested()) {
            ++units;
            liba::sleep(0);
        }
    });
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(eventually([&] { return units > 0; }));
    thread.request_stop();
    thread.join();
    EXPECT_TRUE(has_ended(thread.get_id()));
}

// Its body touches no member: the object is destroyed while the body runs.
class Detachable : public liba::Thread {
public:
    static inline liba::Event* running = nullptr;
    static inline liba::Event* release = nullptr;

protected:
    void run() override {
        running->set();
        release->wait();
    }
};

TEST(Thread, DestroyingAThreadThatStillRunsDoesNotWaitForIt) {
    liba::Event running;
    liba::Event release;
    Detachable::running = &running;
    Detachable::release = &release;
    auto thread = std::make_unique<Detachable>();
    ASSERT_TRUE(thread->start());
    std::uint32_t const id = thread->get_id();
    running.wait();
    thread.reset();  // would hang here if it waited
    EXPECT_FALSE(has_ended(id));
    release.set();
    // The end of the body must not touch the destroyed object.
    EXPECT_TRUE(eventually([&] { return has_ended(id); }));
}

TEST(Thread, PriorityLevelsAreClampedToThePlatformTable) {
    struct Case { int level; int expected; };
    for (auto const& c : {Case{7, THREAD_PRIORITY_HIGHEST}, Case{2, THREAD_PRIORITY_HIGHEST},
                          Case{1, THREAD_PRIORITY_ABOVE_NORMAL}, Case{0, THREAD_PRIORITY_NORMAL},
                          Case{-1, THREAD_PRIORITY_BELOW_NORMAL}, Case{-2, THREAD_PRIORITY_LOWEST},
                          Case{-9, THREAD_PRIORITY_LOWEST}}) {
        bool accepted = false;
        DWORD error = 0;
        int observed = 0;
        LambdaThread thread([&](LambdaThread& self) {
            accepted = self.set_priority(c.level);
            error = GetLastError();
            observed = GetThreadPriority(GetCurrentThread());
        });
        ASSERT_TRUE(thread.start());
        thread.join();
        if (accepted) {
            EXPECT_EQ(observed, c.expected) << "level " << c.level;
        } else {  // only raising may be refused, by an unprivileged host user
            EXPECT_LT(c.expected, THREAD_PRIORITY_NORMAL) << "level " << c.level;
            EXPECT_EQ(error, ERROR_ACCESS_DENIED);
            EXPECT_EQ(observed, THREAD_PRIORITY_NORMAL);
        }
    }
}

TEST(Thread, OwnerSetsThePriorityOfARunningThread) {
    liba::Event release;
    int observed = 0;
    LambdaThread thread([&](LambdaThread&) {
        release.wait();
        observed = GetThreadPriority(GetCurrentThread());
    });
    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.set_priority(-1));
    release.set();
    thread.join();
    EXPECT_EQ(observed, THREAD_PRIORITY_BELOW_NORMAL);
}

TEST(Thread, ResumeBeforeTheSelfSuspendIsNotLost) {
    liba::Event go;
    std::uint32_t result = 1234;
    LambdaThread thread([&](LambdaThread& self) {
        go.wait();
        result = self.suspend();
    });
    ASSERT_TRUE(thread.start());
    EXPECT_EQ(thread.resume(), 0u);
    go.set();
    ASSERT_TRUE(eventually([&] { return has_ended(thread.get_id()); }));
    EXPECT_EQ(result, 0u);
}

TEST(Thread, ResumeAfterTheSelfSuspendWakesIt) {
    std::uint32_t result = 1234;
    LambdaThread thread([&](LambdaThread& self) { result = self.suspend(); });
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(eventually([&] { return is_suspended(thread.get_id()); }));
    EXPECT_EQ(thread.resume(), 1u);
    ASSERT_TRUE(eventually([&] { return has_ended(thread.get_id()); }));
    EXPECT_EQ(result, 0u);
}

// The queue worker of the audio engine in small: it sleeps when its queue is empty and
// every accepted item wakes it.
class QueueWorker : public liba::Thread {
public:
    ~QueueWorker() override {
        request_stop();
        resume();
        join();
    }

    void add(int item) {
        {
            std::lock_guard guard(lock_);
            queue_.push_back(item);
        }
        resume();
    }
    int handled() const { return handled_; }

protected:
    void run() override {
        suspend();
        while (!is_stop_requested()) {
            bool took = false;
            {
                std::lock_guard guard(lock_);
                if (!queue_.empty()) {
                    queue_.pop_front();
                    took = true;
                }
            }
            if (took) ++handled_;
            else suspend();
        }
    }

private:
    liba::CriticalSection lock_;
    std::deque<int> queue_;
    std::atomic<int> handled_{0};
};

TEST(Thread, SelfSuspendingWorkerMissesNoWakeUp) {
    QueueWorker worker;
    ASSERT_TRUE(worker.start());
    for (int item = 1; item <= 3000; ++item) {
        worker.add(item);
        // A lost wake-up leaves the item in the queue for good.
        ASSERT_TRUE(eventually([&] { return worker.handled() == item; })) << "item " << item;
    }
}

TEST(Thread, StopProtocolEndsASelfSuspendingWorkerAtAnyMoment) {
    for (int round = 0; round < 500; ++round) {
        QueueWorker worker;
        ASSERT_TRUE(worker.start());
        if (round % 2) worker.add(round);
        worker.request_stop();
        worker.resume();
        ASSERT_TRUE(eventually([&] { return has_ended(worker.get_id()); })) << "round " << round;
    }
}

}  // namespace
