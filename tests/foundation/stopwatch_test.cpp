#include <gtest/gtest.h>

#include "foundation/stopwatch.h"
#include "platform/datetime.h"
#include "platform/testing.h"

namespace {

// Moves the tick count by a chosen amount between two readings, so that elapsed time is
// known up to the real time that passes while the test runs.
class StopwatchTest : public ::testing::Test {
protected:
    void TearDown() override { platform::set_tick_offset(0); }

    // Puts the tick count at about `ticks` and returns the offset that does it.
    DWORD place_tick_count(DWORD ticks) {
        platform::set_tick_offset(0);
        DWORD const offset = ticks - GetTickCount();
        platform::set_tick_offset(offset);
        return offset;
    }

    // Checks seconds against jump_ms plus the real milliseconds between the two readings.
    static void expect_elapsed(double seconds, DWORD jump_ms, DWORD real_before, DWORD real_after) {
        double const lowest = jump_ms * 0.001;
        EXPECT_GE(seconds, lowest - 1e-9);
        EXPECT_LE(seconds, lowest + static_cast<DWORD>(real_after - real_before) * 0.001 + 1e-9);
    }
};

TEST_F(StopwatchTest, ElapsedFollowsTheTickCount) {
    for (DWORD const start : {1000u, 0xFFFFF000u /* the jump crosses the wrap */}) {
        DWORD const offset = place_tick_count(start);
        DWORD const real_before = GetTickCount() - offset;
        os::Stopwatch const stopwatch;
        platform::set_tick_offset(offset + 7250);
        double const seconds = stopwatch.elapsed();
        DWORD const real_after = GetTickCount() - (offset + 7250);
        expect_elapsed(seconds, 7250, real_before, real_after);
    }
}

TEST_F(StopwatchTest, RestartBeginsAgain) {
    DWORD const offset = place_tick_count(5000);
    os::Stopwatch stopwatch;
    platform::set_tick_offset(offset + 60'000);
    DWORD const real_before = GetTickCount() - (offset + 60'000);
    stopwatch.restart();
    platform::set_tick_offset(offset + 60'500);
    double const seconds = stopwatch.elapsed();
    DWORD const real_after = GetTickCount() - (offset + 60'500);
    expect_elapsed(seconds, 500, real_before, real_after);
}

TEST_F(StopwatchTest, FreshStopwatchReadsNearZero) {
    DWORD const before = GetTickCount();
    os::Stopwatch const stopwatch;
    double const seconds = stopwatch.elapsed();
    DWORD const after = GetTickCount();
    expect_elapsed(seconds, 0, before, after);
}

TEST_F(StopwatchTest, ProgramStopwatchRunsFromStart) {
    platform::set_tick_offset(0);
    double const first = os::seconds_since_start();
    EXPECT_GE(first, 0.0);
    platform::set_tick_offset(3000);
    EXPECT_GE(os::seconds_since_start(), first + 3.0);
}

}  // namespace
