// The clock that GetTickCount and the paced sound devices read: the host's monotonic clock
// plus the time that waits skipped while a test ran the clock fast (see platform/testing.h).
#pragma once

#include <chrono>

namespace platform::detail {

using TestClockTime = std::chrono::steady_clock::time_point;

TestClockTime test_clock_now();

// Returns once the clock shows `due`: sleeping while the clock is real, moving the clock
// on to `due` at once while it runs fast, and waiting for it to run again while it is held.
// A change of mode wakes the waits in progress.
void wait_on_test_clock(TestClockTime due);

}  // namespace platform::detail
