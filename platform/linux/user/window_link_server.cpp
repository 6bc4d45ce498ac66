#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "platform/linux/user/window_link_socket.h"
#include "platform/linux/user/window_links.h"

namespace platform::detail {
namespace {

// A link with no request for this long is closed; the asker opens a new one when needed.
constexpr DWORD idle_link_ms = 60000;
// Once a request has begun, the rest of it must follow within this time.
constexpr DWORD partial_request_ms = 2000;

std::atomic<int> served_links{0};

bool same_user(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

bool read_request(int fd, LinkRequest& request) {
    limit_link_wait(fd, idle_link_ms);
    if (!read_link_bytes(fd, &request.header, sizeof request.header)) return false;
    if (!acceptable_request_header(request.header)) return false;
    limit_link_wait(fd, partial_request_ms);
    return read_link_text(fd, request.device, request.header.device_size) &&
           read_link_text(fd, request.payload, request.header.payload_size);
}

void serve_link(int fd, const LinkHandler& handler) {
    LinkRequest request;
    while (read_request(fd, request)) {
        LinkReplyHeader reply{link_magic, 0, 0, 0, 0};
        std::string payload;
        std::function<void()> after_reply;
        handler(request, reply, payload, after_reply);
        reply.payload_size = static_cast<std::uint32_t>(payload.size());
        bool const answered =
            write_link_bytes(fd, &reply, sizeof reply) && write_link_bytes(fd, payload.data(), payload.size());
        if (after_reply) after_reply();
        if (!answered) break;
    }
    ::close(fd);
    --served_links;
}

void accept_links(int server, LinkHandler handler) {
    for (;;) {
        int const fd = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED || errno == EMFILE || errno == ENFILE) continue;
            return;
        }
        if (!same_user(fd) || served_links.load() >= max_served_links) {
            ::close(fd);
            continue;
        }
        ++served_links;
        limit_link_sends(fd, partial_request_ms);
        std::thread(serve_link, fd, handler).detach();
    }
}

}  // namespace

bool start_link_server(LinkHandler handler) {
    int const server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (server < 0) return false;
    socklen_t length;
    sockaddr_un const address = link_address(::getpid(), length);
    if (::bind(server, reinterpret_cast<const sockaddr*>(&address), length) != 0 || ::listen(server, 64) != 0) {
        ::close(server);
        return false;
    }
    std::thread(accept_links, server, std::move(handler)).detach();
    return true;
}

}  // namespace platform::detail
