// The screen link's messages (inside the Linux back end only). Every message is a header
// (type, payload size, both 32-bit little-endian) and a payload of fixed-size fields and
// length-prefixed UTF-8 texts. Surface pixels travel as a sealed memfd beside the message
// (SCM_RIGHTS), never in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/display/display_driver.h"

namespace platform::screen {

using display::ScreenRect;

enum class MessageType : std::uint32_t {
    // client -> server
    hello = 1,
    create_surface = 2,
    set_rect = 3,
    set_visible = 4,
    set_z = 5,
    set_properties = 6,
    destroy_surface = 7,
    present = 8,
    set_foreground = 9,
    set_capture = 10,
    set_focus = 11,
    report_idle = 12,
    sync = 13,
    register_hotkey = 14,
    unregister_hotkey = 15,
    // The shell: what a window asks of the bars while it is in front, the input panel (up or
    // down, answered with its state), its state, and the ring of a held tap.
    set_shell_flags = 16,
    set_input_panel = 17,
    input_panel_state = 18,
    hold_cue = 19,
    inject_stylus = 20,
    inject_key = 21,
    screenshot = 22,
    list_windows = 23,
    wait_idle = 24,
    set_size = 25,
    last_damage = 26,
    // server -> client
    welcome = 100,
    event = 101,
    size_changed = 102,
    picture = 103,
    windows = 104,
    result = 105,
    rectangles = 106,
};

struct MessageHeader {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
};
constexpr std::size_t header_bytes = 8;

// Caps checked before anything is allocated.
constexpr std::uint32_t max_request_bytes = 16 * 1024;
constexpr std::uint32_t max_text_bytes = 1024;
constexpr std::uint32_t max_present_rects = 256;
constexpr int max_surface_side = 4096;
constexpr int max_coordinate = 1 << 20;
// Replies carry whole screens.
constexpr std::uint32_t max_reply_bytes = 64 * 1024 * 1024;

// Where set_z and create_surface place a surface: on top, at the bottom, or just below the
// surface of that window (the handheld's HWND_TOP, HWND_BOTTOM, insert-after handle).
constexpr std::uint64_t place_top = 0;
constexpr std::uint64_t place_bottom = 1;

enum class Role : std::uint32_t { client = 0, control = 1 };
constexpr std::uint32_t protocol_version = 1;

// A client's request, decoded. Only the fields of its type are meaningful.
struct Request {
    MessageType type = MessageType::hello;
    std::uint32_t version = 0;
    Role role = Role::client;
    std::uint64_t window = 0;
    std::uint64_t other = 0;  // insert-after window, focus window, last event serial
    ScreenRect rect;
    bool flag = false;  // visible, busy, key down
    bool enabled = true;
    std::string class_name;
    std::string title;
    std::vector<ScreenRect> rects;
    std::uint32_t kind = 0;  // stylus kind
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t vk = 0;
    std::uint32_t character = 0;
    std::uint32_t timeout_ms = 0;
    std::uint32_t id = 0;         // hot key id
    std::uint32_t modifiers = 0;  // hot key modifiers (MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8, MOD_KEYUP 0x1000)
    std::uint32_t shell_flags = 0;  // of create_surface and set_shell_flags: shell_* below
};

// What a window asks of the shell while it is in front.
constexpr std::uint32_t shell_ok_button = 0x1;
constexpr std::uint32_t shell_hide_task_bar = 0x2;
constexpr std::uint32_t shell_hide_input_panel_button = 0x4;
constexpr std::uint32_t shell_known_flags = 0x7;

bool acceptable_header(const MessageHeader& header);
// Null for a payload that is not a well-formed request of that type (unknown type, short
// or extra bytes, a text over its cap, a rectangle that is empty or out of range).
std::optional<Request> decode_request(std::uint32_t type, std::string_view payload);
std::string encode_request(const Request& request);

// Little-endian fields.
class MessageWriter {
public:
    explicit MessageWriter(MessageType type);
    MessageWriter& u8(std::uint8_t value);
    MessageWriter& u32(std::uint32_t value);
    MessageWriter& i32(std::int32_t value);
    MessageWriter& u64(std::uint64_t value);
    MessageWriter& rect(const ScreenRect& rect);
    MessageWriter& text(std::string_view text);
    MessageWriter& bytes(const void* data, std::size_t size);
    // Header and payload.
    std::string finish();

private:
    std::string bytes_;
};

class MessageReader {
public:
    explicit MessageReader(std::string_view payload) : rest_(payload) {}
    bool u8(std::uint8_t& value);
    bool flag(bool& value);
    bool u32(std::uint32_t& value);
    bool i32(std::int32_t& value);
    bool u64(std::uint64_t& value);
    bool rect(ScreenRect& rect);
    bool text(std::string& text, std::uint32_t cap = max_text_bytes);
    bool bytes(void* data, std::size_t size);
    std::string_view rest() const { return rest_; }
    bool at_end() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// A rectangle inside the coordinate range with left < right and top < bottom.
bool valid_rect(const ScreenRect& rect);

}  // namespace platform::screen
