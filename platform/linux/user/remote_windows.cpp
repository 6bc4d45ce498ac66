#include "platform/linux/user/remote_windows.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/kernel/run_folder.h"
#include "platform/linux/user/activation.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/window_links.h"
#include "platform/linux/user/window_tree.h"
#include "platform/testing.h"

namespace platform::detail {
namespace {

pid_t process_of(HWND window) { return static_cast<pid_t>(reinterpret_cast<std::uintptr_t>(window) >> 32); }

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

// False for a window that is gone or being destroyed.
bool put_window(LinkWriter& writer, HWND window) {
    auto const facts = window_facts(window);
    auto const text = window_text(window);
    if (!facts || !text || facts->destroying) return false;
    writer.put(reinterpret_cast<std::uint64_t>(facts->handle));
    writer.put(reinterpret_cast<std::uint64_t>(facts->parent));
    writer.put(static_cast<std::uint32_t>(facts->style));
    writer.put_text(facts->window_class->name);
    writer.put_text(*text);
    return true;
}

bool get_window(LinkReader& reader, RemoteWindowInfo& info) {
    std::uint64_t handle, parent;
    std::uint32_t style;
    if (!reader.get(handle) || !reader.get(parent) || !reader.get(style) || !reader.get_text(info.class_name) ||
        !reader.get_text(info.text)) {
        return false;
    }
    info.handle = reinterpret_cast<HWND>(handle);
    info.parent = reinterpret_cast<HWND>(parent);
    info.style = style;
    return true;
}

std::string list_reply() {
    LinkWriter writer;
    for (HWND window : top_level_windows()) put_window(writer, window);
    return std::move(writer.bytes);
}

bool query_reply(HWND window, std::string& payload) {
    LinkWriter writer;
    if (!put_window(writer, window)) return false;
    payload = std::move(writer.bytes);
    return true;
}

bool is_postable(HWND window) {
    auto const thread = window_thread(window);
    return thread && find_queue(*thread) != nullptr;
}

// Runs a sent message with its by-value arguments rebuilt in this process's memory.
LRESULT serve_send(const LinkRequest& request, std::string& answer) {
    HWND const window = reinterpret_cast<HWND>(request.header.window);
    UINT const message = request.header.message;
    auto const wparam = static_cast<WPARAM>(request.header.wparam);
    if (message == WM_COPYDATA) {
        LinkReader reader(request.payload);
        ULONG_PTR data_word = 0;
        reader.get(data_word);
        std::string data(reader.rest());
        COPYDATASTRUCT copy{data_word, static_cast<DWORD>(data.size()), data.empty() ? nullptr : data.data()};
        return SendMessageW(window, WM_COPYDATA, wparam, reinterpret_cast<LPARAM>(&copy));
    }
    if (message == WM_SETTEXT) {
        std::u16string text(request.payload.size() / sizeof(char16_t), u'\0');
        std::memcpy(text.data(), request.payload.data(), text.size() * sizeof(char16_t));
        return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (message == WM_GETTEXT) {
        std::u16string buffer(wparam + 1, u'\0');
        LRESULT const length = SendMessageW(window, WM_GETTEXT, wparam, reinterpret_cast<LPARAM>(buffer.data()));
        auto const kept = std::clamp<LRESULT>(length, 0, static_cast<LRESULT>(wparam));
        answer.assign(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(kept) * sizeof(char16_t));
        return length;
    }
    return SendMessageW(window, message, wparam, static_cast<LPARAM>(request.header.lparam));
}

void answer_request(const LinkRequest& request, LinkReplyHeader& reply, std::string& answer,
                    std::function<void()>& after_reply) {
    if (!announced_on(request.device)) return;
    HWND const window = reinterpret_cast<HWND>(request.header.window);
    switch (request.header.operation) {
    case LinkOperation::list:
        answer = list_reply();
        reply.ok = 1;
        break;
    case LinkOperation::query: reply.ok = query_reply(window, answer); break;
    case LinkOperation::post:
        // Queued only once the answer is out: a queued message may end this process (a
        // quit request) before an answer written afterwards gets out.
        reply.ok = is_postable(window);
        if (reply.ok) {
            UINT const message = request.header.message;
            auto const wparam = static_cast<WPARAM>(request.header.wparam);
            auto const lparam = static_cast<LPARAM>(request.header.lparam);
            after_reply = [=] { PostMessageW(window, message, wparam, lparam); };
        }
        break;
    case LinkOperation::send:
        reply.ok = IsWindow(window) != FALSE;
        if (reply.ok) reply.result = serve_send(request, answer);
        break;
    case LinkOperation::activate: {
        HWND const top = is_local_window(window) ? top_level_of(window) : nullptr;
        HWND const other = reinterpret_cast<HWND>(request.header.lparam);
        reply.ok = top != nullptr;
        if (reply.ok && request.header.wparam != WA_INACTIVE) activate_local(top, other);
        if (reply.ok && request.header.wparam == WA_INACTIVE) deactivate_local(top, other);
        break;
    }
    }
}

// ---- Asking other processes ----

std::string marker_folder() { return run_subfolder("windows"); }

// How long a sender waits for another process's answer: a hung peer must not hang the
// sender's process for good.
std::atomic<DWORD> send_timeout_ms{default_send_timeout_ms};

LinkRequest request_for(LinkOperation operation, HWND window = nullptr, UINT message = 0, WPARAM wparam = 0,
                        LPARAM lparam = 0) {
    LinkRequest request;
    request.header.operation = operation;
    request.header.message = message;
    request.header.window = reinterpret_cast<std::uint64_t>(window);
    request.header.wparam = wparam;
    request.header.lparam = lparam;
    request.device = canonical_device();
    return request;
}

bool is_remote_window(HWND window) { return window && !is_local_window(window) && process_of(window) > 0; }

std::vector<pid_t> announced_processes() {
    std::vector<pid_t> result;
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
        if (pid > 0 && pid != getpid()) result.push_back(pid);
    }
    return result;
}

// The payload that carries a sent message's by-value argument; false when it cannot cross.
bool pack_send(UINT message, WPARAM wparam, LPARAM lparam, std::string& payload) {
    if (message == WM_COPYDATA) {
        if (!lparam) return false;
        auto const* copy = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        if (copy->cbData > max_link_payload_size - sizeof(ULONG_PTR)) return false;
        LinkWriter writer;
        writer.put(copy->dwData);
        if (copy->cbData) writer.bytes.append(static_cast<const char*>(copy->lpData), copy->cbData);
        payload = std::move(writer.bytes);
        return true;
    }
    if (message == WM_SETTEXT) {
        std::u16string_view const text = lparam ? reinterpret_cast<const char16_t*>(lparam) : u"";
        if (text.size() > max_link_text_length) return false;
        payload.assign(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
        return true;
    }
    if (message == WM_GETTEXT) return wparam <= max_link_text_length && (lparam || wparam == 0);
    return !carries_addresses(message, lparam);
}

// Asks the peer and waits up to the time-out. The exchange runs beside the calling
// thread, which keeps serving its own windows meanwhile: the other process may send to them
// before it answers. False when the calling thread has no queue.
bool exchange_serving(pid_t pid, LinkRequest request, DWORD timeout_ms, LinkAnswer& answer) {
    auto const own = current_queue();
    if (!own) return false;
    auto const done = std::make_shared<SentMessage>(SentMessage{nullptr, 0, 0, 0, own});
    std::thread exchange([&] {
        answer = ask_peer(pid, std::move(request), timeout_ms);
        own->complete(*done, 0);
    });
    own->wait_for_reply(*done);
    exchange.join();
    return true;
}

// WM_GETTEXT: the text that came back goes into the caller's buffer.
LRESULT unpack_text(const std::string& payload, WPARAM capacity, LPARAM buffer) {
    if (capacity == 0 || !buffer) return 0;
    auto const length = std::min<std::size_t>(payload.size() / sizeof(char16_t), capacity - 1);
    auto* const into = reinterpret_cast<char16_t*>(buffer);
    std::memcpy(into, payload.data(), length * sizeof(char16_t));
    into[length] = u'\0';
    return static_cast<LRESULT>(length);
}

}  // namespace

void announce_windows() {
    std::string const device = canonical_device();
    auto& a = announcements();
    std::lock_guard guard(a.lock);
    if (a.devices.count(device)) return;
    if (!a.listening) a.listening = start_link_server(answer_request);
    std::ofstream(marker_folder() + "/" + std::to_string(getpid()));
    a.devices.insert(device);
}

std::vector<RemoteWindowInfo> remote_top_level_window_infos() {
    std::vector<RemoteWindowInfo> result;
    for (pid_t pid : announced_processes()) {
        LinkAnswer const answer = ask_peer(pid, request_for(LinkOperation::list), link_timeout_ms());
        if (answer.timed_out) continue;  // stopped or hung: taken as gone for this list
        if (!answer.reached || !answer.header.ok) {
            std::error_code ignored;
            std::filesystem::remove(marker_folder() + "/" + std::to_string(pid), ignored);
            continue;
        }
        LinkReader reader(answer.payload);
        RemoteWindowInfo info;
        while (get_window(reader, info)) {
            if (process_of(info.handle) == pid) result.push_back(info);
        }
    }
    return result;
}

std::vector<HWND> remote_top_level_windows() {
    std::vector<HWND> result;
    for (auto const& info : remote_top_level_window_infos()) result.push_back(info.handle);
    return result;
}

std::optional<RemoteWindowInfo> query_remote_window(HWND window) {
    if (!is_remote_window(window)) return std::nullopt;
    LinkAnswer const answer = ask_peer(process_of(window), request_for(LinkOperation::query, window), link_timeout_ms());
    if (!answer.reached || !answer.header.ok) return std::nullopt;
    LinkReader reader(answer.payload);
    RemoteWindowInfo info;
    if (!get_window(reader, info) || info.handle != window) return std::nullopt;
    return info;
}

bool post_remote(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!is_remote_window(window) || carries_addresses(message, lparam)) return false;
    LinkAnswer const answer = ask_peer(process_of(window),
                                       request_for(LinkOperation::post, window, message, wparam, lparam),
                                       link_timeout_ms());
    return answer.reached && answer.header.ok;
}

LRESULT send_remote(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!is_remote_window(window)) return 0;
    LinkRequest request = request_for(LinkOperation::send, window, message, wparam, lparam);
    if (!pack_send(message, wparam, lparam, request.payload)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (carries_addresses(message, lparam)) request.header.lparam = 0;
    LinkAnswer answer;
    if (!exchange_serving(process_of(window), std::move(request), send_timeout_ms.load(), answer)) return 0;
    LRESULT result = answer.reached && answer.header.ok ? static_cast<LRESULT>(answer.header.result) : 0;
    if (message == WM_GETTEXT && answer.reached) result = unpack_text(answer.payload, wparam, lparam);
    if (answer.timed_out) SetLastError(ERROR_TIMEOUT);
    return result;
}

bool change_remote_activation(HWND window, bool active, HWND other) {
    if (!is_remote_window(window)) return false;
    LinkRequest request = request_for(LinkOperation::activate, window, 0, active ? WA_ACTIVE : WA_INACTIVE,
                                      reinterpret_cast<LPARAM>(other));
    LinkAnswer answer;
    // A hung peer costs an activation change at most the link time-out, as a post.
    return exchange_serving(process_of(window), std::move(request), link_timeout_ms(), answer) && answer.reached &&
           answer.header.ok;
}

}  // namespace platform::detail

void platform::set_send_message_timeout(DWORD timeout_ms) { platform::detail::send_timeout_ms = timeout_ms; }
