// Byte transport of the window links (inside the Linux back end only).
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <cstddef>
#include <string>

#include "platform/types.h"

namespace platform::detail {

// Abstract socket names vanish with their process, so a dead process leaves no listener.
sockaddr_un link_address(pid_t pid, socklen_t& length);
// Reads and writes fail after timeout_ms without progress (INFINITE: never).
void limit_link_wait(int fd, DWORD timeout_ms);
void limit_link_sends(int fd, DWORD timeout_ms);
bool write_link_bytes(int fd, const void* data, std::size_t size);
bool read_link_bytes(int fd, void* data, std::size_t size);
// The caller has checked size against its cap.
bool read_link_text(int fd, std::string& into, std::uint32_t size);

}  // namespace platform::detail
