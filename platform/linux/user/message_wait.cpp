// Waiting for kernel objects and for the calling thread's messages at once.
#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/linux/kernel/handles.h"
#include "platform/linux/kernel/signal_watchers.h"
#include "platform/linux/user/message_queue.h"
#include "platform/messages.h"

using namespace platform::detail;

namespace {

// Objects signalled by another process (a named mutex) tell no watcher: they are looked
// at again after this long at the latest.
constexpr auto look_again = std::chrono::milliseconds(10);

DWORD fail(DWORD error) {
    SetLastError(error);
    return WAIT_FAILED;
}

// WAIT_OBJECT_0 + i or WAIT_ABANDONED + i for the first object that could be taken now.
std::optional<DWORD> take_signalled(const std::vector<std::shared_ptr<KernelObject>>& objects) {
    for (std::size_t i = 0; i < objects.size(); ++i) {
        DWORD const result = objects[i]->wait(0);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) return result + static_cast<DWORD>(i);
    }
    return std::nullopt;
}

}  // namespace

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout_ms,
                                DWORD wake_mask) {
    if (wait_all || count > MAXIMUM_WAIT_OBJECTS || (count > 0 && !handles)) return fail(ERROR_INVALID_PARAMETER);
    std::vector<std::shared_ptr<KernelObject>> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto object = find_handle(handles[i]);
        if (!object) return fail(ERROR_INVALID_HANDLE);
        objects.push_back(std::move(object));
    }
    auto const queue = current_queue();
    if (!queue) return fail(ERROR_INVALID_PARAMETER);
    SignalWatch const watch([queue] { queue->wake(); });
    using Clock = MessageQueue::Clock;
    auto const deadline = timeout_ms == INFINITE ? Clock::time_point::max()
                                                 : Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        std::uint64_t const seen = queue->generation();
        if (auto const taken = take_signalled(objects)) return *taken;
        if (queue->has_waiting(wake_mask)) return WAIT_OBJECT_0 + count;
        auto const now = Clock::now();
        if (now >= deadline) return WAIT_TIMEOUT;
        queue->wait_for_change(seen, std::min(deadline, now + look_again));
    }
}
