#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "foundation/application.h"
#include "foundation/timer.h"
#include "platform/datetime.h"
#include "platform/kernel.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "tests/support/message_loop.h"
#include "tests/support/test_device.h"

namespace {

using testing::AllOf;
using testing::Ge;
using testing::Le;
using testing::Optional;

struct Fired {
    liba::Timer* timer;
    bool active_when_called;
};

class Recorder : public liba::Timer::Listener {
public:
    void on_timer(liba::Timer* timer) override { fired.push_back({timer, timer->is_active()}); }
    std::vector<Fired> fired;
};

// Runs the scheduler's sweep window timer and completions.
class TimerTest : public testing_support::DeviceTest {
protected:
    void TearDown() override { platform::set_tick_offset(0); }
    std::optional<UINT> sweep_period() {
        return platform::window_timer_period(FindWindowW(u"CActiveSchedulerClass", nullptr), 1);
    }
    bool pump_until_fired(std::size_t count) {
        return testing_support::pump_messages_until([&] { return listener.fired.size() >= count; });
    }
    os::Application application{nullptr, u"TimerTest"};
    Recorder listener;
};

TEST_F(TimerTest, AStartedTimerCallsItsListenerOnceAndIsIdleByThen) {
    liba::Timer timer(&listener);
    timer.start(0.02);
    EXPECT_TRUE(timer.is_active());
    ASSERT_TRUE(pump_until_fired(1));
    EXPECT_EQ(listener.fired[0].timer, &timer);
    EXPECT_FALSE(listener.fired[0].active_when_called);
    EXPECT_EQ(sweep_period(), std::nullopt);
    Sleep(30);
    testing_support::pump_messages_until([] { return false; }, 20);
    EXPECT_EQ(listener.fired.size(), 1u);
}

// The tick count jumps past both due times before the loop runs, as on a machine that
// runs the loop late: one sweep finds both due, across the wrap, and keeps their order.
TEST_F(TimerTest, TimersFireInDueOrderAcrossTheWrapOfTheTickCount) {
    DWORD const offset = 0u - GetTickCount() + 0xFFFFFFFFu - 15;
    platform::set_tick_offset(offset);
    liba::Timer later(&listener), sooner(&listener);
    later.start(0.05);
    sooner.start(0.02);
    platform::set_tick_offset(offset + 100);
    ASSERT_TRUE(pump_until_fired(2));
    EXPECT_EQ(listener.fired[0].timer, &sooner);
    EXPECT_EQ(listener.fired[1].timer, &later);
}

// Delays the tick difference cannot hold are cut to about 24.8 days, not wrapped into the past.
TEST_F(TimerTest, VeryLongDelaysNeitherFireAtOnceNorWrap) {
    for (double const seconds : {2147483.647, 30.0 * 24 * 3600, 1e300}) {
        SCOPED_TRACE(seconds);
        liba::Timer timer(&listener);
        timer.start(seconds);
        testing_support::pump_messages_until([] { return false; }, 20);
        EXPECT_TRUE(listener.fired.empty());
        EXPECT_TRUE(timer.is_active());
        EXPECT_EQ(sweep_period(), std::nullopt);
        timer.stop();
    }
    liba::Timer negative(&listener);
    negative.start(-5);
    EXPECT_TRUE(pump_until_fired(1));
}

TEST_F(TimerTest, TheSweepSetsOneWindowTimerForTheNearestDueTime) {
    liba::Timer a(&listener), b(&listener), far(&listener);
    // The period counts from the moment of the sweep; a busy machine may let a few
    // milliseconds pass after the start.
    a.start(500);
    EXPECT_THAT(sweep_period(), Optional(AllOf(Le(500000u), Ge(499000u))));
    b.start(200);
    EXPECT_THAT(sweep_period(), Optional(AllOf(Le(200000u), Ge(199000u))));
    b.stop();
    a.stop();
    far.start(10000.5);  // from 10,000,000 ms on (half a second of slack): no window timer
    EXPECT_EQ(sweep_period(), std::nullopt);
}

TEST_F(TimerTest, RestartingMovesTheDueTimeAndCallsOnce) {
    liba::Timer timer(&listener);
    timer.start(1000);
    timer.start(0.01);
    ASSERT_TRUE(pump_until_fired(1));
    testing_support::pump_messages_until([] { return false; }, 30);
    EXPECT_EQ(listener.fired.size(), 1u);
}

TEST_F(TimerTest, StoppedAndDestroyedTimersCallNothing) {
    {
        liba::Timer destroyed(&listener);
        destroyed.start(0.001);
    }
    liba::Timer stopped(&listener);
    stopped.start(0.001);
    stopped.stop();
    EXPECT_FALSE(stopped.is_active());
    Sleep(5);
    testing_support::pump_messages_until([] { return false; }, 20);
    EXPECT_TRUE(listener.fired.empty());
}

TEST_F(TimerTest, ASubMillisecondTimerCompletesAtTheNextTurnOfTheLoopNotInsideStart) {
    liba::Timer timer(&listener);
    timer.start(0.0009);
    EXPECT_TRUE(listener.fired.empty());
    ASSERT_TRUE(pump_until_fired(1));
}

// A due timer whose completion is already queued, swept again by another start and then
// stopped: one completion only, consumed by the stop.
TEST_F(TimerTest, ADueTimerSweptTwiceAndStoppedCompletesNothing) {
    liba::Timer due(&listener), other(&listener);
    due.start(0);
    other.start(1000);  // sweeps again while due's completion waits in the queue
    due.stop();
    other.stop();
    testing_support::pump_messages_until([] { return false; }, 20);
    EXPECT_TRUE(listener.fired.empty());
}

class Restarter : public liba::Timer::Listener {
public:
    void on_timer(liba::Timer* timer) override {
        if (++count < 3) timer->start(0.001);
    }
    int count = 0;
};

TEST_F(TimerTest, AListenerMayRestartItsTimer) {
    Restarter restarter;
    liba::Timer timer(&restarter);
    timer.start(0.001);
    EXPECT_TRUE(testing_support::pump_messages_until([&] { return restarter.count == 3; }));
    EXPECT_FALSE(timer.is_active());
}

}  // namespace
