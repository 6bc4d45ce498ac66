// Waiting in tests for something another thread or process brings about.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace testing_support {

// How long a test waits for another thread or process before it calls it hung: a guard, not
// a timing check, so it is long enough for sanitized programs on a machine running many tests.
constexpr std::chrono::seconds hang_guard{60};

// Polls done() until it holds; false when it still does not within the hang guard.
inline bool eventually(const std::function<bool()>& done) {
    auto const limit = std::chrono::steady_clock::now() + hang_guard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace testing_support
