#include "platform/linux/user/window_link_protocol.h"

#include "platform/testing.h"
#include "platform/windows.h"

namespace platform::detail {

bool carried_by_value(UINT message) {
    return message == WM_COPYDATA || message == WM_SETTEXT || message == WM_GETTEXT;
}

bool carries_addresses(UINT message) {
    switch (message) {
    case WM_CREATE:
    case WM_NCCREATE:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_SETTINGCHANGE:
    case WM_COPYDATA: return true;
    default: return false;
    }
}

// A setting change names its section by address; without one (lparam 0) it is a plain notice
// that any process may pass on, as the installer and the screen-size change do.
bool carries_addresses(UINT message, std::int64_t lparam) {
    if (message == WM_SETTINGCHANGE) return lparam != 0;
    return carries_addresses(message);
}

bool acceptable_request_header(const LinkRequestHeader& header) {
    if (header.magic != link_magic) return false;
    if (header.device_size > max_link_device_size || header.payload_size > max_link_payload_size) return false;
    switch (header.operation) {
    case LinkOperation::list:
    case LinkOperation::query: return header.payload_size == 0;
    case LinkOperation::activate: return header.payload_size == 0 && header.wparam <= WA_CLICKACTIVE;
    case LinkOperation::post: return header.payload_size == 0 && !carries_addresses(header.message, header.lparam);
    case LinkOperation::send:
        if (carries_addresses(header.message, header.lparam) && !carried_by_value(header.message)) return false;
        if (carried_by_value(header.message) && header.lparam != 0) return false;  // an address
        if (header.message == WM_COPYDATA) return header.payload_size >= sizeof(ULONG_PTR);
        if (header.message == WM_GETTEXT) return header.payload_size == 0 && header.wparam <= max_link_text_length;
        return header.message == WM_SETTEXT ? header.payload_size % sizeof(char16_t) == 0
                                            : header.payload_size == 0;
    }
    return false;
}

std::optional<LinkRequest> decode_link_request(std::string_view bytes) {
    LinkRequest request;
    if (bytes.size() < sizeof request.header) return std::nullopt;
    std::memcpy(&request.header, bytes.data(), sizeof request.header);
    if (!acceptable_request_header(request.header)) return std::nullopt;
    bytes.remove_prefix(sizeof request.header);
    if (bytes.size() != std::size_t{request.header.device_size} + request.header.payload_size) return std::nullopt;
    request.device.assign(bytes.substr(0, request.header.device_size));
    request.payload.assign(bytes.substr(request.header.device_size));
    return request;
}

std::string encode_link_request(const LinkRequest& request) {
    LinkRequestHeader header = request.header;
    header.magic = link_magic;
    header.device_size = static_cast<std::uint32_t>(request.device.size());
    header.payload_size = static_cast<std::uint32_t>(request.payload.size());
    LinkWriter writer;
    writer.put(header);
    writer.bytes += request.device;
    writer.bytes += request.payload;
    return writer.bytes;
}

void LinkWriter::put_text(std::u16string_view text) {
    put(static_cast<std::uint32_t>(text.size()));
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
}

bool LinkReader::get_text(std::u16string& text) {
    std::uint32_t size;
    if (!get(size) || (bytes_.size() - at_) / sizeof(char16_t) < size) return false;
    text.resize(size);
    std::memcpy(text.data(), bytes_.data() + at_, size * sizeof(char16_t));
    at_ += size * sizeof(char16_t);
    return true;
}

}  // namespace platform::detail

bool platform::parse_window_link_request(const void* data, std::size_t size) {
    return platform::detail::decode_link_request(std::string_view(static_cast<const char*>(data), size)).has_value();
}
