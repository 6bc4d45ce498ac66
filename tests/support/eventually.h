// Waiting in tests for something another thread or process brings about.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace testing_support {

// Polls done() until it holds; false when it still does not after ten seconds (a guard
// against a hanging test, not a timing check).
inline bool eventually(const std::function<bool()>& done) {
    auto const limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace testing_support
