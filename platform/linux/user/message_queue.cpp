#include "platform/linux/user/message_queue.h"

#include <algorithm>
#include <utility>

#include "platform/datetime.h"
#include "platform/linux/kernel/thread_registry.h"
#include "platform/linux/user/input_state.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/linux/user/window_tree.h"

namespace platform::detail {

namespace {

HWND const thread_messages_only = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

}  // namespace

bool MessageFilter::matches_number(UINT message) const {
    if (first == 0 && last == 0) return true;
    return message >= first && message <= last;
}

bool MessageFilter::matches(const MSG& message) const {
    if (message.message == WM_QUIT) return true;
    if (!matches_number(message.message)) return false;
    if (!window) return true;
    if (window == thread_messages_only) return message.hwnd == nullptr;
    return message.hwnd && is_window_within(message.hwnd, window);
}

void MessageQueue::changed() {
    ++generation_;
    wake_.notify_all();
}

bool MessageQueue::post(const MSG& message) {
    std::lock_guard guard(lock_);
    if (closed_) return false;
    posted_.push_back(message);
    changed();
    return true;
}

bool MessageQueue::post_input(const MSG& message, bool from_screen) {
    std::lock_guard guard(lock_);
    if (closed_) return false;
    screen_waits_ = screen_waits_ || from_screen;
    if (message.message == WM_MOUSEMOVE && !input_.empty() && input_.back().message.message == WM_MOUSEMOVE &&
        input_.back().message.hwnd == message.hwnd) {
        input_.back() = Input{message, from_screen};
    } else {
        input_.push_back(Input{message, from_screen});
    }
    changed();
    return true;
}

void MessageQueue::expect_screen_idle() {
    std::lock_guard guard(lock_);
    screen_waits_ = true;
}

bool MessageQueue::screen_waits() {
    std::lock_guard guard(lock_);
    return screen_waits_;
}

void MessageQueue::post_quit(int exit_code) {
    std::lock_guard guard(lock_);
    quit_ = true;
    quit_code_ = exit_code;
    changed();
}

bool MessageQueue::deliver(std::shared_ptr<SentMessage> message) {
    std::lock_guard guard(lock_);
    if (closed_) return false;
    sent_.push_back(std::move(message));
    changed();
    return true;
}

void MessageQueue::complete(SentMessage& message, LRESULT result) {
    std::lock_guard guard(lock_);
    message.result = result;
    message.done = true;
    changed();
}

void MessageQueue::set_timer(HWND window, UINT_PTR id, UINT period_ms, TIMERPROC procedure) {
    std::lock_guard guard(lock_);
    auto const due = Clock::now() + std::chrono::milliseconds(period_ms);
    for (auto& timer : timers_) {
        if (timer.window == window && timer.id == id) {
            timer = Timer{window, id, period_ms, procedure, due};
            changed();
            return;
        }
    }
    timers_.push_back(Timer{window, id, period_ms, procedure, due});
    changed();
}

bool MessageQueue::kill_timer(HWND window, UINT_PTR id) {
    std::lock_guard guard(lock_);
    auto const it = std::find_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    changed();
    return true;
}

bool MessageQueue::has_timer(HWND window, UINT_PTR id) {
    UINT ignored;
    return timer_period(window, id, ignored);
}

bool MessageQueue::timer_period(HWND window, UINT_PTR id, UINT& period_ms) {
    std::lock_guard guard(lock_);
    for (auto const& timer : timers_) {
        if (timer.window == window && timer.id == id) {
            period_ms = timer.period_ms;
            return true;
        }
    }
    return false;
}

void MessageQueue::forget_window(HWND window) {
    std::lock_guard guard(lock_);
    std::erase_if(timers_, [&](const Timer& t) { return t.window == window; });
    std::erase_if(posted_, [&](const MSG& m) { return m.hwnd == window; });
    std::erase_if(input_, [&](const Input& input) { return input.message.hwnd == window; });
    if (tapped_ == window) tapped_ = nullptr;
    changed();
}

void MessageQueue::serve_incoming() {
    for (;;) {
        std::shared_ptr<SentMessage> message;
        {
            std::lock_guard guard(lock_);
            if (sent_.empty()) return;
            message = std::move(sent_.front());
            sent_.pop_front();
        }
        LRESULT const result =
            call_window_procedure(message->window, message->message, message->wparam, message->lparam);
        message->reply_to->complete(*message, result);
    }
}

namespace {

bool take_first(std::deque<MSG>& messages, MSG& message, const MessageFilter& filter, bool remove) {
    auto const it = std::find_if(messages.begin(), messages.end(), [&](const MSG& m) { return filter.matches(m); });
    if (it == messages.end()) return false;
    message = *it;
    if (remove) messages.erase(it);
    return true;
}

}  // namespace

bool MessageQueue::take_posted(MSG& message, const MessageFilter& filter, bool remove) {
    return take_first(posted_, message, filter, remove);
}

bool MessageQueue::take_input(MSG& message, const MessageFilter& filter, bool remove) {
    auto const it =
        std::find_if(input_.begin(), input_.end(), [&](const Input& input) { return filter.matches(input.message); });
    if (it == input_.end()) return false;
    message = it->message;
    if (!remove) return true;
    bool const stylus_down = message.message == WM_LBUTTONDOWN || message.message == WM_LBUTTONDBLCLK;
    if (it->from_screen && stylus_down) tapped_ = message.hwnd;
    input_.erase(it);
    return true;
}

HWND MessageQueue::take_tapped_window() {
    std::lock_guard guard(lock_);
    return std::exchange(tapped_, nullptr);
}

bool MessageQueue::take_quit(MSG& message, const MessageFilter&, bool remove) {
    if (!quit_) return false;
    message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quit_code_), 0, 0, {}};
    if (remove) quit_ = false;
    return true;
}

bool MessageQueue::take_paint(MSG& message, const MessageFilter& filter, bool) {
    if (!filter.matches_number(WM_PAINT) || filter.window == thread_messages_only) return false;
    HWND const window = window_needing_paint(thread_id_, filter.window);
    if (!window) return false;
    message = MSG{window, WM_PAINT, 0, 0, 0, {}};
    return true;
}

bool MessageQueue::take_timer(MSG& message, const MessageFilter& filter, bool remove) {
    if (!filter.matches_number(WM_TIMER)) return false;
    auto const now = Clock::now();
    Timer* earliest = nullptr;
    for (auto& timer : timers_) {
        if (timer.due > now) continue;
        MSG const candidate{timer.window, WM_TIMER, timer.id, 0, 0, {}};
        if (!filter.matches(candidate)) continue;
        if (!earliest || timer.due < earliest->due) earliest = &timer;
    }
    if (!earliest) return false;
    message = MSG{earliest->window, WM_TIMER, earliest->id,
                  reinterpret_cast<LPARAM>(earliest->procedure), 0, {}};
    if (remove) earliest->due = now + std::chrono::milliseconds(earliest->period_ms);
    return true;
}

MessageQueue::Clock::time_point MessageQueue::next_timer_due(const MessageFilter& filter) const {
    auto next = Clock::time_point::max();
    if (!filter.matches_number(WM_TIMER)) return next;
    for (auto const& timer : timers_) {
        MSG const candidate{timer.window, WM_TIMER, timer.id, 0, 0, {}};
        if (filter.matches(candidate)) next = std::min(next, timer.due);
    }
    return next;
}

bool MessageQueue::retrieve(MSG& message, const MessageFilter& filter, bool remove, bool wait) {
    for (;;) {
        serve_incoming();
        std::unique_lock guard(lock_);
        if (!sent_.empty()) continue;
        for (Source const source : sources_) {
            if ((this->*source)(message, filter, remove)) {
                message.time = GetTickCount();
                return true;
            }
        }
        if (screen_waits_) {
            screen_waits_ = false;
            guard.unlock();
            screen_thread_idle(thread_id_);
            continue;
        }
        if (!wait) return false;
        std::uint64_t const seen = generation_;
        auto const woken = [&] { return generation_ != seen; };
        auto const next_due = next_timer_due(filter);
        if (next_due == Clock::time_point::max()) wake_.wait(guard, woken);
        else wake_.wait_until(guard, next_due, woken);
    }
}

void MessageQueue::wait_for_reply(SentMessage& message) {
    for (;;) {
        serve_incoming();
        std::unique_lock guard(lock_);
        if (message.done) return;
        if (!sent_.empty()) continue;
        wake_.wait(guard, [&] { return message.done || !sent_.empty(); });
    }
}

bool MessageQueue::has_waiting(DWORD wake_mask) {
    std::lock_guard guard(lock_);
    if ((wake_mask & QS_SENDMESSAGE) && !sent_.empty()) return true;
    if ((wake_mask & (QS_POSTMESSAGE | QS_ALLPOSTMESSAGE | QS_HOTKEY)) && (!posted_.empty() || quit_)) return true;
    if ((wake_mask & QS_INPUT) && !input_.empty()) return true;
    if ((wake_mask & QS_PAINT) && window_needing_paint(thread_id_, nullptr)) return true;
    if (wake_mask & QS_TIMER) {
        auto const now = Clock::now();
        for (auto const& timer : timers_) {
            if (timer.due <= now) return true;
        }
    }
    return false;
}

std::uint64_t MessageQueue::generation() {
    std::lock_guard guard(lock_);
    return generation_;
}

void MessageQueue::wait_for_change(std::uint64_t seen, Clock::time_point until) {
    std::unique_lock guard(lock_);
    wake_.wait_until(guard, until, [&] { return generation_ != seen; });
}

void MessageQueue::wake() {
    std::lock_guard guard(lock_);
    changed();
}

void MessageQueue::close() {
    std::deque<std::shared_ptr<SentMessage>> unanswered;
    {
        std::lock_guard guard(lock_);
        closed_ = true;
        unanswered.swap(sent_);
        posted_.clear();
        input_.clear();
        timers_.clear();
        changed();
    }
    for (auto& message : unanswered) message->reply_to->complete(*message, 0);
}

namespace {

// The user layer's part of a thread's end: its queue closes (pending senders get 0), its
// windows vanish without messages and its input state is dropped.
void end_of_thread(ThreadRecord& record) {
    std::shared_ptr<MessageQueue> queue;
    {
        std::lock_guard guard(record.lock);
        queue = std::move(record.queue);
    }
    input_state().forget_thread(record.id);
    if (queue) {
        for (HWND top : top_level_windows()) {
            if (window_thread(top) == record.id) remove_screen_window(top);
        }
        screen_thread_idle(record.id);
        forget_windows_of_thread(record.id);
        queue->close();
    }
}

}  // namespace

void watch_thread_ends() {
    static std::once_flag once;
    std::call_once(once, [] { on_thread_end(end_of_thread); });
}

std::shared_ptr<MessageQueue> current_queue() {
    watch_thread_ends();
    auto const record = current_thread_record();
    if (!record) return nullptr;
    std::lock_guard guard(record->lock);
    if (!record->queue) record->queue = std::make_shared<MessageQueue>(record->id);
    return record->queue;
}

std::shared_ptr<MessageQueue> find_queue(DWORD thread_id) {
    auto const record = find_thread_record(thread_id);
    if (!record) return nullptr;
    std::lock_guard guard(record->lock);
    return record->queue;
}

void wake_window_thread(HWND window) {
    if (auto const thread = window_thread(window)) {
        if (auto const queue = find_queue(*thread)) {
            if (screen_paint_pending(window)) queue->expect_screen_idle();
            queue->wake();
        }
    }
}

LRESULT send_to_thread(const std::shared_ptr<MessageQueue>& target, HWND window, UINT message,
                       WPARAM wparam, LPARAM lparam) {
    auto const own = current_queue();
    if (!own) return 0;
    auto const sent = std::make_shared<SentMessage>(SentMessage{window, message, wparam, lparam, own});
    if (!target->deliver(sent)) return 0;
    own->wait_for_reply(*sent);
    return sent->result;
}

}  // namespace platform::detail
