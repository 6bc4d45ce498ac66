#include "platform/linux/screen/screen_control.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/linux/screen/screen_link.h"

namespace platform::screen {
namespace {

constexpr std::uint32_t vk_shift = 0x10, vk_return = 0x0D, vk_space = 0x20, vk_first_button = 0xC1;
constexpr int drag_steps = 8;
// A screenshot of a busy server may take a while to come.
constexpr int reply_timeout_ms = 70000;

std::uint32_t key_of(char16_t c, bool& shifted) {
    shifted = c >= u'A' && c <= u'Z';
    if (c >= u'a' && c <= u'z') return static_cast<std::uint32_t>(c - u'a' + 'A');
    if (shifted || (c >= u'0' && c <= u'9')) return c;
    if (c == u' ') return vk_space;
    if (c == u'\n' || c == u'\r') return vk_return;
    return 0;
}

}  // namespace

ScreenControl::ScreenControl() = default;
ScreenControl::~ScreenControl() = default;

bool ScreenControl::connect() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        socket_ = open_screen_socket();
        if (!socket_) return false;
        set_send_timeout(socket_.get(), message_timeout_ms);
        set_receive_timeout(socket_.get(), reply_timeout_ms);
        Request hello;
        hello.type = MessageType::hello;
        hello.version = protocol_version;
        hello.role = Role::control;
        std::string payload;
        if (!send(hello) || !reply(MessageType::welcome, payload)) continue;
        MessageReader in(payload);
        in.i32(metrics_.width);
        in.i32(metrics_.height);
        in.i32(metrics_.dpi);
        in.i32(metrics_.bar);
        return true;
    }
    socket_ = UniqueFd();
    return false;
}

bool ScreenControl::send(const Request& request) { return socket_ && send_message(socket_.get(), encode_request(request)); }

// The next message of that type; size changes that come meanwhile update the metrics.
bool ScreenControl::reply(MessageType type, std::string& payload) {
    for (;;) {
        MessageHeader header;
        UniqueFd passed;
        if (read_message(socket_.get(), header, payload, passed, max_reply_bytes, false) != ReadResult::message) return false;
        if (header.type == static_cast<std::uint32_t>(type)) return true;
        if (header.type == static_cast<std::uint32_t>(MessageType::size_changed)) {
            MessageReader in(payload);
            in.i32(metrics_.width);
            in.i32(metrics_.height);
            in.i32(metrics_.dpi);
            in.i32(metrics_.bar);
        }
    }
}

bool ScreenControl::stylus(std::uint32_t kind, int x, int y) {
    Request request;
    request.type = MessageType::inject_stylus;
    request.kind = kind;
    request.x = x;
    request.y = y;
    return send(request);
}

bool ScreenControl::tap(int x, int y) { return stylus(1, x, y) && stylus(3, x, y); }

bool ScreenControl::hold(int x, int y, int milliseconds) {
    if (!stylus(1, x, y)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return stylus(3, x, y);
}

bool ScreenControl::drag(int x1, int y1, int x2, int y2) {
    if (!stylus(1, x1, y1)) return false;
    for (int step = 1; step <= drag_steps; ++step) {
        if (!stylus(2, x1 + (x2 - x1) * step / drag_steps, y1 + (y2 - y1) * step / drag_steps)) return false;
    }
    return stylus(3, x2, y2);
}

bool ScreenControl::key(std::uint32_t vk, bool down, char16_t character) {
    Request request;
    request.type = MessageType::inject_key;
    request.flag = down;
    request.vk = vk & 0xFF;
    request.character = character;
    return send(request);
}

bool ScreenControl::press(std::uint32_t vk, char16_t character) { return key(vk, true, character) && key(vk, false); }

bool ScreenControl::text(std::u16string_view text) {
    for (char16_t c : text) {
        bool shifted = false;
        std::uint32_t const vk = key_of(c, shifted);
        if (shifted && !key(vk_shift, true)) return false;
        if (!press(vk, c)) return false;
        if (shifted && !key(vk_shift, false)) return false;
    }
    return true;
}

bool ScreenControl::button(int number) {
    if (number < 1 || number > 6) return false;
    return press(vk_first_button + static_cast<std::uint32_t>(number - 1));
}

bool ScreenControl::screenshot(ScreenPicture& picture) {
    Request request;
    request.type = MessageType::screenshot;
    std::string payload;
    if (!send(request) || !reply(MessageType::picture, payload)) return false;
    MessageReader in(payload);
    if (!in.i32(picture.width) || !in.i32(picture.height) || picture.width <= 0 || picture.height <= 0) return false;
    auto const count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    if (in.rest().size() != count * 4) return false;
    picture.pixels.resize(count);
    in.bytes(picture.pixels.data(), count * 4);
    for (auto& pixel : picture.pixels) pixel |= 0xFF000000u;
    return true;
}

bool ScreenControl::windows(std::vector<ScreenWindow>& windows) {
    Request request;
    request.type = MessageType::list_windows;
    std::string payload;
    if (!send(request) || !reply(MessageType::windows, payload)) return false;
    MessageReader in(payload);
    std::uint32_t count = 0;
    if (!in.u32(count)) return false;
    windows.clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        ScreenWindow window;
        std::uint32_t pid = 0;
        if (!in.u32(pid) || !in.u64(window.window) || !in.text(window.class_name) || !in.text(window.title) ||
            !in.rect(window.rect) || !in.flag(window.visible) || !in.flag(window.enabled) ||
            !in.flag(window.foreground) || !in.u64(window.focus))
            return false;
        window.pid = static_cast<int>(pid);
        windows.push_back(std::move(window));
    }
    return true;
}

bool ScreenControl::wait_idle(std::uint32_t timeout_ms) {
    Request request;
    request.type = MessageType::wait_idle;
    request.timeout_ms = std::min<std::uint32_t>(timeout_ms, 60000);
    std::string payload;
    if (!send(request) || !reply(MessageType::result, payload)) return false;
    MessageReader in(payload);
    std::uint32_t idle = 0;
    return in.u32(idle) && idle == 1;
}

bool ScreenControl::set_size(int width, int height) {
    Request request;
    request.type = MessageType::set_size;
    request.x = width;
    request.y = height;
    std::string payload;
    if (!send(request) || !reply(MessageType::result, payload)) return false;
    MessageReader in(payload);
    std::uint32_t done = 0;
    if (!in.u32(done) || done != 1) return false;
    metrics_.width = width;
    metrics_.height = height;
    return true;
}

bool ScreenControl::composed_area(std::vector<ScreenRect>& area) {
    Request request;
    request.type = MessageType::last_damage;
    std::string payload;
    if (!send(request) || !reply(MessageType::rectangles, payload)) return false;
    MessageReader in(payload);
    std::uint32_t count = 0;
    if (!in.u32(count) || count > in.rest().size() / 16) return false;
    area.resize(count);
    for (auto& rect : area) in.rect(rect);
    return true;
}

}  // namespace platform::screen
