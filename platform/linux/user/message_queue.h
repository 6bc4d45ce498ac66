// A thread's message queue (inside the Linux back end only). Retrieval asks its sources in
// a fixed order: messages sent by other threads and processes (run, not returned), posted
// messages in strict arrival order, input (stylus and keys, fed by the screen), the quit
// request, paint (made at retrieval from the window tree's update regions, never queued)
// and the thread's due window timers (also made at retrieval). It hangs on the thread's
// ThreadRecord.
//
// The queue's lock may be held while the window tree is asked (a filter, paint); the tree
// never asks a queue (lock order in window_tree.h). Its condition is the thread's one
// waitable: whatever may give the thread something to do (a post, a send, input, an
// invalidation, a kernel object signalled) calls wake().
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/messages.h"
#include "platform/timers.h"

namespace platform::detail {

class MessageQueue;

// A message sent to a window of another thread; its sender waits until it is done.
struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    std::shared_ptr<MessageQueue> reply_to;  // the sender's queue, woken on completion
    LRESULT result = 0;
    bool done = false;  // guarded by reply_to's lock
};

// Which messages a retrieval takes (PeekMessageW and GetMessageW arguments).
struct MessageFilter {
    HWND window;
    UINT first;
    UINT last;
    bool matches_number(UINT message) const;
    bool matches(const MSG& message) const;
};

class MessageQueue {
public:
    using Clock = std::chrono::steady_clock;

    explicit MessageQueue(DWORD thread_id) : thread_id_(thread_id) {}
    DWORD thread_id() const { return thread_id_; }

    // Any thread. False once the thread has ended.
    bool post(const MSG& message);
    // Stylus and key input for the thread; a mouse move right behind another one for the
    // same window replaces it.
    // from_screen: the screen waits for the thread to be idle again (screen_thread_idle).
    bool post_input(const MSG& message, bool from_screen = false);
    // The window a stylus-down from the screen went to, once taken by the owning thread
    // (null when none since the last call): the caller activates its top-level window.
    HWND take_tapped_window();
    // The screen waits for the thread to be idle again (a paint is pending).
    void expect_screen_idle();
    // Whether the screen waits for the thread again (input or a paint came since it was last
    // found idle).
    bool screen_waits();
    void post_quit(int exit_code);
    bool deliver(std::shared_ptr<SentMessage> message);
    // Marks a message that was sent from this queue's thread as answered.
    void complete(SentMessage& message, LRESULT result);

    // Window timers of this thread (any thread may set them for a window of this thread).
    void set_timer(HWND window, UINT_PTR id, UINT period_ms, TIMERPROC procedure);
    bool kill_timer(HWND window, UINT_PTR id);
    bool has_timer(HWND window, UINT_PTR id);
    // The timer's period, when it exists.
    bool timer_period(HWND window, UINT_PTR id, UINT& period_ms);
    // Drops the window's timers and queued messages (the window is being destroyed).
    void forget_window(HWND window);

    // The owning thread only. Runs incoming sent messages first; false when nothing
    // matched and wait is false.
    bool retrieve(MSG& message, const MessageFilter& filter, bool remove, bool wait);
    // Waits until the message this thread sent is answered, running incoming sends.
    void wait_for_reply(SentMessage& message);

    // For waits on the queue and on something else at once (MsgWaitForMultipleObjects):
    // whether messages of the wake mask's kinds wait, and a wait until the queue changes
    // (or wake() is called) after `seen` was read from generation(), or until `until`.
    bool has_waiting(DWORD wake_mask);
    std::uint64_t generation();
    void wait_for_change(std::uint64_t seen, Clock::time_point until);
    void wake();

    // The thread ends: pending senders get 0, later posts fail.
    void close();

private:
    struct Timer {
        HWND window;
        UINT_PTR id;
        UINT period_ms;
        TIMERPROC procedure;
        Clock::time_point due;
    };

    void serve_incoming();
    void changed();  // with lock_ held
    // The sources, asked in this order with lock_ held.
    using Source = bool (MessageQueue::*)(MSG& message, const MessageFilter& filter, bool remove);
    bool take_posted(MSG& message, const MessageFilter& filter, bool remove);
    bool take_input(MSG& message, const MessageFilter& filter, bool remove);
    bool take_quit(MSG& message, const MessageFilter& filter, bool remove);
    bool take_paint(MSG& message, const MessageFilter& filter, bool remove);
    bool take_timer(MSG& message, const MessageFilter& filter, bool remove);
    static constexpr Source sources_[] = {&MessageQueue::take_posted, &MessageQueue::take_input,
                                          &MessageQueue::take_quit, &MessageQueue::take_paint,
                                          &MessageQueue::take_timer};
    Clock::time_point next_timer_due(const MessageFilter& filter) const;

    DWORD const thread_id_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::uint64_t generation_ = 0;
    std::deque<MSG> posted_;
    struct Input {
        MSG message;
        bool from_screen;
    };
    std::deque<Input> input_;
    HWND tapped_ = nullptr;  // a window the stylus went down on, taken but not yet activated
    std::deque<std::shared_ptr<SentMessage>> sent_;
    std::vector<Timer> timers_;
    bool quit_ = false;
    int quit_code_ = 0;
    bool closed_ = false;
    bool screen_waits_ = false;
};

// Makes the user layer clean up after every thread that ends (see on_thread_end); called
// before the layer keeps anything for a thread.
void watch_thread_ends();
// The calling thread's queue, made at its first use.
std::shared_ptr<MessageQueue> current_queue();
// The queue of a running thread; null when it has none (yet).
std::shared_ptr<MessageQueue> find_queue(DWORD thread_id);
// Wakes the queue of the window's thread (it may have something to paint).
void wake_window_thread(HWND window);
// Sends to a window of another thread of this process and waits for the answer.
LRESULT send_to_thread(const std::shared_ptr<MessageQueue>& target, HWND window, UINT message,
                       WPARAM wparam, LPARAM lparam);

}  // namespace platform::detail
