#include "platform/linux/screen/screen_state.h"

#include <algorithm>
#include <utility>

namespace platform::screen {
namespace {

// Far more top-level windows than a device shows; each holds a mapping in the server.
constexpr std::size_t max_surfaces = 1024;

bool contains(const ScreenRect& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

ScreenRect offset(const ScreenRect& rect, int dx, int dy) {
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

bool same_size(const ScreenRect& a, const ScreenRect& b) {
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

bool fits(const SurfacePixels& memory, const ScreenRect& rect) {
    return memory.width() == rect.right - rect.left && memory.height() == rect.bottom - rect.top;
}

}  // namespace

ScreenState::ScreenState(const display::ScreenMode& mode, Outbox outbox, bool shell)
    : mode_(mode), outbox_(std::move(outbox)), compositor_(mode.width, mode.height), chrome_(shell, mode) {}

std::string ScreenState::metrics_message(MessageType type) const {
    MessageWriter out(type);
    out.i32(mode_.width).i32(mode_.height).i32(mode_.dpi).i32(chrome_.layout().bar);
    return out.finish();
}

void ScreenState::add_link(LinkId link, pid_t pid, Role role) {
    links_[link] = Link{pid, role, 0, 0, false};
    outbox_(link, metrics_message(MessageType::welcome));
}

void ScreenState::remove_link(LinkId link) {
    links_.erase(link);
    if (hold_cue_link_ == link) {
        chrome_.set_hold_cue(0, 0, 0);
        hold_cue_link_ = 0;
    }
    std::erase_if(hotkeys_, [&](const Hotkey& hotkey) { return hotkey.link == link; });
    std::vector<std::uint64_t> gone;
    for (auto const& surface : surfaces_) {
        if (surface.link == link) gone.push_back(surface.window);
    }
    for (auto window : gone) forget(window);
    refresh_shell();
}

std::vector<ScreenState::Surface>::iterator ScreenState::find(std::uint64_t window) {
    return std::find_if(surfaces_.begin(), surfaces_.end(), [&](auto const& s) { return s.window == window; });
}

ScreenState::Surface* ScreenState::owned(LinkId link, std::uint64_t window) {
    auto found = find(window);
    return found != surfaces_.end() && found->link == link ? &*found : nullptr;
}

bool ScreenState::handle(LinkId link, const Request& request, std::unique_ptr<SurfacePixels> memory) {
    auto linked = links_.find(link);
    if (linked == links_.end()) return false;
    if (request.type == MessageType::set_input_panel) {
        set_input_panel(request.flag);
        return true;
    }
    if (request.type == MessageType::hold_cue) {
        chrome_.set_hold_cue(request.x, request.y, static_cast<int>(request.id));
        hold_cue_link_ = request.id > 0 ? link : 0;
        damage_shell();
        return true;
    }
    bool const done = handle_window_request(link, linked->second, request, std::move(memory));
    refresh_shell();
    return done;
}

bool ScreenState::handle_window_request(LinkId link, Link& linked, const Request& request,
                                        std::unique_ptr<SurfacePixels> memory) {
    if (request.type == MessageType::create_surface) return create(link, request, std::move(memory));
    if (request.type == MessageType::report_idle) {
        linked.handled = std::min(request.other, linked.sent);
        linked.busy = request.flag;
        return true;
    }
    if (request.type == MessageType::inject_stylus) {
        route({static_cast<display::InputKind>(request.kind), request.x, request.y, 0, 0});
        return true;
    }
    if (request.type == MessageType::inject_key) {
        auto const kind = request.flag ? display::InputKind::key_down : display::InputKind::key_up;
        route({kind, 0, 0, request.vk, static_cast<char16_t>(request.character)});
        return true;
    }
    if (request.type == MessageType::set_size) {
        display::ScreenMode mode;
        if (!display::screen_mode_of_size(request.x, request.y, mode)) return false;
        set_mode(mode);
        return true;
    }
    if (request.type == MessageType::register_hotkey) return register_hotkey(link, request);
    if (request.type == MessageType::unregister_hotkey) {
        return std::erase_if(hotkeys_, [&](const Hotkey& hotkey) {
                   return hotkey.link == link && hotkey.window == request.window && hotkey.id == request.id;
               }) > 0;
    }
    // Any process may bring any window to the front, as on the device.
    if (request.type == MessageType::set_foreground) {
        if (find(request.window) == surfaces_.end()) return false;
        foreground_ = request.window;
        return true;
    }
    if (request.type == MessageType::set_capture && request.window == 0) {
        if (owned(link, capture_)) capture_ = 0;
        return true;
    }
    Surface* surface = owned(link, request.window);
    if (!surface) return false;
    switch (request.type) {
    case MessageType::set_rect:
        return set_rect(*surface, request.rect, std::move(memory));
    case MessageType::set_visible:
        if (surface->visible != request.flag) {
            // Where it is shown or was shown until now.
            surface->visible = true;
            damage(*surface);
            surface->visible = request.flag;
        }
        return true;
    case MessageType::set_z:
        place(request.window, request.other);
        return true;
    case MessageType::set_properties:
        surface->enabled = request.enabled;
        surface->class_name = request.class_name;
        surface->title = request.title;
        return true;
    case MessageType::set_shell_flags:
        surface->shell_flags = request.shell_flags;
        return true;
    case MessageType::destroy_surface:
        forget(request.window);
        return true;
    case MessageType::present:
        present(*surface, request.rects);
        return true;
    case MessageType::set_capture:
        capture_ = request.window;
        return true;
    case MessageType::set_focus:
        foreground_ = request.window;
        focus_ = request.other;
        return true;
    default:
        return false;
    }
}

bool ScreenState::create(LinkId link, const Request& request, std::unique_ptr<SurfacePixels> memory) {
    if (request.window <= place_bottom || find(request.window) != surfaces_.end()) return false;
    if (surfaces_.size() >= max_surfaces) return false;
    if (!memory || !fits(*memory, request.rect)) return false;
    Surface surface;
    surface.window = request.window;
    surface.link = link;
    surface.rect = request.rect;
    surface.visible = request.flag;
    surface.enabled = request.enabled;
    surface.class_name = request.class_name;
    surface.title = request.title;
    surface.shell_flags = request.shell_flags;
    surface.memory = std::move(memory);
    surfaces_.insert(surfaces_.begin(), std::move(surface));
    place(request.window, request.other);
    return true;
}

bool ScreenState::set_rect(Surface& surface, const ScreenRect& rect, std::unique_ptr<SurfacePixels> memory) {
    if (memory && !fits(*memory, rect)) return false;
    if (!memory && !same_size(surface.rect, rect)) return false;
    damage(surface);
    surface.rect = rect;
    if (memory) surface.memory = std::move(memory);
    damage(surface);
    return true;
}

void ScreenState::place(std::uint64_t window, std::uint64_t insert_after) {
    auto found = find(window);
    if (found == surfaces_.end()) return;
    Surface moving = std::move(*found);
    surfaces_.erase(found);
    std::size_t index = 0;
    if (insert_after == place_bottom) {
        index = surfaces_.size();
    } else if (insert_after != place_top) {
        auto after = find(insert_after);
        index = after == surfaces_.end() ? 0 : static_cast<std::size_t>(after - surfaces_.begin()) + 1;
    }
    surfaces_.insert(surfaces_.begin() + static_cast<std::ptrdiff_t>(index), std::move(moving));
    damage(surfaces_[index]);
}

void ScreenState::present(const Surface& surface, const std::vector<ScreenRect>& rects) {
    if (!surface.visible) return;
    if (rects.empty()) damage(surface);
    for (auto const& rect : rects) {
        ScreenRect on_screen = offset(rect, surface.rect.left, surface.rect.top);
        on_screen.left = std::max(on_screen.left, surface.rect.left);
        on_screen.top = std::max(on_screen.top, surface.rect.top);
        on_screen.right = std::min(on_screen.right, surface.rect.right);
        on_screen.bottom = std::min(on_screen.bottom, surface.rect.bottom);
        if (on_screen.left < on_screen.right && on_screen.top < on_screen.bottom) compositor_.damage(on_screen);
    }
}

void ScreenState::damage(const Surface& surface) {
    if (surface.visible) compositor_.damage(surface.rect);
}

void ScreenState::forget(std::uint64_t window) {
    auto found = find(window);
    if (found == surfaces_.end()) return;
    damage(*found);
    surfaces_.erase(found);
    std::erase_if(hotkeys_, [&](const Hotkey& hotkey) { return hotkey.window == window; });
    for (auto* held : {&foreground_, &capture_, &focus_, &stylus_owner_}) {
        if (*held == window) *held = 0;
    }
}

const ScreenState::Surface* ScreenState::surface_at(int x, int y) const {
    for (auto const& surface : surfaces_) {
        if (surface.visible && contains(surface.rect, x, y)) return &surface;
    }
    return nullptr;
}

void ScreenState::route(const display::InputEvent& event) {
    using display::InputKind;
    if (route_to_shell(event)) return;
    Surface const* target = nullptr;
    switch (event.kind) {
    case InputKind::stylus_down: {
        auto held = find(capture_);
        target = held != surfaces_.end() ? &*held : surface_at(event.x, event.y);
        if (target && !target->enabled) target = nullptr;
        stylus_owner_ = target ? target->window : 0;
        break;
    }
    case InputKind::stylus_move:
    case InputKind::stylus_up: {
        auto held = find(capture_ ? capture_ : stylus_owner_);
        if (held != surfaces_.end()) target = &*held;
        if (event.kind == InputKind::stylus_up) stylus_owner_ = 0;
        break;
    }
    case InputKind::key_down:
    case InputKind::key_up: {
        if (route_hotkey(event)) return;
        auto held = find(foreground_);
        if (held != surfaces_.end() && held->enabled) target = &*held;
        break;
    }
    case InputKind::next_size:
        set_mode(display::next_screen_mode(mode_));
        return;
    default:
        return;
    }
    if (target) send_event(*target, event);
}

void ScreenState::send_event(const Surface& surface, const display::InputEvent& event) {
    send_message_event(surface.link, static_cast<std::uint32_t>(event.kind), surface.window, event.x, event.y, event.vk,
                       event.character);
}

bool ScreenState::send_message_event(LinkId id, std::uint32_t kind, std::uint64_t window, int x, int y,
                                     std::uint32_t vk, std::uint32_t character) {
    auto link = links_.find(id);
    if (link == links_.end()) return false;
    std::uint64_t const serial = link->second.sent + 1;
    MessageWriter out(MessageType::event);
    out.u64(serial).u32(kind).u64(window).i32(x).i32(y).u32(vk).u32(character);
    // A dropped event is not waited for.
    if (!outbox_(id, out.finish())) return false;
    link->second.sent = serial;
    return true;
}

bool ScreenState::register_hotkey(LinkId link, const Request& request) {
    if (links_.find(link) == links_.end()) return false;
    auto const same_slot = [&](const Hotkey& hotkey) {
        return hotkey.link == link && hotkey.window == request.window && hotkey.id == request.id;
    };
    std::uint32_t const combination = request.modifiers & ~mod_keyup;
    for (auto const& held : hotkeys_) {
        if (!same_slot(held) && held.vk == request.vk && (held.modifiers & ~mod_keyup) == combination) return false;
    }
    std::erase_if(hotkeys_, same_slot);
    hotkeys_.push_back({link, request.window, request.id, request.modifiers, request.vk});
    return true;
}

std::uint32_t ScreenState::modifiers_down(std::uint32_t vk) const {
    // The hardware buttons count as keys with the Windows key held, as on the device.
    std::uint32_t modifiers = vk >= 0xC1 && vk <= 0xC6 ? mod_win : 0;
    for (auto key : keys_down_) {
        if (key == 0x10 || key == 0xA0 || key == 0xA1) modifiers |= mod_shift;
        if (key == 0x11 || key == 0xA2 || key == 0xA3) modifiers |= mod_control;
        if (key == 0x12 || key == 0xA4 || key == 0xA5) modifiers |= mod_alt;
        if (key == 0x5B || key == 0x5C) modifiers |= mod_win;
    }
    return modifiers;
}

bool ScreenState::route_hotkey(const display::InputEvent& event) {
    bool const down = event.kind == display::InputKind::key_down;
    auto const pressed = std::find(keys_down_.begin(), keys_down_.end(), event.vk);
    if (down && pressed == keys_down_.end()) keys_down_.push_back(event.vk);
    if (!down && pressed != keys_down_.end()) keys_down_.erase(pressed);
    auto const releasing = std::find(hotkeys_down_.begin(), hotkeys_down_.end(), event.vk);
    if (!down) {
        if (releasing == hotkeys_down_.end()) return false;
        hotkeys_down_.erase(releasing);
    }
    std::uint32_t const modifiers = modifiers_down(event.vk);
    for (auto const& hotkey : hotkeys_) {
        if (hotkey.vk != event.vk) continue;
        if (down && (hotkey.modifiers & ~mod_keyup) != modifiers) continue;
        if (down && releasing == hotkeys_down_.end()) hotkeys_down_.push_back(event.vk);
        if (down || (hotkey.modifiers & mod_keyup) != 0) {
            send_message_event(hotkey.link, event_hotkey, hotkey.window, static_cast<int>(hotkey.id),
                               static_cast<int>(hotkey.modifiers & ~mod_keyup) | (down ? 0 : static_cast<int>(mod_keyup)),
                               event.vk, 0);
        }
        return true;
    }
    // The release of a hot key whose registration went meanwhile is still not a key.
    return !down;
}

bool ScreenState::route_to_shell(const display::InputEvent& event) {
    using display::InputKind;
    switch (event.kind) {
    case InputKind::stylus_down:
        // A window holding the capture (an open menu) gets every tap, as on the device.
        shell_has_stylus_ = find(capture_) == surfaces_.end() && chrome_.press(event.x, event.y);
        damage_shell();
        return shell_has_stylus_;
    case InputKind::stylus_move:
        return shell_has_stylus_;
    case InputKind::stylus_up: {
        if (!shell_has_stylus_) return false;
        shell_has_stylus_ = false;
        auto const tap = chrome_.release(event.x, event.y);
        damage_shell();
        run_shell_tap(tap);
        return true;
    }
    default:
        return false;
    }
}

void ScreenState::run_shell_tap(const ShellTap& tap) {
    using display::InputKind;
    switch (tap.action) {
    case ShellTap::Action::ok: {
        auto front = find(foreground_);
        if (front != surfaces_.end()) send_message_event(front->link, event_ok_button, front->window, 0, 0, 0, 0);
        return;
    }
    case ShellTap::Action::toggle_input_panel:
        set_input_panel(!chrome_.input_panel_up());
        return;
    case ShellTap::Action::key:
        // Typed as the keyboard types: down and up, to whoever would get a real key.
        route({InputKind::key_down, 0, 0, tap.key.vk, tap.key.character});
        route({InputKind::key_up, 0, 0, tap.key.vk, 0});
        return;
    case ShellTap::Action::none:
        return;
    }
}

void ScreenState::set_input_panel(bool up) {
    if (!chrome_.shown() || chrome_.input_panel_up() == up) return;
    chrome_.set_input_panel(up);
    damage_shell();
    for (auto const& [id, link] : links_) {
        if (link.role == Role::client) send_message_event(id, event_input_panel, 0, up ? 1 : 0, 0, 0, 0);
    }
}

void ScreenState::refresh_shell() {
    ShellFront front;
    auto found = find(foreground_);
    if (found != surfaces_.end()) {
        front.title = found->title;
        front.ok_button = (found->shell_flags & shell_ok_button) != 0;
        front.hide_task_bar = (found->shell_flags & shell_hide_task_bar) != 0;
        front.hide_input_panel_button = (found->shell_flags & shell_hide_input_panel_button) != 0;
    }
    chrome_.set_front(front);
    damage_shell();
}

void ScreenState::damage_shell() {
    for (auto const& rect : chrome_.take_damage()) compositor_.damage(rect);
}

void ScreenState::set_mode(const display::ScreenMode& mode) {
    mode_ = mode;
    compositor_.resize(mode.width, mode.height);
    chrome_.set_mode(mode);
    chrome_.take_damage();
    shell_has_stylus_ = false;
    send_size_changed();
}

void ScreenState::send_size_changed() {
    for (auto const& [id, link] : links_) outbox_(id, metrics_message(MessageType::size_changed));
}

std::vector<ScreenRect> ScreenState::compose() {
    std::vector<Layer> layers = chrome_.layers_below();
    for (auto surface = surfaces_.rbegin(); surface != surfaces_.rend(); ++surface) {
        if (surface->visible) layers.push_back({surface->memory.get(), surface->rect});
    }
    auto rects = compositor_.compose(layers, chrome_.layers_above());
    composed_.insert(composed_.end(), rects.begin(), rects.end());
    return rects;
}

std::vector<ScreenRect> ScreenState::take_composed_area() { return std::exchange(composed_, {}); }

bool ScreenState::idle() const {
    if (compositor_.has_damage()) return false;
    return std::all_of(links_.begin(), links_.end(),
                       [](auto const& entry) { return entry.second.handled >= entry.second.sent && !entry.second.busy; });
}

bool ScreenState::unused() const {
    return surfaces_.empty() &&
           std::none_of(links_.begin(), links_.end(), [](auto const& entry) { return entry.second.role == Role::control; });
}

std::string ScreenState::picture_message() const {
    auto const frame = compositor_.frame();
    MessageWriter out(MessageType::picture);
    out.i32(frame.width).i32(frame.height);
    for (int y = 0; y < frame.height; ++y) {
        out.bytes(frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.stride, static_cast<std::size_t>(frame.width) * 4);
    }
    return out.finish();
}

std::string ScreenState::windows_message() const {
    MessageWriter out(MessageType::windows);
    out.u32(static_cast<std::uint32_t>(surfaces_.size()));
    for (auto const& surface : surfaces_) {
        auto link = links_.find(surface.link);
        out.u32(link != links_.end() ? static_cast<std::uint32_t>(link->second.pid) : 0).u64(surface.window);
        out.text(surface.class_name).text(surface.title).rect(surface.rect);
        out.u8(surface.visible).u8(surface.enabled).u8(surface.window == foreground_);
        out.u64(surface.window == foreground_ ? focus_ : 0);
    }
    return out.finish();
}

}  // namespace platform::screen
