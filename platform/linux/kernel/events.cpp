// Manual-reset and auto-reset events.
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/linux/kernel/handles.h"
#include "platform/linux/kernel/signal_watchers.h"
#include "platform/linux/kernel/waiting.h"

namespace platform::detail {
namespace {

class EventObject final : public KernelObject {
public:
    EventObject(bool manual_reset, bool signalled) : manual_reset_(manual_reset), signalled_(signalled) {}

    DWORD wait(DWORD timeout_ms) override {
        std::unique_lock guard(lock_);
        std::uint64_t const pulses_before = manual_pulses_;
        ++waiters_;
        bool const released = wait_with_timeout(changed_, guard, timeout_ms, [&] {
            return signalled_ || manual_pulses_ != pulses_before;
        });
        --waiters_;
        if (!released) return WAIT_TIMEOUT;
        if (signalled_ && !manual_reset_) signalled_ = false;
        return WAIT_OBJECT_0;
    }

    void set() {
        {
            std::lock_guard guard(lock_);
            signalled_ = true;
            wake();
        }
        notify_signal_watchers();
    }

    void reset() {
        std::lock_guard guard(lock_);
        signalled_ = false;
    }

    // Releases the threads waiting now (one of them for an auto-reset event) and leaves
    // the event non-signalled.
    void pulse() {
        std::lock_guard guard(lock_);
        if (manual_reset_) {
            ++manual_pulses_;
            signalled_ = false;
        } else {
            // The released waiter resets the event as it leaves.
            signalled_ = waiters_ > 0;
        }
        wake();
    }

private:
    void wake() {
        if (manual_reset_) changed_.notify_all();
        else changed_.notify_one();
    }

    bool const manual_reset_;
    std::mutex lock_;
    std::condition_variable changed_;
    bool signalled_;
    int waiters_ = 0;
    std::uint64_t manual_pulses_ = 0;
};

}  // namespace
}  // namespace platform::detail

using platform::detail::EventObject;

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manual_reset, BOOL initial_state, LPCWSTR name) {
    if (name) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    return platform::detail::add_handle(
        std::make_shared<EventObject>(manual_reset != FALSE, initial_state != FALSE));
}

BOOL EventModify(HANDLE event, DWORD function) {
    auto const object = platform::detail::find_handle_as<EventObject>(event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    switch (function) {
    case EVENT_SET: object->set(); return TRUE;
    case EVENT_RESET: object->reset(); return TRUE;
    case EVENT_PULSE: object->pulse(); return TRUE;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
    }
}

BOOL SetEvent(HANDLE event) { return EventModify(event, EVENT_SET); }
BOOL ResetEvent(HANDLE event) { return EventModify(event, EVENT_RESET); }
BOOL PulseEvent(HANDLE event) { return EventModify(event, EVENT_PULSE); }
