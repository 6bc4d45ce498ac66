// Window timers: kept in the queue of the thread that owns the window (or that set a
// timer without a window) and turned into WM_TIMER when that thread looks for messages.
#include "platform/timers.h"

#include <atomic>

#include "platform/errors.h"
#include "platform/testing.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/window_tree.h"

using namespace platform::detail;

namespace {

std::shared_ptr<MessageQueue> timer_queue(HWND window) {
    if (!window) return current_queue();
    auto const thread = window_thread(window);
    return thread ? find_queue(*thread) : nullptr;
}

}  // namespace

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT period_ms, TIMERPROC procedure) {
    auto const queue = timer_queue(window);
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (!window) {
        static std::atomic<UINT_PTR> next_id{0x7FFF};
        id = ++next_id;
    }
    queue->set_timer(window, id, period_ms, procedure);
    return window ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    auto const queue = timer_queue(window);
    if (!queue || !queue->kill_timer(window, id)) {
        SetLastError(ERROR_TIMER_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

std::optional<UINT> platform::window_timer_period(HWND window, UINT_PTR id) {
    auto const queue = timer_queue(window);
    UINT period = 0;
    if (!queue || !queue->timer_period(window, id, period)) return std::nullopt;
    return period;
}
