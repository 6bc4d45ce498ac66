#include "platform/linux/user/window_link_socket.h"

#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::detail {
namespace {

void limit(int fd, int option, DWORD timeout_ms) {
    timeval limit{};
    if (timeout_ms != INFINITE) {
        limit.tv_sec = static_cast<time_t>(timeout_ms / 1000);
        limit.tv_usec = static_cast<suseconds_t>((timeout_ms % 1000) * 1000);
        if (timeout_ms == 0) limit.tv_usec = 1;
    }
    ::setsockopt(fd, SOL_SOCKET, option, &limit, sizeof limit);
}

}  // namespace

sockaddr_un link_address(pid_t pid, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string const name = "sonbrix-windows-" + std::to_string(pid);
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return address;
}

void limit_link_wait(int fd, DWORD timeout_ms) { limit(fd, SO_RCVTIMEO, timeout_ms); }
void limit_link_sends(int fd, DWORD timeout_ms) { limit(fd, SO_SNDTIMEO, timeout_ms); }

bool write_link_bytes(int fd, const void* data, std::size_t size) {
    auto const* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t const n = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool read_link_bytes(int fd, void* data, std::size_t size) {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        ssize_t const n = ::recv(fd, bytes, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ECONNRESET;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool read_link_text(int fd, std::string& into, std::uint32_t size) {
    into.resize(size);
    return size == 0 || read_link_bytes(fd, into.data(), size);
}

}  // namespace platform::detail
