#pragma once

#include "foundation/nocopy.h"

namespace os {

// Initialises the component runtime (multithreaded) for the calling thread for as long as
// the object lives. Every worker thread holds one for its whole life.
class ComInitializer : private liba::Nocopy {
public:
    ComInitializer();
    ~ComInitializer();
};

}  // namespace os
