// The control side of the device's screen (inside the Linux back end only), for the control
// tool and tests: stylus, keys, text and hardware buttons as if from the device, a picture
// of the screen, the list of windows, a wait until nothing is left to paint, the size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/screen/screen_client.h"
#include "platform/linux/screen/screen_protocol.h"
#include "platform/linux/screen/shared_pixels.h"

namespace platform::screen {

// The screen's pixels, 0xFFRRGGBB, rows top-down.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// One top-level window on the screen, as its process described it.
struct ScreenWindow {
    int pid = 0;
    std::uint64_t window = 0;
    std::string class_name;  // UTF-8
    std::string title;
    ScreenRect rect;
    bool visible = false;
    bool enabled = false;
    bool foreground = false;
    std::uint64_t focus = 0;  // the focus window, on the foreground window's line
};

class ScreenControl {
public:
    ScreenControl();
    ~ScreenControl();
    ScreenControl(const ScreenControl&) = delete;
    ScreenControl& operator=(const ScreenControl&) = delete;

    // Links to the device's screen, starting its server when none runs.
    bool connect();
    ScreenMetrics metrics() const { return metrics_; }

    bool tap(int x, int y);
    bool hold(int x, int y, int milliseconds);
    // Down at the first point, moves in steps, up at the second.
    bool drag(int x1, int y1, int x2, int y2);
    bool stylus(std::uint32_t kind, int x, int y);
    bool key(std::uint32_t vk, bool down, char16_t character = 0);
    // Down and up.
    bool press(std::uint32_t vk, char16_t character = 0);
    bool text(std::u16string_view text);
    // Hardware buttons 1-6 (VK 0xC1-0xC6).
    bool button(int number);

    bool screenshot(ScreenPicture& picture);
    bool windows(std::vector<ScreenWindow>& windows);
    // True once nothing waits to be composed and every process has handled its input and
    // painted; false after timeout_ms (at most 60000).
    bool wait_idle(std::uint32_t timeout_ms);
    // 240x320, 480x640 or 480x800; every process gets a size-change event.
    bool set_size(int width, int height);
    // The device-wide cursor's system id (0: none) and whether the display is on.
    bool cursor(std::uint32_t& cursor);
    bool display_on(bool& on);
    // The rectangles composed since the last call.
    bool composed_area(std::vector<ScreenRect>& area);

private:
    bool send(const Request& request);
    bool reply(MessageType type, std::string& payload);
    bool query(std::uint32_t what, std::uint32_t& value);
    UniqueFd socket_;
    ScreenMetrics metrics_;
};

}  // namespace platform::screen
