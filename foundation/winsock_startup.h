#pragma once

#include <cstdint>

#include "foundation/nocopy.h"

namespace os {

// Keeps the platform's sockets started for the owner's lifetime: starts them (Winsock
// version 1.1) at construction and cleans up at destruction, the latter only when the
// start succeeded.
class WinsockStartup : private liba::Nocopy {
public:
    WinsockStartup();
    ~WinsockStartup();

    bool is_started() const { return started_; }

private:
    bool started_;
};

}  // namespace os
