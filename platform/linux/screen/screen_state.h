// What the screen server knows (inside the Linux back end only): the links, the device-wide
// z-order of top-level surfaces, foreground, capture and focus, the composed frame, and where
// input goes. Not thread-safe: the server holds its lock around every call. It never waits:
// messages to links go to the outbox, which only queues them (false when it dropped one,
// as for a client whose queue is full).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/screen/compositor.h"
#include "platform/linux/screen/screen_protocol.h"
#include "platform/linux/screen/shell_chrome.h"

namespace platform::screen {

using LinkId = std::uint64_t;

// Kinds of the event message beyond the driver's input kinds. A hot key event carries the
// hot key's id as x and its modifiers as y.
constexpr std::uint32_t event_size_changed = 100;
constexpr std::uint32_t event_hotkey = 101;
// A tap on the task bar's OK button, for the foreground window.
constexpr std::uint32_t event_ok_button = 102;
// The input panel went up (x 1) or down (x 0); every client link gets it.
constexpr std::uint32_t event_input_panel = 103;

// Hot key modifiers, as the platform names them.
constexpr std::uint32_t mod_alt = 0x1, mod_control = 0x2, mod_shift = 0x4, mod_win = 0x8, mod_keyup = 0x1000;

class ScreenState {
public:
    using Outbox = std::function<bool(LinkId, std::string message)>;

    // With the shell, its bars and input panel are drawn over the windows and take the taps
    // on them.
    ScreenState(const display::ScreenMode& mode, Outbox outbox, bool shell = false);

    void add_link(LinkId link, pid_t pid, Role role);
    // Removes the link's surfaces and repaints where they were.
    void remove_link(LinkId link);
    // Carries out a request of a linked client that needs no reply from the server's
    // threads (screenshot, list and wait are answered by the server); memory comes with
    // create_surface and with a set_rect that changes the size. False when refused.
    bool handle(LinkId link, const Request& request, std::unique_ptr<SurfacePixels> memory);
    // A device-wide hot key for the window (any window of the link's process): false when
    // another window holds the same key and modifiers. The same window and id again
    // replaces its key.
    bool register_hotkey(LinkId link, const Request& request);
    // Stylus and keys from the driver or the control link, to the client they are for.
    void route(const display::InputEvent& event);

    void set_mode(const display::ScreenMode& mode);
    const display::ScreenMode& mode() const { return mode_; }

    bool needs_compose() const { return compositor_.has_damage(); }
    std::vector<ScreenRect> compose();
    display::Frame frame() const { return compositor_.frame(); }
    // The area composed since the last call.
    std::vector<ScreenRect> take_composed_area();

    // Nothing to compose, and every client has handled the events sent to it and paints
    // nothing.
    bool idle() const;
    // The server may end: no surface and no control link.
    bool unused() const;

    std::string picture_message() const;
    std::string windows_message() const;

    std::size_t surface_count() const { return surfaces_.size(); }
    bool input_panel_up() const { return chrome_.input_panel_up(); }

private:
    struct Surface {
        std::uint64_t window = 0;
        LinkId link = 0;
        ScreenRect rect;
        bool visible = false;
        bool enabled = true;
        std::string class_name;
        std::string title;
        std::uint32_t shell_flags = 0;
        std::unique_ptr<SurfacePixels> memory;
    };
    struct Hotkey {
        LinkId link = 0;
        std::uint64_t window = 0;
        std::uint32_t id = 0;
        std::uint32_t modifiers = 0;
        std::uint32_t vk = 0;
    };
    struct Link {
        pid_t pid = 0;
        Role role = Role::client;
        std::uint64_t sent = 0;
        std::uint64_t handled = 0;
        bool busy = false;
    };

    // Surfaces_ is in z-order, top first.
    std::vector<Surface>::iterator find(std::uint64_t window);
    Surface* owned(LinkId link, std::uint64_t window);
    bool handle_window_request(LinkId link, Link& linked, const Request& request, std::unique_ptr<SurfacePixels> memory);
    bool create(LinkId link, const Request& request, std::unique_ptr<SurfacePixels> memory);
    bool set_rect(Surface& surface, const ScreenRect& rect, std::unique_ptr<SurfacePixels> memory);
    void place(std::uint64_t window, std::uint64_t insert_after);
    void present(const Surface& surface, const std::vector<ScreenRect>& rects);
    void damage(const Surface& surface);
    void forget(std::uint64_t window);
    const Surface* surface_at(int x, int y) const;
    void send_event(const Surface& surface, const display::InputEvent& event);
    bool send_message_event(LinkId link, std::uint32_t kind, std::uint64_t window, int x, int y, std::uint32_t vk,
                            std::uint32_t character);
    // True when the key went as a hot key (or is the release of one).
    bool route_hotkey(const display::InputEvent& event);
    std::uint32_t modifiers_down(std::uint32_t vk) const;
    void send_size_changed();
    std::string metrics_message(MessageType type) const;
    // The shell shows what the foreground window asks of it.
    void refresh_shell();
    void damage_shell();
    void set_input_panel(bool up);
    // A stylus event the shell takes (it went down on the shell).
    bool route_to_shell(const display::InputEvent& event);
    void run_shell_tap(const ShellTap& tap);

    display::ScreenMode mode_;
    Outbox outbox_;
    Compositor compositor_;
    ShellChrome chrome_;
    bool shell_has_stylus_ = false;
    // The link whose held tap the ring shows (0: none); it goes with that link.
    LinkId hold_cue_link_ = 0;
    std::vector<Surface> surfaces_;
    std::map<LinkId, Link> links_;
    std::uint64_t foreground_ = 0;
    std::uint64_t capture_ = 0;
    std::uint64_t focus_ = 0;
    std::uint64_t stylus_owner_ = 0;
    std::vector<ScreenRect> composed_;
    std::vector<Hotkey> hotkeys_;
    // Keys down now (for hot key modifiers), and the hot keys whose release is theirs.
    std::vector<std::uint32_t> keys_down_;
    std::vector<std::uint32_t> hotkeys_down_;
};

}  // namespace platform::screen
