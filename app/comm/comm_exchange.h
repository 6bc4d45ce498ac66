// Which exchange of the command channel owns the shared stack. A sender numbers its
// exchange before it sends (the number travels in lParam) and ends it when it has its
// answer or gives up waiting; a handler of another process touches the stack only while
// its exchange is still the current one, checked and done under the channel's reply lock.
// So a handler that answers after its sender gave up cannot write on the stack of a
// later exchange. The reply lock is held only for a few words at a time: a wait for it
// ends after 2 s (a hung holder), and a lock left by a process that died holding it is
// taken over by the next waiter.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/types.h"

class CommExchange {
public:
    // The process's view of the channel's exchange word and reply lock (made on first use).
    static CommExchange& instance();
    // Opens the exchange word and the reply lock anew (the channel's set-up does).
    static void reopen();
    ~CommExchange();
    CommExchange(const CommExchange&) = delete;
    CommExchange& operator=(const CommExchange&) = delete;

    // A new current exchange; never 0. 0 when the exchange word cannot be made or the
    // reply lock cannot be had: the exchange then goes unnumbered, as a plain send.
    std::uint32_t begin();
    // The exchange is over; from now on its handler cannot touch the stack.
    void end(std::uint32_t number);
    // Ends whatever exchange is current. Under the sender mutex an exchange still current
    // was left by a sender that died in it: its handler must not touch the stack from now.
    void end_current();
    // Runs the stack operation when the exchange is the current one; false otherwise (also
    // when the reply lock cannot be had).
    bool run_if_current(std::uint32_t number, const std::function<bool()>& operation);

    // The exchange whose command this process's handler serves now; 0 outside a handler
    // and for an unnumbered command.
    static std::uint32_t served();
    // Marks the exchange served while it lives.
    class Serving {
    public:
        explicit Serving(std::uint32_t number);
        ~Serving();
        Serving(const Serving&) = delete;
        Serving& operator=(const Serving&) = delete;

    private:
        std::uint32_t const previous_;
    };

private:
    CommExchange();
    // The current exchange (0: none) and the last number given.
    LONG volatile* current() const { return words_; }
    LONG volatile* last_given() const { return words_ + 1; }

    HANDLE mapping_ = nullptr;
    LONG volatile* words_ = nullptr;
    HANDLE reply_lock_ = nullptr;
};
