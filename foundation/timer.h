#pragma once

#include "foundation/nocopy.h"

namespace liba {

// A one-shot timer in seconds whose expiry reaches its listener on the user-interface
// thread through the application's active-object scheduler. User-interface thread only.
class Timer : private Nocopy {
public:
    class Listener {
    public:
        // The timer is idle again when this is called; it may be started anew from here.
        virtual void on_timer(Timer* timer) = 0;
        virtual ~Listener() = default;
    };
    class Impl;

    explicit Timer(Listener* listener);
    // Stops the timer first: the listener is not called.
    virtual ~Timer();

    // (Re)arms the timer; the listener is called no earlier than the next turn of the
    // message loop, also for 0 seconds. Negative delays count as 0; delays beyond
    // 2^31 - 1 ms (about 24.8 days) are cut to that.
    void start(double seconds);
    // Disarms an armed timer without a listener call.
    void stop();
    bool is_active() const;

    Listener* get_listener() const { return listener_; }

private:
    Impl* impl_;
    Listener* listener_;
};

}  // namespace liba
