#pragma once

#include "foundation/nocopy.h"

namespace liba {

// A lock that the thread holding it may take again (it is released as often as taken).
// One pointer wide. Usable with std::lock_guard.
class CriticalSection : private Nocopy {
public:
    CriticalSection();
    // Releases the lock once if the destroying thread still holds it.
    ~CriticalSection();

    void lock();
    void unlock();

private:
    struct Section;
    Section* section_;
};

}  // namespace liba
