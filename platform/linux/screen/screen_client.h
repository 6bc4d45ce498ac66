// A process's link to the device's screen (inside the Linux back end only), for the window
// layer: a surface per top-level window in shared memory that the process draws into with
// a device context (gdi::create_surface_dc) and presents, the surface's place in the
// device-wide z-order, foreground and capture, and the stylus and key events for the
// process's windows, at screen coordinates.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/gdi/surface.h"
#include "platform/linux/screen/screen_protocol.h"
#include "platform/windows.h"

namespace platform::screen {

struct ScreenMetrics {
    int width = 0;
    int height = 0;
    int dpi = 0;  // LOGPIXELSX and LOGPIXELSY
    int bar = 0;  // the shell's task bar and bottom bar; 0 when the screen shows no shell
};

enum class ScreenEventKind : std::uint32_t {
    stylus_down = 1,
    stylus_move = 2,
    stylus_up = 3,
    key_down = 4,
    key_up = 5,
    // The screen changed size (-> WM_SETTINGCHANGE 0x3002 to every top-level window).
    size_changed = 100,
    // A registered hot key (-> WM_HOTKEY: wParam the id, lParam modifiers and key).
    hotkey = 101,
    // A tap on the task bar's OK button (-> WM_COMMAND IDOK to the window).
    ok_button = 102,
    // The input panel went up or down (-> WM_SETTINGCHANGE 224 to every top-level window).
    input_panel = 103,
};

struct ScreenEvent {
    ScreenEventKind kind = ScreenEventKind::stylus_move;
    HWND window = nullptr;  // the top-level window the event is for
    POINT point{};          // screen coordinates of stylus events
    std::uint32_t vk = 0;   // the device's virtual key (hardware buttons 0xC1-0xC6)
    char16_t character = 0; // what a key-down types, if anything
    ScreenMetrics metrics;  // after a size change
    int hotkey_id = 0;       // of a hot key
    std::uint32_t modifiers = 0;  // of a hot key; MOD_KEYUP (0x1000) on a release
    bool input_panel_up = false;  // of an input panel event
};

struct SurfaceSettings {
    RECT rect{};
    bool visible = false;
    bool enabled = true;
    // HWND_TOP (null), HWND_BOTTOM (1) or the window to go just below.
    HWND insert_after = nullptr;
    std::u16string class_name;
    std::u16string title;
    std::uint32_t shell_flags = 0;  // shell_ok_button, shell_hide_task_bar, ...
};

class ScreenClient {
public:
    using EventHandler = std::function<void(const ScreenEvent&)>;

    ScreenClient();
    ~ScreenClient();  // the surfaces go from the screen
    ScreenClient(const ScreenClient&) = delete;
    ScreenClient& operator=(const ScreenClient&) = delete;

    // Links to the device's screen, starting its server when none runs; calls below link
    // on demand too. False when the screen cannot be reached.
    bool connect();
    ScreenMetrics metrics();
    // The metrics of the link there is now, without linking; false when there is none.
    bool linked_metrics(ScreenMetrics& metrics);

    // The surface of a top-level window: pixels the screen shows at rect once presented.
    // Null when refused (no screen, a size over 4096 a side).
    gdi::PixelSurface* create_surface(HWND window, const SurfaceSettings& settings);
    gdi::PixelSurface* surface(HWND window);
    // A new size keeps the pixels of the overlap and gives new memory: device contexts on
    // the surface must be retargeted (gdi::retarget_surface_dc).
    bool move_surface(HWND window, const RECT& rect);
    bool show_surface(HWND window, bool visible);
    bool place_surface(HWND window, HWND insert_after);
    bool describe_surface(HWND window, bool enabled, const std::u16string& class_name, const std::u16string& title);
    bool destroy_surface(HWND window);
    // What the window asks of the shell while it is in front (shell_* flags).
    bool set_shell_flags(HWND window, std::uint32_t flags);
    // Shows what was drawn in these rectangles (surface coordinates; all when empty).
    bool present(HWND window, const std::vector<RECT>& damage = {});

    bool set_foreground(HWND window);
    // Stylus events go to this window even outside it; null releases.
    bool set_capture(HWND window);
    bool set_focus(HWND top_level, HWND focus);

    // RegisterHotKey for the device: the key with exactly these modifiers (MOD_ALT 1,
    // MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8, plus MOD_KEYUP 0x1000 for releases too) comes as
    // a hot key event for the window instead of a key, whichever window is in front. The
    // hardware buttons (0xC1-0xC6) come with MOD_WIN. False when another window holds it.
    bool register_hotkey(HWND window, int id, std::uint32_t modifiers, std::uint32_t vk);
    bool unregister_hotkey(HWND window, int id);

    // Raises or lowers the input panel; up is its state after (false when the screen did not
    // answer). Every process hears of a change before this returns.
    bool set_input_panel(bool raise, bool& up);
    bool input_panel_up(bool& up);
    // The ring of a held tap around the point (screen coordinates): dots of 8, 0 takes it away.
    bool show_hold_cue(POINT point, int dots);

    // Returns once the screen has carried out every call made before (false after five
    // seconds, or when called from the event handler).
    bool sync();

    // Called on the link's own thread for every event; it may call this client. After it
    // returns the screen counts the event as handled, unless the process is busy.
    void set_event_handler(EventHandler handler);
    // While busy (paint pending, messages not yet handled), the screen's wait for idle
    // waits for this process.
    void set_busy(bool busy);

private:
    struct Link;
    class Surface;
    bool connect_locked();
    // Sends on the link, linking again once when it broke.
    bool send(const std::string& message, int pass_fd = -1);
    bool send_request(const Request& request);
    // Sends a request that the screen answers with a value, and waits for the answer.
    bool ask(const Request& request, std::uint32_t& value);
    Surface* find(HWND window);
    void read_events(Link& link);
    void deliver(Link& link, std::uint64_t serial, const ScreenEvent& event);

    // Guards the link and the surfaces; never held by the link's thread.
    std::mutex mutex_;
    std::unique_ptr<Link> link_;
    // Links that broke; their threads are joined at the end.
    std::vector<std::unique_ptr<Link>> retired_;
    std::vector<std::unique_ptr<Surface>> surfaces_;
    // Guards the handler and the busy state, which the link's thread reads.
    std::mutex events_mutex_;
    EventHandler handler_;
    bool busy_ = false;
    std::uint64_t last_serial_ = 0;
    std::condition_variable synced_;
    std::uint64_t syncs_sent_ = 0;
    std::uint64_t syncs_answered_ = 0;
    std::map<std::uint64_t, std::uint32_t> results_;
    std::thread::id link_thread_;
};

}  // namespace platform::screen
