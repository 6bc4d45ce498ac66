#pragma once

#include <cstdint>

#include "foundation/inplace_impl.h"
#include "foundation/nocopy.h"

namespace liba {

struct ThreadImpl;

// A worker thread whose body is run(). The owner starts it, asks it to stop
// (request_stop, then wakes it if it sleeps) and joins it; the body polls
// is_stop_requested between units of work. Once the body has returned the object is idle
// again and may be started anew.
class Thread : private Nocopy, private InplaceImpl<ThreadImpl, 8> {
public:
    Thread();
    // Does not wait for the thread: the owner requests the stop and joins first.
    virtual ~Thread();

    // False when the thread still runs or cannot be made.
    bool start();
    void request_stop();
    bool is_stop_requested() const;
    // Waits until the body has returned; at once when no thread runs.
    void join();
    // Level -2 (lowest) .. +2 (highest); other levels act as the nearest of these.
    bool set_priority(int level);
    // Called by the thread itself: sleeps until resume(). A resume() that comes first is
    // kept, and the next suspend() returns at once. The previous suspend count, or
    // 0xFFFFFFFF when there is no thread.
    std::uint32_t suspend();
    std::uint32_t resume();

    // The platform's id of the thread started last; 0 before the first start.
    std::uint32_t get_id() const;

protected:
    virtual void run() = 0;

private:
    static std::uint32_t thread_proc(void* thread);
    static void release_handle_at_end(Thread* thread);
    void* handle_for_call() const;
};

}  // namespace liba
