// The armed state of a liba::Timer, shared by the timer and the scheduler's timer sweep.
#pragma once

#include <cstdint>

#include "foundation/active_scheduler.h"
#include "foundation/timer.h"

namespace liba {

class Timer::Impl : public CActive {
public:
    explicit Impl(Timer* owner) : timer(owner) {}

    void start(double seconds);
    void run() override;
    void do_cancel() override;

    Timer* const timer;
    std::uint32_t due_tick = 0;
    // The sweep has notified the completion, which has not run yet: no second notify.
    bool completion_posted = false;
};

}  // namespace liba
