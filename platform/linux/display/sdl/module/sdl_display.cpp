// The display in a desktop window through SDL2: the screen drawn at a zoom factor, the host
// mouse as the stylus, the host keyboard as the device keyboard, F1-F6 as the hardware
// buttons and F9 as the size key. Built as a module of its own that only the screen server
// opens, and only when this driver is chosen, so that no other process loads SDL.
#include "platform/linux/display/display_driver.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace platform::display {
namespace {

constexpr std::uint32_t vk_back = 0x08, vk_tab = 0x09, vk_return = 0x0D, vk_shift = 0x10, vk_control = 0x11,
                        vk_menu = 0x12, vk_escape = 0x1B, vk_space = 0x20, vk_prior = 0x21, vk_next = 0x22,
                        vk_end = 0x23, vk_home = 0x24, vk_left = 0x25, vk_up = 0x26, vk_right = 0x27,
                        vk_down = 0x28, vk_delete = 0x2E, vk_first_button = 0xC1;

std::uint32_t virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<std::uint32_t>(key);
    if (key >= SDLK_F1 && key <= SDLK_F6) return vk_first_button + static_cast<std::uint32_t>(key - SDLK_F1);
    switch (key) {
    case SDLK_BACKSPACE: return vk_back;
    case SDLK_TAB: return vk_tab;
    case SDLK_RETURN: case SDLK_KP_ENTER: return vk_return;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return vk_shift;
    case SDLK_LCTRL: case SDLK_RCTRL: return vk_control;
    case SDLK_LALT: case SDLK_RALT: return vk_menu;
    case SDLK_ESCAPE: return vk_escape;
    case SDLK_SPACE: return vk_space;
    case SDLK_PAGEUP: return vk_prior;
    case SDLK_PAGEDOWN: return vk_next;
    case SDLK_END: return vk_end;
    case SDLK_HOME: return vk_home;
    case SDLK_LEFT: return vk_left;
    case SDLK_UP: return vk_up;
    case SDLK_RIGHT: return vk_right;
    case SDLK_DOWN: return vk_down;
    case SDLK_DELETE: return vk_delete;
    default: return 0;
    }
}

char16_t key_character(const SDL_Keysym& key) {
    bool const shifted = (key.mod & KMOD_SHIFT) != 0;
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) return static_cast<char16_t>((shifted ? 'A' : 'a') + (key.sym - SDLK_a));
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9 && !shifted) return static_cast<char16_t>(key.sym);
    if (key.sym == SDLK_SPACE) return u' ';
    if (key.sym == SDLK_RETURN) return u'\r';
    if (key.sym == SDLK_BACKSPACE) return u'\b';
    return 0;
}

// The host's system cursor for a device cursor id; the arrow for none and for ids the host
// has no cursor for, so that the desktop user always sees where the stylus is.
SDL_SystemCursor host_cursor(std::uint32_t cursor) {
    switch (cursor) {
    case 32513: return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514: return SDL_SYSTEM_CURSOR_WAIT;
    case 32515: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32642: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case 32643: return SDL_SYSTEM_CURSOR_SIZENESW;
    case 32644: return SDL_SYSTEM_CURSOR_SIZEWE;
    case 32645: return SDL_SYSTEM_CURSOR_SIZENS;
    case 32646: return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648: return SDL_SYSTEM_CURSOR_NO;
    case 32649: return SDL_SYSTEM_CURSOR_HAND;
    case 32650: return SDL_SYSTEM_CURSOR_WAITARROW;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

class SdlDisplay final : public DisplayDriver {
public:
    ~SdlDisplay() override {
        for (auto* cursor : cursors_) {
            if (cursor) SDL_FreeCursor(cursor);
        }
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool start(const ScreenMode& mode, int zoom, std::string& error) {
        zoom_ = zoom;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return failed(error);
        if (!on_a_desktop()) {
            error = std::string("no desktop, only SDL's ") + SDL_GetCurrentVideoDriver() + " video driver";
            return false;
        }
        wake_event_ = SDL_RegisterEvents(1);
        window_ = SDL_CreateWindow("Sonbrix screen", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                   mode.width * zoom, mode.height * zoom, SDL_WINDOW_SHOWN);
        if (!window_) return failed(error);
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) return failed(error);
        return make_texture(mode) || failed(error);
    }

    const char* name() const override { return "sdl"; }

    void present(const Frame& frame, const std::vector<ScreenRect>& damage) override {
        if (frame.width != mode_.width || frame.height != mode_.height) return;
        if (damage.empty()) update(frame, {0, 0, frame.width, frame.height});
        for (auto const& rect : damage) update(frame, rect);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    bool wait_input(InputEvent& event, int timeout_ms) override {
        SDL_Event raw;
        int const got = timeout_ms > 0 ? SDL_WaitEventTimeout(&raw, timeout_ms) : SDL_PollEvent(&raw);
        return got != 0 && translate(raw, event);
    }

    void wake() override {
        SDL_Event event{};
        event.type = wake_event_;
        SDL_PushEvent(&event);
    }

    void resize(const ScreenMode& mode) override {
        SDL_SetWindowSize(window_, mode.width * zoom_, mode.height * zoom_);
        make_texture(mode);
    }

    void set_cursor(std::uint32_t cursor) override {
        SDL_SystemCursor const id = host_cursor(cursor);
        auto& made = cursors_[static_cast<std::size_t>(id)];
        if (!made) made = SDL_CreateSystemCursor(id);
        if (made) SDL_SetCursor(made);
    }

private:
    // SDL falls back to drivers without a window (offscreen, dummy) when no desktop answers;
    // headless is ours then. A driver the user named in SDL_VIDEODRIVER is taken as it is.
    static bool on_a_desktop() {
        char const* named = std::getenv("SDL_VIDEODRIVER");
        if (named && *named) return true;
        std::string_view const driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
        return driver == "x11" || driver == "wayland";
    }

    static bool failed(std::string& error) {
        error = SDL_GetError();
        return false;
    }

    bool make_texture(const ScreenMode& mode) {
        if (texture_) SDL_DestroyTexture(texture_);
        mode_ = mode;
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, mode.width,
                                     mode.height);
        return texture_ != nullptr;
    }

    void update(const Frame& frame, const ScreenRect& rect) {
        SDL_Rect const area{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
        if (area.w <= 0 || area.h <= 0) return;
        auto const* first = frame.pixels + static_cast<std::ptrdiff_t>(rect.top) * frame.stride + rect.left;
        SDL_UpdateTexture(texture_, &area, first, frame.stride * 4);
    }

    bool stylus(InputKind kind, int x, int y, InputEvent& event) const {
        event.kind = kind;
        event.x = std::clamp(x / zoom_, 0, mode_.width - 1);
        event.y = std::clamp(y / zoom_, 0, mode_.height - 1);
        return true;
    }

    bool translate(const SDL_Event& raw, InputEvent& event) {
        switch (raw.type) {
        case SDL_QUIT:
            event.kind = InputKind::quit;
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (raw.button.button != SDL_BUTTON_LEFT) return false;
            pressed_ = raw.type == SDL_MOUSEBUTTONDOWN;
            return stylus(pressed_ ? InputKind::stylus_down : InputKind::stylus_up, raw.button.x, raw.button.y, event);
        case SDL_MOUSEMOTION:
            return pressed_ && stylus(InputKind::stylus_move, raw.motion.x, raw.motion.y, event);
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return key(raw.key, raw.type == SDL_KEYDOWN, event);
        default:
            return false;
        }
    }

    bool key(const SDL_KeyboardEvent& raw, bool down, InputEvent& event) const {
        if (raw.keysym.sym == SDLK_F9) {
            if (!down || raw.repeat) return false;
            event.kind = InputKind::next_size;
            return true;
        }
        event.vk = virtual_key(raw.keysym.sym);
        if (event.vk == 0) return false;
        event.kind = down ? InputKind::key_down : InputKind::key_up;
        event.character = down ? key_character(raw.keysym) : 0;
        return true;
    }

    std::array<SDL_Cursor*, SDL_NUM_SYSTEM_CURSORS> cursors_{};
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::uint32_t wake_event_ = 0;
    ScreenMode mode_;
    int zoom_ = 1;
    bool pressed_ = false;
};

}  // namespace
}  // namespace platform::display

// The module's entry point: a started driver, or null with why in error.
extern "C" platform::display::DisplayDriver* sonbrix_sdl_display_create(const platform::display::ScreenMode& mode,
                                                                        int zoom, std::string& error) {
    auto display = std::make_unique<platform::display::SdlDisplay>();
    if (!display->start(mode, zoom, error)) return nullptr;
    return display.release();
}
