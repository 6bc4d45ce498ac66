#include "tests/support/message_loop.h"

#include <chrono>
#include <thread>

#include "platform/messages.h"
#include "tests/support/eventually.h"

namespace testing_support {

bool pump_messages_until(const std::function<bool()>& done, unsigned limit_ms) {
    auto const limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (done()) return true;
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool next_message(MSG& message) {
    auto const limit = std::chrono::steady_clock::now() + hang_guard;
    while (std::chrono::steady_clock::now() < limit) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace testing_support
