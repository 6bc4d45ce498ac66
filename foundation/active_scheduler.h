#pragma once

#include <atomic>

#include "foundation/nocopy.h"

// An object with asynchronous work whose completion runs on the user-interface thread.
// The scheduler marks it active when the work starts; any thread reports the completion
// with CActiveScheduler::notify; run() then executes inside the user-interface thread's
// message loop. Misuse ends the process through os::fatal_error.
class CActive : private liba::Nocopy {
public:
    CActive();
    // Fatal while the object is still active.
    virtual ~CActive();
    // The completion; the active flag is already cleared, so it may start new work.
    virtual void run() = 0;
    // Stops the pending work; a completion for this object must be notified afterwards,
    // unless it already was.
    virtual void do_cancel() = 0;

    bool is_active() const { return active_.load(); }
    // Cancels through the application's scheduler when active; nothing otherwise.
    void cancel();

private:
    friend class CActiveScheduler;
    std::atomic<bool> active_{false};
};

// The process's scheduler of active objects, owned by os::Application. Its hidden window
// ("CActiveSchedulerClass") receives the completions and the timer sweep's window timer.
// Everything but notify runs on the user-interface thread that created it.
class CActiveScheduler : private liba::Nocopy {
public:
    // The completion message (WM_USER + 5, the object in wParam) and the sweep's timer id.
    static constexpr unsigned completion_message = 0x405;
    static constexpr unsigned timer_id = 1;
    // A sweep that finds no timer due sooner than this many milliseconds sets no window timer.
    static constexpr long no_timer_needed_ms = 10000000;

    CActiveScheduler();
    // Fatal while active objects remain.
    virtual ~CActiveScheduler();

    void set_active(CActive* object);
    // Any thread. The result of posting the completion.
    bool notify(CActive* object);
    bool process_actives(CActive* object);
    // Lets the object cancel and waits for its completion without running it; completions
    // of other objects that arrive meanwhile run before cancel returns, in arrival order.
    void cancel(CActive* object);
    // Notifies the due timers and sets the window timer for the nearest of the others.
    void check_timers();

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    Impl* impl_;
};
