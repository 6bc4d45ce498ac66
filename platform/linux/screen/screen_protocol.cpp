#include "platform/linux/screen/screen_protocol.h"

#include <cstring>

namespace platform::screen {
namespace {

constexpr std::uint32_t max_wait_ms = 60000;

bool surface_rect(const ScreenRect& rect) {
    return valid_rect(rect) && rect.right - rect.left <= max_surface_side && rect.bottom - rect.top <= max_surface_side;
}

bool decode_fields(MessageReader& in, Request& request) {
    switch (request.type) {
    case MessageType::hello: {
        std::uint32_t role = 0;
        if (!in.u32(request.version) || !in.u32(role) || role > 1) return false;
        request.role = static_cast<Role>(role);
        return true;
    }
    case MessageType::create_surface:
        return in.u64(request.window) && in.rect(request.rect) && surface_rect(request.rect) && in.flag(request.flag) &&
               in.flag(request.enabled) && in.u64(request.other) && in.text(request.class_name) &&
               in.text(request.title) && in.u32(request.shell_flags) && (request.shell_flags & ~shell_known_flags) == 0;
    case MessageType::set_shell_flags:
        return in.u64(request.window) && in.u32(request.shell_flags) && (request.shell_flags & ~shell_known_flags) == 0;
    case MessageType::set_input_panel:
        return in.flag(request.flag);
    case MessageType::input_panel_state:
        return true;
    case MessageType::hold_cue:
        return in.i32(request.x) && in.i32(request.y) && in.u32(request.id) && request.id <= 8 &&
               request.x > -max_coordinate && request.x < max_coordinate && request.y > -max_coordinate &&
               request.y < max_coordinate;
    case MessageType::set_rect:
        return in.u64(request.window) && in.rect(request.rect) && surface_rect(request.rect);
    case MessageType::set_visible:
        return in.u64(request.window) && in.flag(request.flag);
    case MessageType::set_z:
    case MessageType::set_focus:
        return in.u64(request.window) && in.u64(request.other);
    case MessageType::set_properties:
        return in.u64(request.window) && in.flag(request.enabled) && in.text(request.class_name) &&
               in.text(request.title);
    case MessageType::destroy_surface:
    case MessageType::set_foreground:
    case MessageType::set_capture:
        return in.u64(request.window);
    case MessageType::present: {
        std::uint32_t count = 0;
        if (!in.u64(request.window) || !in.u32(count) || count > max_present_rects) return false;
        request.rects.resize(count);
        for (auto& rect : request.rects) {
            if (!in.rect(rect) || !valid_rect(rect)) return false;
        }
        return true;
    }
    case MessageType::report_idle:
        return in.u64(request.other) && in.flag(request.flag);
    case MessageType::register_hotkey:
        return in.u64(request.window) && in.u32(request.id) && in.u32(request.modifiers) &&
               (request.modifiers & ~0x100Fu) == 0 && in.u32(request.vk) && request.vk > 0 && request.vk <= 0xFF;
    case MessageType::unregister_hotkey:
        return in.u64(request.window) && in.u32(request.id);
    case MessageType::inject_stylus:
        return in.u32(request.kind) && request.kind >= 1 && request.kind <= 3 && in.i32(request.x) &&
               in.i32(request.y);
    case MessageType::inject_key:
        return in.flag(request.flag) && in.u32(request.vk) && request.vk <= 0xFF && in.u32(request.character) &&
               request.character <= 0xFFFF;
    case MessageType::sync:
    case MessageType::screenshot:
    case MessageType::list_windows:
    case MessageType::last_damage:
        return true;
    case MessageType::wait_idle:
        return in.u32(request.timeout_ms) && request.timeout_ms <= max_wait_ms;
    case MessageType::set_size:
        return in.i32(request.x) && in.i32(request.y);
    default:
        return false;
    }
}

void encode_fields(MessageWriter& out, const Request& request) {
    switch (request.type) {
    case MessageType::hello:
        out.u32(request.version).u32(static_cast<std::uint32_t>(request.role));
        break;
    case MessageType::create_surface:
        out.u64(request.window).rect(request.rect).u8(request.flag).u8(request.enabled).u64(request.other);
        out.text(request.class_name).text(request.title).u32(request.shell_flags);
        break;
    case MessageType::set_shell_flags:
        out.u64(request.window).u32(request.shell_flags);
        break;
    case MessageType::set_input_panel:
        out.u8(request.flag);
        break;
    case MessageType::hold_cue:
        out.i32(request.x).i32(request.y).u32(request.id);
        break;
    case MessageType::set_rect:
        out.u64(request.window).rect(request.rect);
        break;
    case MessageType::set_visible:
        out.u64(request.window).u8(request.flag);
        break;
    case MessageType::set_z:
    case MessageType::set_focus:
        out.u64(request.window).u64(request.other);
        break;
    case MessageType::set_properties:
        out.u64(request.window).u8(request.enabled).text(request.class_name).text(request.title);
        break;
    case MessageType::destroy_surface:
    case MessageType::set_foreground:
    case MessageType::set_capture:
        out.u64(request.window);
        break;
    case MessageType::present:
        out.u64(request.window).u32(static_cast<std::uint32_t>(request.rects.size()));
        for (auto const& rect : request.rects) out.rect(rect);
        break;
    case MessageType::report_idle:
        out.u64(request.other).u8(request.flag);
        break;
    case MessageType::register_hotkey:
        out.u64(request.window).u32(request.id).u32(request.modifiers).u32(request.vk);
        break;
    case MessageType::unregister_hotkey:
        out.u64(request.window).u32(request.id);
        break;
    case MessageType::inject_stylus:
        out.u32(request.kind).i32(request.x).i32(request.y);
        break;
    case MessageType::inject_key:
        out.u8(request.flag).u32(request.vk).u32(request.character);
        break;
    case MessageType::wait_idle:
        out.u32(request.timeout_ms);
        break;
    case MessageType::set_size:
        out.i32(request.x).i32(request.y);
        break;
    default:
        break;
    }
}

}  // namespace

bool valid_rect(const ScreenRect& rect) {
    return rect.left >= -max_coordinate && rect.top >= -max_coordinate && rect.right <= max_coordinate &&
           rect.bottom <= max_coordinate && rect.left < rect.right && rect.top < rect.bottom;
}

bool acceptable_header(const MessageHeader& header) { return header.size <= max_request_bytes; }

std::optional<Request> decode_request(std::uint32_t type, std::string_view payload) {
    if (payload.size() > max_request_bytes) return std::nullopt;
    Request request;
    request.type = static_cast<MessageType>(type);
    MessageReader in(payload);
    if (!decode_fields(in, request) || !in.at_end()) return std::nullopt;
    return request;
}

std::string encode_request(const Request& request) {
    MessageWriter out(request.type);
    encode_fields(out, request);
    return out.finish();
}

MessageWriter::MessageWriter(MessageType type) {
    bytes_.resize(header_bytes);
    auto const code = static_cast<std::uint32_t>(type);
    for (int i = 0; i < 4; ++i) bytes_[static_cast<std::size_t>(i)] = static_cast<char>((code >> (8 * i)) & 0xFF);
}

MessageWriter& MessageWriter::u8(std::uint8_t value) {
    bytes_.push_back(static_cast<char>(value));
    return *this;
}

MessageWriter& MessageWriter::u32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return *this;
}

MessageWriter& MessageWriter::i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }

MessageWriter& MessageWriter::u64(std::uint64_t value) {
    return u32(static_cast<std::uint32_t>(value)).u32(static_cast<std::uint32_t>(value >> 32));
}

MessageWriter& MessageWriter::rect(const ScreenRect& rect) {
    return i32(rect.left).i32(rect.top).i32(rect.right).i32(rect.bottom);
}

MessageWriter& MessageWriter::text(std::string_view text) {
    u32(static_cast<std::uint32_t>(text.size()));
    bytes_.append(text);
    return *this;
}

MessageWriter& MessageWriter::bytes(const void* data, std::size_t size) {
    bytes_.append(static_cast<const char*>(data), size);
    return *this;
}

std::string MessageWriter::finish() {
    auto const size = static_cast<std::uint32_t>(bytes_.size() - header_bytes);
    for (int i = 0; i < 4; ++i) bytes_[static_cast<std::size_t>(4 + i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return std::move(bytes_);
}

bool MessageReader::bytes(void* data, std::size_t size) {
    if (rest_.size() < size) return false;
    std::memcpy(data, rest_.data(), size);
    rest_.remove_prefix(size);
    return true;
}

bool MessageReader::u8(std::uint8_t& value) { return bytes(&value, 1); }

bool MessageReader::flag(bool& value) {
    std::uint8_t byte = 0;
    if (!u8(byte) || byte > 1) return false;
    value = byte == 1;
    return true;
}

bool MessageReader::u32(std::uint32_t& value) {
    unsigned char raw[4];
    if (!bytes(raw, 4)) return false;
    value = raw[0] | (raw[1] << 8) | (raw[2] << 16) | (static_cast<std::uint32_t>(raw[3]) << 24);
    return true;
}

bool MessageReader::i32(std::int32_t& value) {
    std::uint32_t raw = 0;
    if (!u32(raw)) return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool MessageReader::u64(std::uint64_t& value) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!u32(low) || !u32(high)) return false;
    value = low | (static_cast<std::uint64_t>(high) << 32);
    return true;
}

bool MessageReader::rect(ScreenRect& rect) {
    return i32(rect.left) && i32(rect.top) && i32(rect.right) && i32(rect.bottom);
}

bool MessageReader::text(std::string& text, std::uint32_t cap) {
    std::uint32_t size = 0;
    if (!u32(size) || size > cap || rest_.size() < size) return false;
    text.assign(rest_.substr(0, size));
    rest_.remove_prefix(size);
    return true;
}

}  // namespace platform::screen
