#include "platform/linux/screen/screen_link.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/linux/kernel/run_folder.h"
#include "platform/linux/screen/screen_server.h"

namespace platform::screen {
namespace {

void set_timeout(int socket, int option, int timeout_ms) {
    timeval limit{};
    limit.tv_sec = timeout_ms / 1000;
    limit.tv_usec = static_cast<suseconds_t>((timeout_ms % 1000) * 1000);
    ::setsockopt(socket, SOL_SOCKET, option, &limit, sizeof limit);
}

void take_descriptors(msghdr& message, UniqueFd& passed, bool& extra) {
    for (cmsghdr* control = CMSG_FIRSTHDR(&message); control; control = CMSG_NXTHDR(&message, control)) {
        if (control->cmsg_level != SOL_SOCKET || control->cmsg_type != SCM_RIGHTS) continue;
        std::size_t const count = (control->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(control) + i * sizeof(int), sizeof fd);
            if (!passed) passed = UniqueFd(fd);
            else {
                ::close(fd);
                extra = true;
            }
        }
    }
    if (message.msg_flags & MSG_CTRUNC) extra = true;
}

// Reads exactly size bytes; started tells whether any byte of the message came before.
ReadResult read_bytes(int socket, char* into, std::size_t size, UniqueFd& passed, bool& extra, bool& started,
                      bool wait_for_start) {
    while (size > 0) {
        iovec part{into, size};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * 4)];
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        ssize_t const n = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && !started && wait_for_start) continue;
        if (n <= 0) return ReadResult::closed;
        take_descriptors(message, passed, extra);
        started = true;
        into += n;
        size -= static_cast<std::size_t>(n);
    }
    return ReadResult::message;
}

std::uint32_t little_endian(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

constexpr auto start_limit = std::chrono::seconds(10);

int connect_to(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int const socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return -1;
    if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

}  // namespace

UniqueFd open_screen_socket() {
    std::string const path = screen_socket_path();
    auto const limit = std::chrono::steady_clock::now() + start_limit;
    bool started = false;
    for (;;) {
        int const socket = connect_to(path);
        if (socket >= 0) return UniqueFd(socket);
        if (std::chrono::steady_clock::now() > limit) return UniqueFd();
        if (!started) ensure_screen_server();
        started = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool screen_server_running() {
    int const socket = connect_to(screen_socket_path());
    if (socket < 0) return false;
    ::close(socket);
    return true;
}

std::string screen_socket_path() { return platform::detail::run_subfolder("screen") + "/socket"; }
std::string screen_lock_path() { return platform::detail::run_subfolder("screen") + "/server.lock"; }

bool send_message(int socket, const std::string& message, int pass_fd) {
    char const* bytes = message.data();
    std::size_t size = message.size();
    bool first = true;
    while (size > 0) {
        iovec part{const_cast<char*>(bytes), size};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
        msghdr header{};
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        if (first && pass_fd >= 0) {
            header.msg_control = control;
            header.msg_controllen = sizeof control;
            cmsghdr* slot = CMSG_FIRSTHDR(&header);
            slot->cmsg_level = SOL_SOCKET;
            slot->cmsg_type = SCM_RIGHTS;
            slot->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(slot), &pass_fd, sizeof pass_fd);
        }
        ssize_t const n = ::sendmsg(socket, &header, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        first = false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

ReadResult read_message(int socket, MessageHeader& header, std::string& payload, UniqueFd& passed, std::uint32_t cap,
                        bool wait_for_start) {
    unsigned char raw[header_bytes];
    bool extra = false;
    bool started = false;
    passed = UniqueFd();
    ReadResult result = read_bytes(socket, reinterpret_cast<char*>(raw), sizeof raw, passed, extra, started, wait_for_start);
    if (result != ReadResult::message) return result;
    header.type = little_endian(raw);
    header.size = little_endian(raw + 4);
    if (header.size > cap) return ReadResult::refused;
    payload.resize(header.size);
    result = read_bytes(socket, payload.data(), payload.size(), passed, extra, started, false);
    if (result != ReadResult::message) return result;
    return extra ? ReadResult::refused : ReadResult::message;
}

bool peer_credentials(int socket, unsigned& uid, int& pid) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    uid = peer.uid;
    pid = peer.pid;
    return true;
}

void set_receive_timeout(int socket, int timeout_ms) { set_timeout(socket, SO_RCVTIMEO, timeout_ms); }
void set_send_timeout(int socket, int timeout_ms) { set_timeout(socket, SO_SNDTIMEO, timeout_ms); }

}  // namespace platform::screen
