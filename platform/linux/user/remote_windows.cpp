#include "platform/linux/user/remote_windows.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/kernel/run_folder.h"
#include "platform/linux/user/window_table.h"
#include "platform/testing.h"

namespace platform::detail {
namespace {

enum class Operation : std::uint32_t { list = 1, query = 2, post = 3, send = 4 };

struct RequestHeader {
    Operation operation;
    std::uint32_t message;
    std::uint64_t window;
    std::uint64_t wparam;
    std::int64_t lparam;
    std::uint32_t device_size;
    std::uint32_t payload_size;
};

struct ReplyHeader {
    std::int64_t result;
    std::uint32_t ok;
    std::uint32_t payload_size;
};

// ---- Byte transport ----

bool write_all(int fd, const void* data, std::size_t size) {
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

bool read_all(int fd, void* data, std::size_t size) {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        ssize_t const n = ::recv(fd, bytes, size, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool read_bytes(int fd, std::string& into, std::uint32_t size) {
    into.resize(size);
    return size == 0 || read_all(fd, into.data(), size);
}

class Writer {
public:
    template <class T>
    void put(const T& value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void put_text(std::u16string_view text) {
        put(static_cast<std::uint32_t>(text.size()));
        bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    template <class T>
    bool get(T& value) {
        if (bytes_.size() - at_ < sizeof value) return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return true;
    }
    bool get_text(std::u16string& text) {
        std::uint32_t size;
        if (!get(size) || (bytes_.size() - at_) / sizeof(char16_t) < size) return false;
        text.resize(size);
        std::memcpy(text.data(), bytes_.data() + at_, size * sizeof(char16_t));
        at_ += size * sizeof(char16_t);
        return true;
    }

private:
    const std::string& bytes_;
    std::size_t at_ = 0;
};

// ---- Addresses ----

// Abstract socket names vanish with their process, so a dead process leaves no listener.
sockaddr_un address_of(pid_t pid, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string const name = "sonbrix-windows-" + std::to_string(pid);
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return address;
}

pid_t process_of(HWND window) {
    return static_cast<pid_t>(reinterpret_cast<std::uintptr_t>(window) >> 32);
}

std::string canonical_device() {
    std::error_code ignored;
    auto const folder = std::filesystem::weakly_canonical(platform::device_folder(), ignored);
    return folder.empty() ? platform::device_folder() : folder.string();
}

// ---- Serving other processes ----

struct Announcements {
    std::mutex lock;
    std::set<std::string> devices;
    bool listening = false;
};

Announcements& announcements() {
    static auto* const instance = new Announcements;  // lives to the process end
    return *instance;
}

bool announced_on(const std::string& device) {
    auto& a = announcements();
    std::lock_guard guard(a.lock);
    return a.devices.count(device) != 0;
}

std::string list_reply() {
    Writer writer;
    for (HWND window : local_top_level_windows()) writer.put(reinterpret_cast<std::uint64_t>(window));
    return writer.bytes;
}

bool query_reply(HWND window, std::string& payload) {
    auto const record = find_window(window);
    if (!record || record->destroying) return false;
    Writer writer;
    writer.put(reinterpret_cast<std::uint64_t>(record->parent));
    writer.put(static_cast<std::uint32_t>(record->style));
    writer.put_text(record->window_class->name);
    writer.put_text(record->text);
    payload = std::move(writer.bytes);
    return true;
}

bool is_postable(HWND window) {
    auto const record = find_window(window);
    return record && find_queue(record->thread_id) != nullptr;
}

LRESULT serve_send(const RequestHeader& request, const std::string& payload) {
    HWND const window = reinterpret_cast<HWND>(request.window);
    if (request.message != WM_COPYDATA) {
        return SendMessageW(window, request.message, request.wparam, static_cast<LPARAM>(request.lparam));
    }
    Reader reader(payload);
    ULONG_PTR data_word = 0;
    reader.get(data_word);
    std::string data = payload.substr(sizeof data_word);
    COPYDATASTRUCT copy{data_word, static_cast<DWORD>(data.size()), data.empty() ? nullptr : data.data()};
    return SendMessageW(window, WM_COPYDATA, request.wparam, reinterpret_cast<LPARAM>(&copy));
}

void serve_connection(int fd) {
    RequestHeader request;
    std::string device, payload;
    if (read_all(fd, &request, sizeof request) && read_bytes(fd, device, request.device_size) &&
        read_bytes(fd, payload, request.payload_size)) {
        ReplyHeader reply{0, 0, 0};
        std::string answer;
        HWND const window = reinterpret_cast<HWND>(request.window);
        if (announced_on(device)) {
            switch (request.operation) {
            case Operation::list:
                answer = list_reply();
                reply.ok = 1;
                break;
            case Operation::query: reply.ok = query_reply(window, answer); break;
            case Operation::post:
                // Answered before the message is queued: once queued, it may end this
                // process (a quit request) before an answer written afterwards gets out.
                reply.ok = is_postable(window);
                break;
            case Operation::send:
                reply.ok = IsWindow(window) != FALSE;
                if (reply.ok) reply.result = serve_send(request, payload);
                break;
            }
        }
        reply.payload_size = static_cast<std::uint32_t>(answer.size());
        if (write_all(fd, &reply, sizeof reply)) write_all(fd, answer.data(), answer.size());
        if (request.operation == Operation::post && reply.ok) {
            PostMessageW(window, request.message, request.wparam, static_cast<LPARAM>(request.lparam));
        }
    }
    ::close(fd);
}

void listen_for_processes() {
    int const server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (server < 0) return;
    socklen_t length;
    sockaddr_un const address = address_of(getpid(), length);
    if (::bind(server, reinterpret_cast<const sockaddr*>(&address), length) != 0 || ::listen(server, 16) != 0) {
        ::close(server);
        return;
    }
    std::thread([server] {
        for (;;) {
            int const fd = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) {
                if (errno == EINTR || errno == ECONNABORTED) continue;
                return;
            }
            std::thread(serve_connection, fd).detach();
        }
    }).detach();
}

// ---- Asking other processes ----

std::string marker_folder() { return run_subfolder("windows"); }

struct Reply {
    bool reached = false;  // the process answered for this device
    bool timed_out = false;
    ReplyHeader header{};
    std::string payload;
};

// How long a sender waits for another process's answer: a hung peer must not hang the
// sender's process for good.
std::atomic<DWORD> send_timeout_ms{default_send_timeout_ms};

void limit_wait(int fd, DWORD timeout_ms) {
    timeval limit{};
    limit.tv_sec = static_cast<time_t>(timeout_ms / 1000);
    limit.tv_usec = static_cast<suseconds_t>((timeout_ms % 1000) * 1000);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

Reply ask(pid_t pid, RequestHeader request, const std::string& payload, DWORD timeout_ms = INFINITE) {
    Reply reply;
    int const fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return reply;
    if (timeout_ms != INFINITE) limit_wait(fd, timeout_ms);
    socklen_t length;
    sockaddr_un const address = address_of(pid, length);
    std::string const device = canonical_device();
    request.device_size = static_cast<std::uint32_t>(device.size());
    request.payload_size = static_cast<std::uint32_t>(payload.size());
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        write_all(fd, &request, sizeof request) && write_all(fd, device.data(), device.size()) &&
        write_all(fd, payload.data(), payload.size()) && read_all(fd, &reply.header, sizeof reply.header) &&
        read_bytes(fd, reply.payload, reply.header.payload_size)) {
        reply.reached = true;
    } else {
        reply.timed_out = errno == EAGAIN || errno == EWOULDBLOCK;
    }
    ::close(fd);
    return reply;
}

RequestHeader request_for(Operation operation, HWND window = nullptr, UINT message = 0, WPARAM wparam = 0,
                          LPARAM lparam = 0) {
    return RequestHeader{operation, message, reinterpret_cast<std::uint64_t>(window), wparam, lparam, 0, 0};
}

bool is_remote_window(HWND window) { return window && !is_local_window(window) && process_of(window) > 0; }

}  // namespace

void announce_windows() {
    std::string const device = canonical_device();
    auto& a = announcements();
    std::lock_guard guard(a.lock);
    if (a.devices.count(device)) return;
    if (!a.listening) {
        listen_for_processes();
        a.listening = true;
    }
    std::ofstream(marker_folder() + "/" + std::to_string(getpid()));
    a.devices.insert(device);
}

std::vector<HWND> remote_top_level_windows() {
    std::vector<HWND> result;
    std::error_code error;
    std::filesystem::directory_iterator markers(marker_folder(), error);
    if (error) return result;
    for (auto const& marker : markers) {
        pid_t pid = 0;
        try {
            pid = static_cast<pid_t>(std::stol(marker.path().filename().string()));
        } catch (...) {
            continue;
        }
        if (pid <= 0 || pid == getpid()) continue;
        Reply const reply = ask(pid, request_for(Operation::list), {});
        if (!reply.reached || !reply.header.ok) {
            std::filesystem::remove(marker.path(), error);
            continue;
        }
        Reader reader(reply.payload);
        std::uint64_t window;
        while (reader.get(window)) result.push_back(reinterpret_cast<HWND>(window));
    }
    return result;
}

std::optional<RemoteWindowInfo> query_remote_window(HWND window) {
    if (!is_remote_window(window)) return std::nullopt;
    Reply const reply = ask(process_of(window), request_for(Operation::query, window), {});
    if (!reply.reached || !reply.header.ok) return std::nullopt;
    Reader reader(reply.payload);
    std::uint64_t parent;
    std::uint32_t style;
    RemoteWindowInfo info;
    if (!reader.get(parent) || !reader.get(style) || !reader.get_text(info.class_name) ||
        !reader.get_text(info.text)) {
        return std::nullopt;
    }
    info.parent = reinterpret_cast<HWND>(parent);
    info.style = style;
    return info;
}

bool post_remote(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!is_remote_window(window)) return false;
    Reply const reply = ask(process_of(window), request_for(Operation::post, window, message, wparam, lparam), {});
    return reply.reached && reply.header.ok;
}

LRESULT send_remote(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!is_remote_window(window)) return 0;
    std::string payload;
    if (message == WM_COPYDATA && lparam) {
        auto const* copy = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        Writer writer;
        writer.put(copy->dwData);
        if (copy->cbData) writer.bytes.append(static_cast<const char*>(copy->lpData), copy->cbData);
        payload = std::move(writer.bytes);
    }
    auto const own = current_queue();
    if (!own) return 0;
    // The exchange runs beside this thread, which keeps serving its own windows meanwhile:
    // the other process may send to them before it answers.
    auto const sent = std::make_shared<SentMessage>(SentMessage{window, message, wparam, lparam, own});
    bool timed_out = false;
    std::thread exchange([&] {
        Reply const reply = ask(process_of(window), request_for(Operation::send, window, message, wparam, lparam),
                                payload, send_timeout_ms.load());
        timed_out = reply.timed_out;
        own->complete(*sent, reply.reached && reply.header.ok ? static_cast<LRESULT>(reply.header.result) : 0);
    });
    own->wait_for_reply(*sent);
    exchange.join();
    if (timed_out) SetLastError(ERROR_TIMEOUT);
    return sent->result;
}

}  // namespace platform::detail

void platform::set_send_message_timeout(DWORD timeout_ms) { platform::detail::send_timeout_ms = timeout_ms; }
