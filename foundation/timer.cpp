#include "foundation/timer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <list>

#include "foundation/application.h"
#include "foundation/active_scheduler_impl.h"
#include "foundation/timer_impl.h"
#include "platform/datetime.h"

namespace liba {
namespace {

CActiveScheduler& scheduler() { return *os::Application::instance()->get_scheduler(); }

std::list<Timer::Impl*>& timer_list() { return scheduler().impl().timers; }

// Remaining times are signed 32-bit tick differences: a delay must stay below 2^31 ms.
std::uint32_t delay_ms(double seconds) {
    constexpr double longest = std::numeric_limits<std::int32_t>::max();
    double const ms = seconds * 1000;
    if (!(ms > 0)) return 0;  // also NaN
    return static_cast<std::uint32_t>(std::min(ms, longest));
}

}  // namespace

void Timer::Impl::start(double seconds) {
    if (is_active()) scheduler().cancel(this);
    due_tick = GetTickCount() + delay_ms(seconds);
    completion_posted = false;
    scheduler().set_active(this);
    timer_list().push_back(this);
    scheduler().check_timers();
}

void Timer::Impl::run() {
    timer_list().remove(this);
    timer->get_listener()->on_timer(timer);
}

void Timer::Impl::do_cancel() {
    timer_list().remove(this);
    // A completion that the sweep already posted is the one the cancel waits for.
    if (!completion_posted) {
        completion_posted = true;
        scheduler().notify(this);
    }
}

Timer::Timer(Listener* listener) : impl_(new Impl(this)), listener_(listener) {}

Timer::~Timer() {
    stop();
    delete impl_;
}

void Timer::start(double seconds) { impl_->start(seconds); }

void Timer::stop() { impl_->cancel(); }

bool Timer::is_active() const { return impl_->is_active(); }

}  // namespace liba
