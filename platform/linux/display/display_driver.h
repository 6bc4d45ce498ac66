// Display drivers (inside the Linux back end only): where the screen server shows the
// composed screen and where its stylus and keys come from. One interface, a table of
// drivers chosen by SONBRIX_DISPLAY.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform::display {

// The screen's size in device pixels and its density (LOGPIXELSX/Y).
struct ScreenMode {
    int width = 480;
    int height = 640;
    int dpi = 192;
};

// A rectangle in screen pixels, right and bottom excluded.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum class InputKind : std::uint32_t {
    stylus_down = 1,
    stylus_move = 2,
    stylus_up = 3,
    key_down = 4,
    key_up = 5,
    // The user asked for the next screen size (a key in a desktop window).
    next_size = 6,
    quit = 7,
};

// One input from the driver: stylus at screen coordinates, keys with the device's virtual
// keys (F1-F6 on a desktop keyboard are the hardware buttons 0xC1-0xC6) and the character
// the key gives, if any.
struct InputEvent {
    InputKind kind = InputKind::stylus_move;
    int x = 0;
    int y = 0;
    std::uint32_t vk = 0;
    char16_t character = 0;
};

// The composed screen: 32-bit pixels (x8r8g8b8), rows top-down.
struct Frame {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels from one row to the next
};

class DisplayDriver {
public:
    virtual ~DisplayDriver() = default;
    virtual const char* name() const = 0;
    // Shows the damaged rectangles of the frame (all of it when damage is empty).
    virtual void present(const Frame& frame, const std::vector<ScreenRect>& damage) = 0;
    // The next input, waiting at most timeout_ms (0: only what is there); false when none.
    // Called on the thread that created the driver.
    virtual bool wait_input(InputEvent& event, int timeout_ms) = 0;
    // Ends a wait_input early; may be called from any thread.
    virtual void wake() = 0;
    // The screen changed size; the next present has the new frame.
    virtual void resize(const ScreenMode& mode) = 0;
    // The device's cursor: a system cursor id (32512 the arrow, 32514 wait, ...), 0 for
    // none. A driver without a pointer of its own ignores it.
    virtual void set_cursor(std::uint32_t cursor) { (void)cursor; }
};

// One entry of the table of drivers.
struct DisplayBootstrap {
    const char* name;
    const char* description;
    // Null when the driver failed to start; why goes into error.
    std::unique_ptr<DisplayDriver> (*create)(const ScreenMode& mode, int zoom, std::string& error);
};

std::span<const DisplayBootstrap* const> display_bootstraps();

// The screen mode from SONBRIX_DISPLAY_SIZE: 240x320 (96 dpi), 480x640 (192 dpi, the
// default) or 480x800 (192 dpi); anything else gives the default.
ScreenMode screen_mode_from_environment();
// The mode of that size, if it is one of the device's sizes.
bool screen_mode_of_size(int width, int height, ScreenMode& mode);
// The size after this one, for the size key: 240x320 -> 480x640 -> 480x800 -> 240x320.
ScreenMode next_screen_mode(const ScreenMode& mode);

// The driver SONBRIX_DISPLAY names ("sdl", "headless"); without it sdl when DISPLAY or
// WAYLAND_DISPLAY is set, else headless. A driver that fails to start falls back to
// headless with one line on stderr. Zoom from SONBRIX_DISPLAY_ZOOM (1-4, default 1).
std::unique_ptr<DisplayDriver> open_display(const ScreenMode& mode);

}  // namespace platform::display
