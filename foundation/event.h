#pragma once

#include <cstdint>

#include "foundation/nocopy.h"

namespace liba {

// A manual-reset event, unnamed, created non-signalled: one set releases every waiter and
// every later wait until it is reset.
class Event : private Nocopy {
public:
    Event();
    ~Event();

    // The platform's wait result (WAIT_OBJECT_0 once signalled).
    std::uint32_t wait();
    bool set();
    void reset();

private:
    struct Holder;
    Holder* holder_;
};

}  // namespace liba
