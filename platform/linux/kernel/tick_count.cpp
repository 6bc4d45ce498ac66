#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "platform/datetime.h"
#include "platform/linux/kernel/test_clock.h"
#include "platform/testing.h"

namespace {

using HostClock = std::chrono::steady_clock;

std::atomic<DWORD> tick_offset{0};
std::once_flag offset_read;

void read_offset_from_environment() {
    std::call_once(offset_read, [] {
        if (char const* text = std::getenv("SONBRIX_TICK_OFFSET")) {
            tick_offset = static_cast<DWORD>(std::strtoull(text, nullptr, 0));
        }
    });
}

// Time only moves forward: a skip stays when the clock returns to real time.
struct TestClockState {
    std::mutex lock;
    std::condition_variable mode_changed;
    platform::TestClock mode = platform::TestClock::real;
    std::atomic<HostClock::rep> skipped{0};  // in HostClock ticks
};

TestClockState& clock_state() {
    static auto* const instance = new TestClockState;  // lives to the process end
    return *instance;
}

HostClock::duration skipped() { return HostClock::duration(clock_state().skipped.load()); }

// Moves the clock on so that it shows at least `due`.
void skip_to(platform::detail::TestClockTime due) {
    HostClock::rep const needed = (due - HostClock::now()).count();
    HostClock::rep seen = clock_state().skipped.load();
    while (seen < needed && !clock_state().skipped.compare_exchange_weak(seen, needed)) {
    }
}

}  // namespace

DWORD GetTickCount() {
    read_offset_from_environment();
    auto const milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(platform::detail::test_clock_now().time_since_epoch());
    return static_cast<DWORD>(static_cast<unsigned long long>(milliseconds.count())) + tick_offset.load();
}

namespace platform::detail {

TestClockTime test_clock_now() { return HostClock::now() + skipped(); }

void wait_on_test_clock(TestClockTime due) {
    auto& state = clock_state();
    std::unique_lock guard(state.lock);
    for (;;) {
        TestClock const mode = state.mode;
        if (mode == TestClock::fast) {
            skip_to(due);
            return;
        }
        if (mode == TestClock::real) {
            if (test_clock_now() >= due) return;
            state.mode_changed.wait_until(guard, due - skipped(), [&] { return state.mode != mode; });
        } else {
            state.mode_changed.wait(guard, [&] { return state.mode != mode; });
        }
    }
}

}  // namespace platform::detail

namespace platform {

void set_tick_offset(DWORD offset) {
    read_offset_from_environment();
    tick_offset = offset;
}

void set_test_clock(TestClock mode) {
    auto& state = clock_state();
    {
        std::lock_guard guard(state.lock);
        state.mode = mode;
    }
    state.mode_changed.notify_all();
}

}  // namespace platform
