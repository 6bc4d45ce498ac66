#include "platform/linux/screen/screen_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/display/display_driver.h"
#include "platform/linux/screen/screen_link.h"
#include "platform/linux/screen/screen_state.h"
#include "platform/linux/screen/shell_layout.h"

extern char** environ;

namespace platform::screen {
namespace {

constexpr const char* server_variable = "SONBRIX_SCREEN_SERVER";
constexpr std::size_t max_links = 32;
constexpr std::size_t max_queued_bytes = 32 * 1024 * 1024;
constexpr int send_timeout_ms = 2000;
constexpr auto grace = std::chrono::milliseconds(3000);
constexpr int display_poll_ms = 50;

bool control_only(MessageType type) {
    switch (type) {
    case MessageType::inject_stylus:
    case MessageType::inject_key:
    case MessageType::screenshot:
    case MessageType::list_windows:
    case MessageType::wait_idle:
    case MessageType::set_size:
    case MessageType::last_damage:
        return true;
    default:
        return false;
    }
}

// One connection: its socket and the messages waiting to go out on it. A writer thread
// sends them, so that nobody waits on a slow or stopped client while holding a lock.
class ServerLink {
public:
    explicit ServerLink(int socket) : socket_(socket) {}

    int socket() const { return socket_.get(); }

    // Drops the message when the queue is over its cap (a client that does not read).
    bool enqueue(std::string message) {
        std::lock_guard lock(mutex_);
        if (closed_ || queued_bytes_ + message.size() > max_queued_bytes) return false;
        queued_bytes_ += message.size();
        queue_.push_back(std::move(message));
        ready_.notify_one();
        return true;
    }

    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        ::shutdown(socket_.get(), SHUT_RDWR);
        ready_.notify_all();
    }

    void write_until_closed() {
        for (;;) {
            std::string message;
            {
                std::unique_lock lock(mutex_);
                ready_.wait(lock, [&] { return closed_ || !queue_.empty(); });
                if (closed_) return;
                message = std::move(queue_.front());
                queue_.pop_front();
                queued_bytes_ -= message.size();
            }
            if (!send_message(socket_.get(), message)) {
                close();
                return;
            }
        }
    }

private:
    UniqueFd socket_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::string> queue_;
    std::size_t queued_bytes_ = 0;
    bool closed_ = false;
};

class ScreenServer {
public:
    ScreenServer(std::string device, std::string socket_path)
        : device_(std::move(device)),
          socket_path_(std::move(socket_path)),
          state_(display::screen_mode_from_environment(),
                 [this](LinkId link, std::string message) { return deliver(link, std::move(message)); },
                 shell_shown_from_environment()) {}

    [[noreturn]] void run(int listener) {
        driver_ = display::open_display(state_.mode());
        driver_mode_ = state_.mode();
        std::thread([this, listener] { accept_links(listener); }).detach();
        display_loop();
        ::unlink(socket_path_.c_str());
        ::_exit(0);
    }

private:
    bool deliver(LinkId id, std::string message) {
        auto found = links_.find(id);
        return found != links_.end() && found->second->enqueue(std::move(message));
    }

    void changed() {
        if (driver_) driver_->wake();
        idle_changed_.notify_all();
    }

    void accept_links(int listener) {
        for (;;) {
            pollfd waiting{listener, POLLIN, 0};
            if (::poll(&waiting, 1, 200) <= 0) continue;
            int const socket = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (socket < 0) continue;
            unsigned uid = 0;
            int pid = 0;
            std::lock_guard lock(mutex_);
            if (ending_ || !peer_credentials(socket, uid, pid) || uid != ::getuid() || links_.size() >= max_links) {
                ::close(socket);
                continue;
            }
            LinkId const id = ++last_link_;
            auto link = std::make_shared<ServerLink>(socket);
            set_receive_timeout(socket, message_timeout_ms);
            set_send_timeout(socket, send_timeout_ms);
            links_[id] = link;
            pending_links_++;
            std::thread([link] { link->write_until_closed(); }).detach();
            std::thread([this, link, id, pid] { serve(link, id, pid); }).detach();
        }
    }

    void serve(const std::shared_ptr<ServerLink>& link, LinkId id, int pid) {
        bool greeted = false;
        Role role = Role::client;
        for (;;) {
            MessageHeader header;
            std::string payload;
            UniqueFd passed;
            if (read_message(link->socket(), header, payload, passed, max_request_bytes, true) != ReadResult::message) break;
            auto request = decode_request(header.type, payload);
            if (!request) break;
            if (!greeted) {
                if (request->type != MessageType::hello || request->version != protocol_version) break;
                greeted = true;
                role = request->role;
                std::lock_guard lock(mutex_);
                pending_links_--;
                state_.add_link(id, pid, role);
                changed();
                continue;
            }
            if (request->type == MessageType::hello || (control_only(request->type) && role != Role::control)) break;
            answer(*link, id, *request, std::move(passed));
        }
        std::lock_guard lock(mutex_);
        if (!greeted) pending_links_--;
        state_.remove_link(id);
        links_.erase(id);
        link->close();
        changed();
    }

    void answer(ServerLink& link, LinkId id, const Request& request, UniqueFd passed) {
        switch (request.type) {
        case MessageType::sync:
            link.enqueue(MessageWriter(MessageType::result).u32(1).finish());
            return;
        case MessageType::screenshot: {
            std::lock_guard lock(mutex_);
            link.enqueue(state_.picture_message());
            return;
        }
        case MessageType::list_windows: {
            std::lock_guard lock(mutex_);
            link.enqueue(state_.windows_message());
            return;
        }
        case MessageType::last_damage: {
            std::lock_guard lock(mutex_);
            auto const rects = state_.take_composed_area();
            MessageWriter out(MessageType::rectangles);
            out.u32(static_cast<std::uint32_t>(rects.size()));
            for (auto const& rect : rects) out.rect(rect);
            link.enqueue(out.finish());
            return;
        }
        case MessageType::wait_idle: {
            std::unique_lock lock(mutex_);
            bool const idle = idle_changed_.wait_for(lock, std::chrono::milliseconds(request.timeout_ms),
                                                     [&] { return state_.idle(); });
            link.enqueue(MessageWriter(MessageType::result).u32(idle ? 1 : 0).finish());
            return;
        }
        default:
            break;
        }
        std::unique_ptr<SurfacePixels> memory;
        if (passed && (request.type == MessageType::create_surface || request.type == MessageType::set_rect))
            memory = map_shared_pixels(passed, request.rect.right - request.rect.left, request.rect.bottom - request.rect.top);
        std::lock_guard lock(mutex_);
        bool const done = state_.handle(id, request, std::move(memory));
        if (request.type == MessageType::set_size || request.type == MessageType::register_hotkey)
            link.enqueue(MessageWriter(MessageType::result).u32(done ? 1 : 0).finish());
        // After the panel's events, so that the caller finds them posted when it has its answer.
        if (request.type == MessageType::set_input_panel || request.type == MessageType::input_panel_state)
            link.enqueue(MessageWriter(MessageType::result).u32(state_.input_panel_up() ? 1 : 0).finish());
        changed();
    }

    bool device_gone() const {
        struct stat status;
        return ::stat((device_ + "/run/screen").c_str(), &status) != 0;
    }

    void display_loop() {
        auto unused_since = std::chrono::steady_clock::now();
        for (;;) {
            display::InputEvent event;
            bool const got = driver_->wait_input(event, display_poll_ms);
            std::lock_guard lock(mutex_);
            if (got && event.kind == display::InputKind::quit) break;
            if (got) state_.route(event);
            present_changes();
            auto const now = std::chrono::steady_clock::now();
            if (!state_.unused() || pending_links_ > 0) unused_since = now;
            if (now - unused_since > grace || device_gone()) break;
        }
        std::lock_guard lock(mutex_);
        ending_ = true;
        for (auto& [id, link] : links_) link->close();
    }

    void present_changes() {
        auto const& mode = state_.mode();
        if (mode.width != driver_mode_.width || mode.height != driver_mode_.height) {
            driver_->resize(mode);
            driver_mode_ = mode;
        }
        if (state_.needs_compose()) {
            auto const rects = state_.compose();
            driver_->present(state_.frame(), rects);
        }
        idle_changed_.notify_all();
    }

    std::string device_;
    std::string socket_path_;
    std::mutex mutex_;
    std::condition_variable idle_changed_;
    ScreenState state_;
    std::map<LinkId, std::shared_ptr<ServerLink>> links_;
    LinkId last_link_ = 0;
    int pending_links_ = 0;
    bool ending_ = false;
    std::unique_ptr<display::DisplayDriver> driver_;
    display::ScreenMode driver_mode_;
};

int listen_at(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int const listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) return -1;
    ::unlink(path.c_str());
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 16) != 0) {
        ::close(listener);
        return -1;
    }
    return listener;
}

[[noreturn]] void run_server() {
    ::signal(SIGPIPE, SIG_IGN);
    char const* device = std::getenv("SONBRIX_DEVICE");
    if (!device || !*device) ::_exit(0);
    std::string const lock_path = screen_lock_path();
    int const lock = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Waits while another server ends; the lock is released when this process ends.
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0) ::_exit(0);
    // The lock file names the server, for users and tests that look for it.
    std::string const pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(lock, 0) != 0 || ::pwrite(lock, pid.data(), pid.size(), 0) < 0) {
    }
    // The device may have been removed while this one waited; nothing is made there then.
    std::string const folder = std::string(device) + "/run/screen";
    struct stat status;
    if (::stat(folder.c_str(), &status) != 0) ::_exit(0);
    std::string const socket_path = folder + "/socket";
    int const listener = listen_at(socket_path);
    if (listener < 0) ::_exit(1);
    static ScreenServer* server = new ScreenServer(device, socket_path);
    server->run(listener);
}

bool run_server_when_asked() {
    if (std::getenv(server_variable) != nullptr) run_server();
    return false;
}

[[maybe_unused]] bool const server_check = run_server_when_asked();

std::string own_executable() {
    std::vector<char> path(4096);
    ssize_t const length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : std::string();
}

// Our environment with the server variable set; the device stays as the caller has it.
std::vector<std::string> server_environment() {
    std::vector<std::string> texts;
    std::string const prefix = std::string(server_variable) + "=";
    for (char** entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, prefix.c_str(), prefix.size()) != 0) texts.emplace_back(*entry);
    }
    texts.push_back(prefix + "1");
    return texts;
}

// Detached: a new session, no child of ours left behind. Standard error stays, for the
// server's one line when its display falls back.
void start_detached(std::string program) {
    auto environment = server_environment();
    std::vector<char*> pointers;
    for (auto& text : environment) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    char* argv[] = {program.data(), nullptr};
    pid_t const child = ::fork();
    if (child < 0) return;
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) {
            int const null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
            }
            ::close_range(3, UINT_MAX, 0);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::execve(program.c_str(), argv, pointers.data());
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

void ensure_screen_server() {
    int const lock = ::open(screen_lock_path().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0) return;
    bool const free = ::flock(lock, LOCK_EX | LOCK_NB) == 0;
    ::close(lock);
    if (!free) return;
    std::string const executable = own_executable();
    if (!executable.empty()) start_detached(executable);
}

}  // namespace platform::screen
