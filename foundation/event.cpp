#include "foundation/event.h"

#include "platform/handles.h"
#include "platform/kernel.h"

namespace liba {

struct Event::Holder {
    HANDLE handle;
};

Event::Event() : holder_(new Holder{CreateEventW(nullptr, TRUE, FALSE, nullptr)}) {}

Event::~Event() {
    CloseHandle(holder_->handle);
    delete holder_;
}

std::uint32_t Event::wait() { return WaitForSingleObject(holder_->handle, INFINITE); }

bool Event::set() { return EventModify(holder_->handle, EVENT_SET) != FALSE; }

void Event::reset() { EventModify(holder_->handle, EVENT_RESET); }

}  // namespace liba
