// Threads that wait for kernel objects and for something else at once (a message queue:
// MsgWaitForMultipleObjects) are told when an object of this process may have become
// signalled, so that they look again at once (inside the Linux back end only). Objects
// signalled by another process are noticed by the waiter's own regular look.
#pragma once

#include <functional>
#include <list>

namespace platform::detail {

class SignalWatch {
public:
    // wake runs on the signalling thread, under no lock of the object's.
    explicit SignalWatch(std::function<void()> wake);
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

private:
    std::list<std::function<void()>>::iterator entry_;
};

// Called by an object that has just become signalled (an event set, a mutex released).
void notify_signal_watchers();

}  // namespace platform::detail
