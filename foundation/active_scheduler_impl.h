// The state of the active-object scheduler, shared with the timers' source file.
#pragma once

#include <list>

#include "foundation/active_scheduler.h"
#include "foundation/timer_impl.h"
#include "platform/windows.h"

struct CActiveScheduler::Impl {
    std::list<CActive*> actives;          // every active object, in insertion order
    std::list<CActive*> pending_actives;  // completions taken out of the queue by a cancel
    std::list<liba::Timer::Impl*> timers; // armed timers, in insertion order
    HWND window = nullptr;                // the hidden window; null if it could not be made

    static LRESULT window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
};
