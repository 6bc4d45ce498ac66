#pragma once

#include <cstdint>

#include "foundation/nocopy.h"

namespace os {

// The owner of one socket: closes it when the owner ends.
class SocketHandle : private liba::Nocopy {
public:
    // The platform's SOCKET value; 0xFFFFFFFF (INVALID_SOCKET) owns nothing.
    explicit SocketHandle(std::uint32_t socket);
    ~SocketHandle();

    bool is_valid() const;
    std::uint32_t get() const { return socket_; }

private:
    std::uint32_t socket_;
};

}  // namespace os
