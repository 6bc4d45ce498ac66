#include "foundation/critical_section.h"

#include "platform/kernel.h"

namespace liba {

struct CriticalSection::Section {
    CRITICAL_SECTION platform;
};

CriticalSection::CriticalSection() : section_(new Section) {
    InitializeCriticalSection(&section_->platform);
}

CriticalSection::~CriticalSection() {
    if (section_->platform.OwnerThread == GetCurrentThreadId()) {
        LeaveCriticalSection(&section_->platform);
    }
    DeleteCriticalSection(&section_->platform);
    delete section_;
}

void CriticalSection::lock() { EnterCriticalSection(&section_->platform); }

void CriticalSection::unlock() { LeaveCriticalSection(&section_->platform); }

}  // namespace liba
