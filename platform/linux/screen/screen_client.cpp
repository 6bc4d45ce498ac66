#include "platform/linux/screen/screen_client.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/linux/screen/screen_link.h"
#include "platform/unicode.h"

namespace platform::screen {
namespace {

constexpr int welcome_timeout_ms = 5000;

std::uint64_t key(HWND window) { return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window)); }
HWND window_of(std::uint64_t key) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(key)); }
ScreenRect screen_rect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
int width_of(const RECT& rect) { return rect.right - rect.left; }
int height_of(const RECT& rect) { return rect.bottom - rect.top; }

bool fits_screen(const RECT& rect) {
    return valid_rect(screen_rect(rect)) && width_of(rect) <= max_surface_side && height_of(rect) <= max_surface_side;
}

ScreenMetrics read_metrics(MessageReader& in) {
    ScreenMetrics metrics;
    in.i32(metrics.width);
    in.i32(metrics.height);
    in.i32(metrics.dpi);
    in.i32(metrics.bar);
    return metrics;
}

}  // namespace

// The surface memory of one window; its pixels move when it changes size.
class ScreenClient::Surface final : public gdi::PixelSurface {
public:
    Surface(HWND window, const SurfaceSettings& settings, std::unique_ptr<SharedPixels> memory)
        : window_(window), settings_(settings), memory_(std::move(memory)) {}

    std::uint32_t* pixels() override { return memory_->pixels(); }
    int width() const override { return memory_->width(); }
    int height() const override { return memory_->height(); }
    int stride() const override { return memory_->width(); }

    HWND window() const { return window_; }
    SurfaceSettings& settings() { return settings_; }
    int fd() const { return memory_->fd(); }

    // New memory of the new size, keeping the overlap.
    bool resize(int width, int height) {
        auto memory = SharedPixels::create(width, height);
        if (!memory) return false;
        int const rows = std::min(height, memory_->height());
        int const columns = std::min(width, memory_->width());
        for (int y = 0; y < rows; ++y) {
            std::memcpy(memory->pixels() + static_cast<std::ptrdiff_t>(y) * width,
                        memory_->pixels() + static_cast<std::ptrdiff_t>(y) * memory_->width(),
                        static_cast<std::size_t>(columns) * 4);
        }
        memory_ = std::move(memory);
        return true;
    }

    std::string create_message() const {
        Request request;
        request.type = MessageType::create_surface;
        request.window = key(window_);
        request.rect = screen_rect(settings_.rect);
        request.flag = settings_.visible;
        request.enabled = settings_.enabled;
        request.other = key(settings_.insert_after);
        request.class_name = utf16_to_utf8(settings_.class_name).substr(0, max_text_bytes);
        request.title = utf16_to_utf8(settings_.title).substr(0, max_text_bytes);
        request.shell_flags = settings_.shell_flags;
        return encode_request(request);
    }

private:
    HWND window_;
    SurfaceSettings settings_;
    std::unique_ptr<SharedPixels> memory_;
};

struct ScreenClient::Link {
    UniqueFd socket;
    std::mutex mutex;  // guards sending and the metrics
    std::atomic<bool> alive{true};
    std::thread reader;
    ScreenMetrics metrics;

    bool send(const std::string& message, int pass_fd) {
        std::lock_guard lock(mutex);
        if (!alive) return false;
        if (send_message(socket.get(), message, pass_fd)) return true;
        alive = false;
        return false;
    }

    ~Link() {
        ::shutdown(socket.get(), SHUT_RDWR);
        if (reader.joinable()) reader.join();
    }
};

ScreenClient::ScreenClient() = default;

ScreenClient::~ScreenClient() {
    std::unique_ptr<Link> link;
    std::vector<std::unique_ptr<Link>> retired;
    {
        std::lock_guard lock(mutex_);
        link = std::move(link_);
        retired = std::move(retired_);
    }
}

bool ScreenClient::connect() {
    std::lock_guard lock(mutex_);
    return connect_locked();
}

bool ScreenClient::connect_locked() {
    if (link_ && link_->alive) return true;
    if (link_) {
        ::shutdown(link_->socket.get(), SHUT_RDWR);
        retired_.push_back(std::move(link_));
    }
    for (int attempt = 0; attempt < 3 && !link_; ++attempt) {
        auto link = std::make_unique<Link>();
        link->socket = open_screen_socket();
        if (!link->socket) return false;
        set_send_timeout(link->socket.get(), message_timeout_ms);
        set_receive_timeout(link->socket.get(), welcome_timeout_ms);
        Request hello;
        hello.type = MessageType::hello;
        hello.version = protocol_version;
        if (!link->send(encode_request(hello), -1)) continue;
        MessageHeader header;
        std::string payload;
        UniqueFd passed;
        if (read_message(link->socket.get(), header, payload, passed, max_request_bytes, false) != ReadResult::message ||
            header.type != static_cast<std::uint32_t>(MessageType::welcome))
            continue;
        MessageReader in(payload);
        link->metrics = read_metrics(in);
        set_receive_timeout(link->socket.get(), message_timeout_ms);
        link_ = std::move(link);
    }
    if (!link_) return false;
    // A server that went away took the surfaces with it: the new one gets them again.
    for (auto const& surface : surfaces_) link_->send(surface->create_message(), surface->fd());
    {
        std::lock_guard events(events_mutex_);
        syncs_answered_ = syncs_sent_;
        results_.clear();
    }
    Link* link = link_.get();
    link->reader = std::thread([this, link] { read_events(*link); });
    return true;
}

void ScreenClient::read_events(Link& link) {
    {
        std::lock_guard lock(events_mutex_);
        link_thread_ = std::this_thread::get_id();
    }
    for (;;) {
        MessageHeader header;
        std::string payload;
        UniqueFd passed;
        if (read_message(link.socket.get(), header, payload, passed, max_reply_bytes, true) != ReadResult::message) break;
        MessageReader in(payload);
        ScreenEvent event;
        std::uint64_t serial = 0;
        if (header.type == static_cast<std::uint32_t>(MessageType::event)) {
            std::uint32_t kind = 0;
            std::uint64_t window = 0;
            std::uint32_t character = 0;
            if (!in.u64(serial) || !in.u32(kind) || !in.u64(window) || !in.i32(event.point.x) || !in.i32(event.point.y) ||
                !in.u32(event.vk) || !in.u32(character))
                break;
            event.kind = static_cast<ScreenEventKind>(kind);
            event.window = window_of(window);
            event.character = static_cast<char16_t>(character);
            if (event.kind == ScreenEventKind::input_panel) {
                event.input_panel_up = event.point.x != 0;
                event.point = {};
            }
            if (event.kind == ScreenEventKind::hotkey) {
                event.hotkey_id = event.point.x;
                event.modifiers = static_cast<std::uint32_t>(event.point.y);
                event.point = {};
            }
        } else if (header.type == static_cast<std::uint32_t>(MessageType::size_changed)) {
            event.kind = ScreenEventKind::size_changed;
            event.metrics = read_metrics(in);
            std::lock_guard lock(link.mutex);
            link.metrics = event.metrics;
        } else if (header.type == static_cast<std::uint32_t>(MessageType::result)) {
            std::uint32_t value = 0;
            in.u32(value);
            std::lock_guard lock(events_mutex_);
            results_[++syncs_answered_] = value;
            synced_.notify_all();
            continue;
        } else {
            continue;
        }
        deliver(link, serial, event);
    }
    link.alive = false;
    std::lock_guard lock(events_mutex_);
    synced_.notify_all();
}

bool ScreenClient::sync() {
    Request request;
    request.type = MessageType::sync;
    std::uint32_t value = 0;
    return ask(request, value);
}

bool ScreenClient::ask(const Request& request, std::uint32_t& value) {
    if (!connect()) return false;
    std::uint64_t target = 0;
    {
        std::lock_guard lock(mutex_);
        {
            std::lock_guard events(events_mutex_);
            if (std::this_thread::get_id() == link_thread_) return false;
            target = ++syncs_sent_;
        }
        if (!send(encode_request(request))) return false;
    }
    std::unique_lock events(events_mutex_);
    if (!synced_.wait_for(events, std::chrono::seconds(5), [&] { return syncs_answered_ >= target; })) return false;
    auto const answer = results_.find(target);
    if (answer == results_.end()) return false;
    value = answer->second;
    results_.erase(results_.begin(), std::next(answer));
    return true;
}

bool ScreenClient::register_hotkey(HWND window, int id, std::uint32_t modifiers, std::uint32_t vk) {
    Request request;
    request.type = MessageType::register_hotkey;
    request.window = key(window);
    request.id = static_cast<std::uint32_t>(id);
    request.modifiers = modifiers;
    request.vk = vk;
    if ((modifiers & ~0x100Fu) != 0 || vk == 0 || vk > 0xFF) return false;
    std::uint32_t held = 0;
    return ask(request, held) && held == 1;
}

bool ScreenClient::unregister_hotkey(HWND window, int id) {
    Request request;
    request.type = MessageType::unregister_hotkey;
    request.window = key(window);
    request.id = static_cast<std::uint32_t>(id);
    return send_request(request);
}

void ScreenClient::deliver(Link& link, std::uint64_t serial, const ScreenEvent& event) {
    EventHandler handler;
    {
        std::lock_guard lock(events_mutex_);
        handler = handler_;
    }
    if (handler) handler(event);
    if (serial == 0) return;
    Request idle;
    idle.type = MessageType::report_idle;
    {
        std::lock_guard lock(events_mutex_);
        last_serial_ = serial;
        if (busy_) return;
        idle.other = serial;
    }
    link.send(encode_request(idle), -1);
}

void ScreenClient::set_event_handler(EventHandler handler) {
    std::lock_guard lock(events_mutex_);
    handler_ = std::move(handler);
}

void ScreenClient::set_busy(bool busy) {
    Request idle;
    idle.type = MessageType::report_idle;
    {
        std::lock_guard lock(events_mutex_);
        busy_ = busy;
        idle.other = last_serial_;
        idle.flag = busy;
    }
    send_request(idle);
}

ScreenMetrics ScreenClient::metrics() {
    if (!connect()) return {};
    std::lock_guard lock(mutex_);
    std::lock_guard link_lock(link_->mutex);
    return link_->metrics;
}

bool ScreenClient::linked_metrics(ScreenMetrics& metrics) {
    std::lock_guard lock(mutex_);
    if (!link_ || !link_->alive) return false;
    std::lock_guard link_lock(link_->mutex);
    metrics = link_->metrics;
    return metrics.width > 0;
}

bool ScreenClient::send(const std::string& message, int pass_fd) {
    if (link_ && link_->send(message, pass_fd)) return true;
    // The server went away: a new one gets the surfaces as they are now, then the message.
    return connect_locked() && link_->send(message, pass_fd);
}

bool ScreenClient::send_request(const Request& request) {
    if (!connect()) return false;
    std::lock_guard lock(mutex_);
    return send(encode_request(request));
}

ScreenClient::Surface* ScreenClient::find(HWND window) {
    for (auto& surface : surfaces_) {
        if (surface->window() == window) return surface.get();
    }
    return nullptr;
}

gdi::PixelSurface* ScreenClient::create_surface(HWND window, const SurfaceSettings& settings) {
    if (key(window) <= place_bottom || !fits_screen(settings.rect) || !connect()) return nullptr;
    std::lock_guard lock(mutex_);
    if (find(window)) return nullptr;
    auto memory = SharedPixels::create(width_of(settings.rect), height_of(settings.rect));
    if (!memory) return nullptr;
    auto surface = std::make_unique<Surface>(window, settings, std::move(memory));
    if (!send(surface->create_message(), surface->fd())) return nullptr;
    surfaces_.push_back(std::move(surface));
    return surfaces_.back().get();
}

gdi::PixelSurface* ScreenClient::surface(HWND window) {
    std::lock_guard lock(mutex_);
    return find(window);
}

bool ScreenClient::move_surface(HWND window, const RECT& rect) {
    if (!fits_screen(rect) || !connect()) return false;
    std::lock_guard lock(mutex_);
    Surface* surface = find(window);
    if (!surface) return false;
    bool const resized = width_of(rect) != surface->width() || height_of(rect) != surface->height();
    if (resized && !surface->resize(width_of(rect), height_of(rect))) return false;
    surface->settings().rect = rect;
    Request request;
    request.type = MessageType::set_rect;
    request.window = key(window);
    request.rect = screen_rect(rect);
    return send(encode_request(request), resized ? surface->fd() : -1);
}

bool ScreenClient::show_surface(HWND window, bool visible) {
    if (!connect()) return false;
    std::lock_guard lock(mutex_);
    Surface* surface = find(window);
    if (!surface) return false;
    surface->settings().visible = visible;
    Request request;
    request.type = MessageType::set_visible;
    request.window = key(window);
    request.flag = visible;
    return send(encode_request(request));
}

bool ScreenClient::place_surface(HWND window, HWND insert_after) {
    if (!connect()) return false;
    std::lock_guard lock(mutex_);
    if (!find(window)) return false;
    Request request;
    request.type = MessageType::set_z;
    request.window = key(window);
    request.other = key(insert_after);
    return send(encode_request(request));
}

bool ScreenClient::describe_surface(HWND window, bool enabled, const std::u16string& class_name,
                                    const std::u16string& title) {
    if (!connect()) return false;
    std::lock_guard lock(mutex_);
    Surface* surface = find(window);
    if (!surface) return false;
    surface->settings().enabled = enabled;
    surface->settings().class_name = class_name;
    surface->settings().title = title;
    Request request;
    request.type = MessageType::set_properties;
    request.window = key(window);
    request.enabled = enabled;
    request.class_name = utf16_to_utf8(class_name).substr(0, max_text_bytes);
    request.title = utf16_to_utf8(title).substr(0, max_text_bytes);
    return send(encode_request(request));
}

bool ScreenClient::destroy_surface(HWND window) {
    std::lock_guard lock(mutex_);
    auto found = std::find_if(surfaces_.begin(), surfaces_.end(), [&](auto const& s) { return s->window() == window; });
    if (found == surfaces_.end()) return false;
    surfaces_.erase(found);
    Request request;
    request.type = MessageType::destroy_surface;
    request.window = key(window);
    send(encode_request(request));
    return true;
}

bool ScreenClient::set_shell_flags(HWND window, std::uint32_t flags) {
    if (!connect()) return false;
    std::lock_guard lock(mutex_);
    Surface* surface = find(window);
    if (!surface) return false;
    surface->settings().shell_flags = flags;
    Request request;
    request.type = MessageType::set_shell_flags;
    request.window = key(window);
    request.shell_flags = flags;
    return send(encode_request(request));
}

bool ScreenClient::set_input_panel(bool raise, bool& up) {
    Request request;
    request.type = MessageType::set_input_panel;
    request.flag = raise;
    std::uint32_t state = 0;
    if (!ask(request, state)) return false;
    up = state != 0;
    return true;
}

bool ScreenClient::input_panel_up(bool& up) {
    Request request;
    request.type = MessageType::input_panel_state;
    std::uint32_t state = 0;
    if (!ask(request, state)) return false;
    up = state != 0;
    return true;
}

bool ScreenClient::show_hold_cue(POINT point, int dots) {
    Request request;
    request.type = MessageType::hold_cue;
    request.x = point.x;
    request.y = point.y;
    request.id = static_cast<std::uint32_t>(dots);
    return send_request(request);
}

bool ScreenClient::present(HWND window, const std::vector<RECT>& damage) {
    if (!connect()) return false;
    std::lock_guard lock(mutex_);
    Surface const* surface = find(window);
    if (!surface) return false;
    Request request;
    request.type = MessageType::present;
    request.window = key(window);
    for (auto const& rect : damage) {
        ScreenRect const inside{std::max<int>(rect.left, 0), std::max<int>(rect.top, 0),
                                std::min<int>(rect.right, surface->width()), std::min<int>(rect.bottom, surface->height())};
        if (inside.left < inside.right && inside.top < inside.bottom) request.rects.push_back(inside);
    }
    if (!damage.empty() && request.rects.empty()) return true;
    // So many rectangles are as good as the whole surface.
    if (request.rects.size() > max_present_rects) request.rects.clear();
    return send(encode_request(request));
}

bool ScreenClient::set_foreground(HWND window) {
    Request request;
    request.type = MessageType::set_foreground;
    request.window = key(window);
    return send_request(request);
}

bool ScreenClient::set_capture(HWND window) {
    Request request;
    request.type = MessageType::set_capture;
    request.window = key(window);
    return send_request(request);
}

bool ScreenClient::set_focus(HWND top_level, HWND focus) {
    Request request;
    request.type = MessageType::set_focus;
    request.window = key(top_level);
    request.other = key(focus);
    return send_request(request);
}

}  // namespace platform::screen
