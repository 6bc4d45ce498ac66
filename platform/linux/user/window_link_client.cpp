#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

#include "platform/linux/user/window_link_socket.h"
#include "platform/linux/user/window_links.h"
#include "platform/testing.h"

namespace platform::detail {
namespace {

// Links kept open per peer between requests; more are opened while requests overlap.
constexpr std::size_t max_idle_links_per_peer = 2;

std::atomic<DWORD> link_timeout{default_link_timeout_ms};

class KeptLinks {
public:
    // A kept link (reused = true) or a new one; -1 when the peer cannot be reached.
    int take(pid_t pid, DWORD timeout_ms, bool& reused) {
        {
            std::lock_guard guard(lock_);
            auto& idle = idle_[pid];
            if (!idle.empty()) {
                int const fd = idle.back();
                idle.pop_back();
                reused = true;
                return fd;
            }
        }
        reused = false;
        return open_link(pid, timeout_ms);
    }

    void keep(pid_t pid, int fd) {
        {
            std::lock_guard guard(lock_);
            auto& idle = idle_[pid];
            if (idle.size() < max_idle_links_per_peer) {
                idle.push_back(fd);
                return;
            }
        }
        ::close(fd);
    }

    void forget(pid_t pid) {
        std::vector<int> idle;
        {
            std::lock_guard guard(lock_);
            auto const it = idle_.find(pid);
            if (it == idle_.end()) return;
            idle.swap(it->second);
            idle_.erase(it);
        }
        for (int fd : idle) ::close(fd);
    }

private:
    static int open_link(pid_t pid, DWORD timeout_ms) {
        int const fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        limit_link_sends(fd, timeout_ms);
        socklen_t length;
        sockaddr_un const address = link_address(pid, length);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    std::mutex lock_;
    std::map<pid_t, std::vector<int>> idle_;
};

KeptLinks& kept_links() {
    static auto* const instance = new KeptLinks;  // lives to the process end
    return *instance;
}

bool exchange(int fd, const std::string& request, DWORD timeout_ms, LinkAnswer& answer) {
    limit_link_sends(fd, timeout_ms);
    limit_link_wait(fd, timeout_ms);
    if (!write_link_bytes(fd, request.data(), request.size()) ||
        !read_link_bytes(fd, &answer.header, sizeof answer.header)) {
        return false;
    }
    if (answer.header.magic != link_magic || answer.header.payload_size > max_link_payload_size) {
        errno = EPROTO;
        return false;
    }
    return read_link_text(fd, answer.payload, answer.header.payload_size);
}

}  // namespace

LinkAnswer ask_peer(pid_t pid, LinkRequest request, DWORD timeout_ms) {
    std::string const bytes = encode_link_request(request);
    auto& links = kept_links();
    for (;;) {
        LinkAnswer answer;
        bool reused = false;
        int const fd = links.take(pid, timeout_ms, reused);
        if (fd < 0) return answer;
        if (exchange(fd, bytes, timeout_ms, answer)) {
            links.keep(pid, fd);
            answer.reached = true;
            return answer;
        }
        bool const timed_out = errno == EAGAIN || errno == EWOULDBLOCK;
        ::close(fd);
        if (timed_out) {
            links.forget(pid);
            answer.timed_out = true;
            return answer;
        }
        // A kept link that the peer closed while it was idle: once more on a new link.
        if (!reused) return answer;
    }
}

DWORD link_timeout_ms() { return link_timeout.load(); }

}  // namespace platform::detail

void platform::set_window_link_timeout(DWORD timeout_ms) { platform::detail::link_timeout = timeout_ms; }
