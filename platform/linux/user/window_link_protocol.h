// What the device's processes say to each other about windows (inside the Linux back end
// only). A request is a fixed header, the asker's device folder and a payload; an answer is
// a fixed header and a payload. Everything read from a link is checked against the caps
// below before anything is allocated: the other end may be any program of the same user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/messages.h"

namespace platform::detail {

// activate: the window gains (wparam WA_ACTIVE) or loses (WA_INACTIVE) activation to or from
// the window in lparam (a handle, never an address).
enum class LinkOperation : std::uint32_t { list = 1, query = 2, post = 3, send = 4, activate = 5 };

struct LinkRequestHeader {
    std::uint32_t magic;
    LinkOperation operation;
    std::uint32_t message;
    std::uint32_t device_size;
    std::uint64_t window;
    std::uint64_t wparam;
    std::int64_t lparam;
    std::uint32_t payload_size;
    std::uint32_t reserved;
};

struct LinkReplyHeader {
    std::uint32_t magic;
    std::uint32_t ok;
    std::int64_t result;
    std::uint32_t payload_size;
    std::uint32_t reserved;
};

constexpr std::uint32_t link_magic = 0x4B4E4C57;  // "WLNK"
constexpr std::uint32_t max_link_device_size = 4096;
constexpr std::uint32_t max_link_payload_size = 4u << 20;
// WM_GETTEXT across processes: the longest text carried back, in characters.
constexpr std::uint32_t max_link_text_length = 32768;

struct LinkRequest {
    LinkRequestHeader header{};
    std::string device;
    std::string payload;
};

// False for a header that no well-formed request has (bad magic, unknown operation, a size
// over its cap, a message whose parameters are addresses in the sender's memory).
bool acceptable_request_header(const LinkRequestHeader& header);
// A whole request from bytes; nullopt when they are not exactly one acceptable request.
std::optional<LinkRequest> decode_link_request(std::string_view bytes);
std::string encode_link_request(const LinkRequest& request);

// Messages whose parameters point into the sender's memory. WM_COPYDATA, WM_SETTEXT and
// WM_GETTEXT are carried by value; the others cannot cross and are refused.
bool carries_addresses(UINT message);
bool carries_addresses(UINT message, std::int64_t lparam);
bool carried_by_value(UINT message);

class LinkWriter {
public:
    template <class T>
    void put(const T& value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void put_text(std::u16string_view text);
    std::string bytes;
};

class LinkReader {
public:
    explicit LinkReader(std::string_view bytes) : bytes_(bytes) {}
    template <class T>
    bool get(T& value) {
        if (bytes_.size() - at_ < sizeof value) return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return true;
    }
    bool get_text(std::u16string& text);
    std::string_view rest() const { return bytes_.substr(at_); }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

}  // namespace platform::detail
