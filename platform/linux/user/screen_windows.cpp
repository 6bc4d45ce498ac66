// The process's top-level windows on the device's screen, and the screen's events as the
// owning threads' messages.
#include "platform/linux/user/screen_windows.h"

#include <algorithm>

#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/kernel.h"
#include "platform/linux/display/display_driver.h"
#include "platform/linux/gdi/device_context.h"
#include "platform/linux/screen/screen_client.h"
#include "platform/linux/screen/screen_link.h"
#include "platform/linux/screen/shell_layout.h"
#include "platform/linux/user/input_state.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/window_tree.h"
#include "platform/messages.h"

using platform::screen::ScreenClient;
using platform::screen::ScreenEvent;
using platform::screen::ScreenEventKind;

namespace platform::detail {
namespace {

constexpr WPARAM stylus_pressed = 0x0001;  // MK_LBUTTON
constexpr WPARAM screen_size_setting = 0x3002;
constexpr WPARAM input_panel_setting = 224;  // SPI_SETSIPINFO
constexpr std::size_t typed_characters_kept = 16;

LPARAM pack(int low, int high) {
    return static_cast<LPARAM>((static_cast<DWORD>(high & 0xFFFF) << 16) | static_cast<DWORD>(low & 0xFFFF));
}

bool contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

bool is_empty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Where the window's client area starts on the screen.
POINT client_origin(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    auto const facts = window_facts(window);
    return POINT{rect.left + (facts ? facts->client.left : 0), rect.top + (facts ? facts->client.top : 0)};
}

bool is_disabled(HWND window) {
    auto const facts = window_facts(window);
    return !facts || (facts->style & WS_DISABLED) != 0;
}

// The deepest shown window under the point, starting at the top-level window.
HWND window_under(HWND top_level, POINT point) {
    HWND found = top_level;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (HWND child : child_windows(found)) {
            RECT rect{};
            if (!is_window_shown(child) || !GetWindowRect(child, &rect) || !contains(rect, point)) continue;
            found = child;
            deeper = true;
            break;
        }
    }
    return found;
}

// The screen as this process sees it: its link, what it last told the screen of each
// window, and the state of the stylus and keys between events.
class ScreenWindows {
public:
    static ScreenWindows& instance() {
        // Never destroyed: the link's thread may still deliver while the process exits; the
        // screen drops the process's surfaces when its link closes.
        static auto* const windows = new ScreenWindows;
        return *windows;
    }

    ScreenClient& client() { return client_; }

    ScreenSize size() {
        std::lock_guard lock(mutex_);
        // The screen linked now knows best; a link that ended may have been another screen's.
        // A process without windows yet asks a screen that runs (a skin is chosen by its size
        // before the first window), but starts none only to learn a size.
        screen::ScreenMetrics metrics;
        bool const ask = !known_.empty() || screen::screen_server_running();
        if (client_.linked_metrics(metrics) || (ask && (metrics = client_.metrics()).width > 0)) {
            if (metrics.width != size_.width || metrics.height != size_.height || metrics.bar != size_.bar)
                remember_size(metrics);
            return size_;
        }
        auto const mode = display::screen_mode_from_environment();
        int const bar = screen::shell_shown_from_environment() ? screen::shell_bar_height(mode.width) : 0;
        return ScreenSize{mode.width, mode.height, mode.dpi, bar};
    }

    void change_shell_flags(HWND window, std::uint32_t set, std::uint32_t clear) {
        std::lock_guard lock(mutex_);
        auto& flags = shell_flags_[window];
        flags = (flags & ~clear) | set;
        if (known_.count(window)) {
            known_[window].shell_flags = flags;
            client_.set_shell_flags(window, flags);
        }
    }

    void sync(HWND window) {
        auto const facts = window_facts(window);
        if (!facts || facts->destroying) return;
        std::lock_guard lock(mutex_);
        auto known = known_.find(window);
        if (facts->is_child()) {
            if (known != known_.end()) forget(window);
            return;
        }
        bool const shown = is_window_shown(window) && !is_empty(facts->rect);
        if (known == known_.end()) {
            if (shown) create(window, *facts);
            return;
        }
        auto& told = known->second;
        if (!same_rect(told.rect, facts->rect) && !is_empty(facts->rect) && client_.move_surface(window, facts->rect)) {
            told.rect = facts->rect;
        }
        if (told.visible != shown && client_.show_surface(window, shown)) told.visible = shown;
        bool const enabled = (facts->style & WS_DISABLED) == 0;
        auto const title = window_text(window).value_or(u"");
        if ((told.enabled != enabled || told.title != title) &&
            client_.describe_surface(window, enabled, told.class_name, title)) {
            told.enabled = enabled;
            told.title = title;
        }
    }

    void place(HWND window) {
        std::lock_guard lock(mutex_);
        if (!known_.count(window)) return;
        client_.place_surface(window, window_above_on_screen(window));
    }

    void remove(HWND window) {
        std::lock_guard lock(mutex_);
        if (known_.count(window)) forget(window);
        shell_flags_.erase(window);
        std::lock_guard input_lock(input_mutex_);
        if (stylus_owner_ == window) stylus_owner_ = nullptr;
        if (last_tap_.window == window) last_tap_ = {};
    }

    void present(HWND top_level, const std::vector<RECT>& damage) {
        {
            std::lock_guard lock(mutex_);
            if (!known_.count(top_level)) return;
        }
        client_.present(top_level, damage);
    }

    // Foreground, capture and focus matter to the screen only for windows on it.
    bool is_on_screen(HWND top_level) {
        std::lock_guard lock(mutex_);
        return known_.count(top_level) != 0;
    }

    bool paint_pending(HWND window) {
        HWND const top = top_level_of(window);
        auto const thread = window_thread(window);
        std::lock_guard lock(input_mutex_);
        if (!thread || !on_screen_.count(top)) return false;
        mark_busy(*thread);
        return true;
    }

    void thread_idle(DWORD thread_id) {
        std::lock_guard lock(input_mutex_);
        // Input that came after the thread was found idle keeps it busy: it finds it next.
        auto const queue = find_queue(thread_id);
        if (queue && queue->screen_waits()) return;
        if (busy_threads_.erase(thread_id) && busy_threads_.empty()) client_.set_busy(false);
    }

    // The character of the oldest waiting key of that code, with the older ones nobody took.
    // A key without one (an arrow) leaves the characters of the keys typed after it.
    char16_t take_character(DWORD thread_id, UINT vk) {
        std::lock_guard lock(input_mutex_);
        auto& typed = typed_[thread_id];
        auto const found = std::find_if(typed.begin(), typed.end(), [vk](const auto& entry) { return entry.first == vk; });
        if (found == typed.end()) return 0;
        char16_t const character = found->second;
        typed.erase(typed.begin(), found + 1);
        return character;
    }

private:
    struct Tap {
        HWND window = nullptr;
        DWORD time = 0;
        POINT point{};
    };

    ScreenWindows() {
        client_.set_event_handler([this](const ScreenEvent& event) { on_event(event); });
    }

    void create(HWND window, const WindowFacts& facts) {
        screen::SurfaceSettings settings;
        settings.rect = facts.rect;
        settings.visible = true;
        settings.enabled = (facts.style & WS_DISABLED) == 0;
        settings.insert_after = window_above_on_screen(window);
        settings.class_name = facts.window_class ? facts.window_class->name : u"";
        settings.title = window_text(window).value_or(u"");
        auto const flags = shell_flags_.find(window);
        if (flags != shell_flags_.end()) settings.shell_flags = flags->second;
        auto* const surface = client_.create_surface(window, settings);
        if (!surface) return;
        known_[window] = settings;
        {
            std::lock_guard input_lock(input_mutex_);
            on_screen_.insert(window);
        }
        // The surface lives as long as the window has it on the screen; the tree keeps a
        // reference that does not own it.
        set_window_surface(window, std::shared_ptr<gdi::PixelSurface>(surface, [](gdi::PixelSurface*) {}));
        invalidate_window(window, nullptr, true);
        wake_window_thread(window);
    }

    void forget(HWND window) {
        {
            std::lock_guard input_lock(input_mutex_);
            on_screen_.erase(window);
        }
        set_window_surface(window, nullptr);
        client_.destroy_surface(window);
        known_.erase(window);
    }

    // The process's own window just above this one that is on the screen; HWND_TOP when none.
    HWND window_above_on_screen(HWND window) {
        HWND above = nullptr;
        for (HWND top : top_level_windows()) {
            if (top == window) break;
            if (known_.count(top)) above = top;
        }
        return above;
    }

    void remember_size(const screen::ScreenMetrics& metrics) {
        size_ = ScreenSize{metrics.width, metrics.height, metrics.dpi, metrics.bar};
        gdi::set_screen_metrics({metrics.width, metrics.height, metrics.dpi});
    }

    void on_event(const ScreenEvent& event) {
        switch (event.kind) {
        case ScreenEventKind::stylus_down:
        case ScreenEventKind::stylus_move:
        case ScreenEventKind::stylus_up: on_stylus(event); break;
        case ScreenEventKind::key_down:
        case ScreenEventKind::key_up: on_key(event); break;
        case ScreenEventKind::size_changed: on_size_changed(event); break;
        case ScreenEventKind::hotkey:
            PostMessageW(event.window, WM_HOTKEY, static_cast<WPARAM>(event.hotkey_id),
                         pack(static_cast<int>(event.modifiers), static_cast<int>(event.vk)));
            break;
        case ScreenEventKind::ok_button: PostMessageW(event.window, WM_COMMAND, IDOK, 0); break;
        case ScreenEventKind::input_panel:
            for (HWND top : top_level_windows()) PostMessageW(top, WM_SETTINGCHANGE, input_panel_setting, 0);
            break;
        }
    }

    void on_stylus(const ScreenEvent& event) {
        auto const thread = window_thread(event.window);
        if (!thread) return;
        std::lock_guard lock(input_mutex_);
        HWND target = live(input_state().capture(*thread));
        if (!target && event.kind == ScreenEventKind::stylus_down) stylus_owner_ = window_under(event.window, event.point);
        if (!target) target = stylus_owner_ ? stylus_owner_ : window_under(event.window, event.point);
        if (event.kind == ScreenEventKind::stylus_up) stylus_owner_ = nullptr;
        if (!target || is_disabled(target)) return;
        POINT const origin = client_origin(target);
        MSG message{};
        message.hwnd = target;
        message.message = stylus_message(event, target);
        message.wParam = event.kind == ScreenEventKind::stylus_up ? 0 : stylus_pressed;
        message.lParam = pack(event.point.x - origin.x, event.point.y - origin.y);
        message.pt = event.point;
        post_input(message);
    }

    UINT stylus_message(const ScreenEvent& event, HWND target) {
        if (event.kind == ScreenEventKind::stylus_move) return WM_MOUSEMOVE;
        if (event.kind == ScreenEventKind::stylus_up) return WM_LBUTTONUP;
        DWORD const now = GetTickCount();
        bool const double_tap = last_tap_.window == target && now - last_tap_.time <= double_tap_time_ms &&
                                std::abs(event.point.x - last_tap_.point.x) <= double_tap_distance &&
                                std::abs(event.point.y - last_tap_.point.y) <= double_tap_distance;
        auto const facts = window_facts(target);
        if (double_tap && facts && facts->window_class && (facts->window_class->style & CS_DBLCLKS)) {
            last_tap_ = {};
            return WM_LBUTTONDBLCLK;
        }
        last_tap_ = Tap{target, now, event.point};
        return WM_LBUTTONDOWN;
    }

    void on_key(const ScreenEvent& event) {
        auto const thread = window_thread(event.window);
        if (!thread) return;
        std::lock_guard lock(input_mutex_);
        HWND target = live(input_state().focus(*thread));
        if (!target || !is_window_within(target, event.window)) target = event.window;
        if (is_disabled(target)) return;
        bool const down = event.kind == ScreenEventKind::key_down;
        bool const was_down = keys_down_.count(event.vk) != 0;
        if (down) keys_down_.insert(event.vk);
        else keys_down_.erase(event.vk);
        MSG message{};
        message.hwnd = target;
        message.message = down ? WM_KEYDOWN : WM_KEYUP;
        message.wParam = event.vk;
        message.lParam = static_cast<LPARAM>(1u | (was_down ? 1u << 30 : 0u) | (down ? 0u : 1u << 31));
        if (down && event.character) {
            auto& typed = typed_[*thread];
            typed.emplace_back(event.vk, event.character);
            if (typed.size() > typed_characters_kept) typed.pop_front();
        }
        post_input(message);
    }

    void on_size_changed(const ScreenEvent& event) {
        {
            std::lock_guard lock(mutex_);
            remember_size(event.metrics);
        }
        // Posted, not sent: a window thread waiting for the screen must not wait for this one.
        for (HWND top : top_level_windows()) PostMessageW(top, WM_SETTINGCHANGE, screen_size_setting, 0);
    }

    // With input_mutex_ held.
    void post_input(MSG message) {
        auto const thread = window_thread(message.hwnd);
        auto const queue = thread ? find_queue(*thread) : nullptr;
        if (!queue) return;
        message.time = GetTickCount();
        mark_busy(*thread);
        queue->post_input(message, true);
    }

    // With input_mutex_ held.
    void mark_busy(DWORD thread_id) {
        if (busy_threads_.empty()) client_.set_busy(true);
        busy_threads_.insert(thread_id);
    }

    static HWND live(HWND window) { return window && window_facts(window) ? window : nullptr; }

    ScreenClient client_;
    // Guards what the process told the screen of its windows.
    std::mutex mutex_;
    std::map<HWND, screen::SurfaceSettings> known_;
    // What windows ask of the shell, kept from before they are on the screen.
    std::map<HWND, std::uint32_t> shell_flags_;
    ScreenSize size_;
    // Guards the input state below; taken on the link's thread.
    std::mutex input_mutex_;
    HWND stylus_owner_ = nullptr;
    Tap last_tap_;
    std::set<std::uint32_t> keys_down_;
    std::map<DWORD, std::deque<std::pair<UINT, char16_t>>> typed_;
    std::set<DWORD> busy_threads_;
    std::set<HWND> on_screen_;
};

}  // namespace

ScreenSize screen_size() { return ScreenWindows::instance().size(); }

RECT work_area() {
    auto const size = screen_size();
    auto const area = screen::shell_layout(size.width, size.height, size.dpi, size.bar > 0).work_area;
    return RECT{area.left, area.top, area.right, area.bottom};
}

void change_shell_flags(HWND top_level, std::uint32_t set, std::uint32_t clear) {
    ScreenWindows::instance().change_shell_flags(top_level, set, clear);
}

bool raise_input_panel(bool raise) {
    bool up = false;
    return ScreenWindows::instance().client().set_input_panel(raise, up) && up == raise;
}

bool input_panel_is_up() {
    bool up = false;
    return ScreenWindows::instance().client().input_panel_up(up) && up;
}

void show_hold_cue(POINT point, int dots) { ScreenWindows::instance().client().show_hold_cue(point, dots); }

void sync_screen_window(HWND window) { ScreenWindows::instance().sync(window); }
void place_screen_window(HWND window) { ScreenWindows::instance().place(window); }
void remove_screen_window(HWND window) { ScreenWindows::instance().remove(window); }

void present_screen_window(HWND top_level, const std::vector<RECT>& damage) {
    ScreenWindows::instance().present(top_level, damage);
}

// The foreground and focus changes are done when the call returns: a key that another
// process gives the screen afterwards goes to the new window, not to the one before it.
void screen_foreground_changed(HWND top_level) {
    auto& windows = ScreenWindows::instance();
    if (windows.is_on_screen(top_level) && windows.client().set_foreground(top_level)) windows.client().sync();
}

void screen_capture_changed(HWND previous, HWND window) {
    auto& windows = ScreenWindows::instance();
    HWND const top = top_level_of(window ? window : previous);
    if (windows.is_on_screen(top)) windows.client().set_capture(window ? top : nullptr);
}

void screen_focus_changed(HWND top_level, HWND focus) {
    auto& windows = ScreenWindows::instance();
    if (windows.is_on_screen(top_level) && windows.client().set_focus(top_level, focus)) windows.client().sync();
}

bool register_screen_hotkey(HWND window, int id, UINT modifiers, UINT vk) {
    return ScreenWindows::instance().client().register_hotkey(window, id, modifiers, vk);
}

bool unregister_screen_hotkey(HWND window, int id) {
    // Done when the call returns, as RegisterHotKey is: the key's next press is a key again.
    auto& client = ScreenWindows::instance().client();
    return client.unregister_hotkey(window, id) && client.sync();
}

bool screen_reachable() { return ScreenWindows::instance().client().connect(); }

void screen_cursor_changed(std::uint32_t cursor) { ScreenWindows::instance().client().set_cursor(cursor); }

bool set_screen_display_power(bool on) { return ScreenWindows::instance().client().set_display_power(on); }

bool screen_display_power(bool& on) {
    std::uint32_t value = 0;
    if (!ScreenWindows::instance().client().query(screen::query_display_power, value)) return false;
    on = value == 1;
    return true;
}

bool screen_paint_pending(HWND window) { return ScreenWindows::instance().paint_pending(window); }
bool sync_screen() { return ScreenWindows::instance().client().sync(); }

void screen_thread_idle(DWORD thread_id) { ScreenWindows::instance().thread_idle(thread_id); }

char16_t take_typed_character(DWORD thread_id, UINT vk) {
    return ScreenWindows::instance().take_character(thread_id, vk);
}

}  // namespace platform::detail
