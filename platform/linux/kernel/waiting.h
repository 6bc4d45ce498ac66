// Waiting on a condition with the platform's time-outs (inside the Linux back end only).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/types.h"

namespace platform::detail {

// Waits until ready() holds or timeout_ms (INFINITE: no limit) has passed; the result is
// ready() at the end.
template <class Predicate>
bool wait_with_timeout(std::condition_variable& condition, std::unique_lock<std::mutex>& guard,
                       DWORD timeout_ms, Predicate ready) {
    if (timeout_ms == INFINITE) {
        condition.wait(guard, ready);
        return true;
    }
    return condition.wait_for(guard, std::chrono::milliseconds(timeout_ms), ready);
}

}  // namespace platform::detail
