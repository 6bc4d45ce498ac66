#include "foundation/active_scheduler.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/application.h"
#include "foundation/log.h"
#include "foundation/active_scheduler_impl.h"
#include "foundation/timer_impl.h"
#include "platform/datetime.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/windows.h"


namespace {

constexpr char16_t window_class_name[] = u"CActiveSchedulerClass";

CActiveScheduler* scheduler_of(HWND window) {
    return reinterpret_cast<CActiveScheduler*>(GetWindowLongW(window, GWL_USERDATA));
}

template <class List, class Item>
bool erase_from(List& list, Item item) {
    auto const it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

// The hidden window's procedure.
LRESULT CActiveScheduler::Impl::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (auto* scheduler = scheduler_of(window)) {
        if (message == completion_message) scheduler->process_actives(reinterpret_cast<CActive*>(wparam));
        else if (message == WM_TIMER) scheduler->check_timers();
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

CActive::CActive() = default;

CActive::~CActive() {
    if (active_) os::fatal_error(u"CActive::~CActive()", u"Active object is already active");
}

void CActive::cancel() {
    if (active_) os::Application::instance()->get_scheduler()->cancel(this);
}

CActiveScheduler::CActiveScheduler() : impl_(new Impl) {
    auto const* application = os::Application::instance();
    HINSTANCE const instance = application ? application->get_instance_handle() : nullptr;
    WNDCLASSW window_class{};
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = Impl::window_proc;
    window_class.hInstance = instance;
    window_class.lpszClassName = window_class_name;
    RegisterClassW(&window_class);
    impl_->window = CreateWindowExW(0, window_class_name, u"CActiveScheduler", WS_POPUP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (impl_->window) SetWindowLongW(impl_->window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CActiveScheduler::~CActiveScheduler() {
    if (!impl_->actives.empty()) {
        os::fatal_error(u"", u"Some active objects still live while scheduler is terminating");
    }
    if (impl_->window) DestroyWindow(impl_->window);
    delete impl_;
}

void CActiveScheduler::set_active(CActive* object) {
    if (object->active_) os::fatal_error(u"CActiveScheduler::set_active", u"Object is already active");
    object->active_ = true;
    impl_->actives.push_back(object);
}

bool CActiveScheduler::notify(CActive* object) {
    if (!object->active_) os::fatal_error(u"CActiveScheduler::notify()", u"Active object is not active");
    return PostMessageW(impl_->window, completion_message, reinterpret_cast<WPARAM>(object), 0) != FALSE;
}

bool CActiveScheduler::process_actives(CActive* object) {
    auto const it = std::find(impl_->actives.begin(), impl_->actives.end(), object);
    if (it == impl_->actives.end()) {
        os::fatal_error(u"CActiveScheduler::process_actives()", u"Active object is not in active list");
    }
    if (!object->active_) {
        os::fatal_error(u"CActiveScheduler::process_actives()", u"Active object is not marked active");
    }
    object->active_ = false;
    impl_->actives.erase(it);
    object->run();
    return true;
}

void CActiveScheduler::cancel(CActive* object) {
    auto const settle = [this](CActive* settled) {
        settled->active_ = false;
        erase_from(impl_->actives, settled);
    };
    object->do_cancel();
    if (erase_from(impl_->pending_actives, object)) {
        settle(object);
        return;
    }
    // A quit taken out of the queue here is posted again once the object is settled, so
    // that the enclosing message loop still ends.
    bool quit_seen = false;
    WPARAM quit_code = 0;
    MSG message;
    for (;;) {
        BOOL const got = GetMessageW(&message, impl_->window, completion_message, completion_message);
        if (got == -1) break;
        if (got == 0) {
            quit_seen = true;
            quit_code = message.wParam;
            continue;  // do_cancel promised the completion: wait for it
        }
        auto* completed = reinterpret_cast<CActive*>(message.wParam);
        if (completed == object) break;
        if (!completed->active_) {
            os::fatal_error(u"CActiveScheduler::cancel",
                            u"Object to be added to pending_actives is not marked as active");
        }
        impl_->pending_actives.push_back(completed);
    }
    settle(object);
    while (!impl_->pending_actives.empty()) {
        CActive* const next = impl_->pending_actives.front();
        impl_->pending_actives.pop_front();
        process_actives(next);
    }
    if (quit_seen) PostQuitMessage(static_cast<int>(quit_code));
}

void CActiveScheduler::check_timers() {
    KillTimer(impl_->window, timer_id);
    DWORD const now = GetTickCount();
    long nearest = no_timer_needed_ms;
    std::vector<std::pair<std::int32_t, liba::Timer::Impl*>> due;
    for (liba::Timer::Impl* timer : impl_->timers) {
        auto const remaining = static_cast<std::int32_t>(timer->due_tick - now);
        if (remaining < 1) {
            if (!timer->completion_posted) due.emplace_back(remaining, timer);
        } else {
            nearest = std::min<long>(nearest, remaining);
        }
    }
    // A late sweep finds several timers due at once: they complete in due order.
    std::stable_sort(due.begin(), due.end(), [](auto const& a, auto const& b) { return a.first < b.first; });
    for (auto const& [remaining, timer] : due) {
        timer->completion_posted = true;
        notify(timer);
    }
    if (nearest != no_timer_needed_ms) SetTimer(impl_->window, timer_id, static_cast<UINT>(nearest), nullptr);
}
