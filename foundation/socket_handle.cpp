#include "foundation/socket_handle.h"

#include <type_traits>

#include "platform/sockets.h"

static_assert(std::is_same_v<SOCKET, std::uint32_t>);

namespace os {

SocketHandle::SocketHandle(std::uint32_t socket) : socket_(socket) {}

SocketHandle::~SocketHandle() {
    if (is_valid()) closesocket(socket_);
}

bool SocketHandle::is_valid() const { return socket_ != INVALID_SOCKET; }

}  // namespace os
