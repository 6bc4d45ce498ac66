// screen-control: drives the screen of the device that SONBRIX_DEVICE names, for tests,
// scripts and users on a server.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/linux/display/display_driver.h"
#include "platform/linux/screen/screen_control.h"
#include "platform/unicode.h"
#include "tools/screen_control/png_file.h"

namespace {

using platform::screen::ScreenControl;
using Arguments = std::vector<std::string>;

constexpr const char* usage =
    "usage: screen-control COMMAND ...\n"
    "  tap X Y                 stylus down and up\n"
    "  hold X Y MS             stylus down, MS milliseconds, up\n"
    "  drag X1 Y1 X2 Y2        stylus down, moves, up\n"
    "  key VK                  a key down and up (VK decimal or 0x hex)\n"
    "  text \"...\"              the text's keys\n"
    "  button N                hardware button N (1-6)\n"
    "  screenshot FILE.png     the screen as a PNG\n"
    "  windows                 the top-level windows, top first\n"
    "  wait-idle [MS]          until nothing is left to paint (default 10000 ms)\n"
    "  size WxH                240x320, 480x640 or 480x800\n"
    "The device is the folder SONBRIX_DEVICE names.\n";

bool number(const std::string& text, int& value) {
    char* end = nullptr;
    long const parsed = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || parsed < -1000000 || parsed > 1000000) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool numbers(const Arguments& arguments, std::vector<int>& values) {
    values.resize(arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!number(arguments[i], values[i])) return false;
    }
    return true;
}

void print_windows(ScreenControl& control, bool& done) {
    std::vector<platform::screen::ScreenWindow> windows;
    done = control.windows(windows);
    for (auto const& window : windows) {
        std::printf("pid=%d window=0x%llx class=\"%s\" title=\"%s\" rect=%d,%d,%d,%d visible=%d enabled=%d "
                    "foreground=%d focus=0x%llx\n",
                    window.pid, static_cast<unsigned long long>(window.window), window.class_name.c_str(),
                    window.title.c_str(), window.rect.left, window.rect.top, window.rect.right, window.rect.bottom,
                    window.visible, window.enabled, window.foreground, static_cast<unsigned long long>(window.focus));
    }
}

// Carries out the command; 0 done, 1 failed, 2 wrong arguments.
int run(ScreenControl& control, const std::string& command, const Arguments& arguments) {
    std::vector<int> v;
    bool const all_numbers = numbers(arguments, v);
    // The count of numbers, whether their values are right, and the action.
    auto const with = [&](std::size_t count, const std::function<bool()>& valid, const std::function<bool()>& action) {
        if (arguments.size() != count || !all_numbers || !valid()) return 2;
        return action() ? 0 : 1;
    };
    auto const any = [] { return true; };
    if (command == "tap") return with(2, any, [&] { return control.tap(v[0], v[1]); });
    if (command == "hold") return with(3, [&] { return v[2] >= 0 && v[2] <= 60000; }, [&] { return control.hold(v[0], v[1], v[2]); });
    if (command == "drag") return with(4, any, [&] { return control.drag(v[0], v[1], v[2], v[3]); });
    if (command == "key")
        return with(1, [&] { return v[0] > 0 && v[0] <= 0xFF; }, [&] { return control.press(static_cast<unsigned>(v[0])); });
    if (command == "button") return with(1, [&] { return v[0] >= 1 && v[0] <= 6; }, [&] { return control.button(v[0]); });
    if (command == "wait-idle") {
        if (arguments.size() > 1 || !all_numbers || (arguments.size() == 1 && v[0] < 0)) return 2;
        return control.wait_idle(arguments.empty() ? 10000u : static_cast<std::uint32_t>(v[0])) ? 0 : 1;
    }
    if (command == "text") {
        if (arguments.size() != 1) return 2;
        return control.text(platform::utf8_to_utf16(arguments[0])) ? 0 : 1;
    }
    if (command == "size") {
        int width = 0;
        int height = 0;
        char extra = 0;
        platform::display::ScreenMode mode;
        if (arguments.size() != 1 || std::sscanf(arguments[0].c_str(), "%dx%d%c", &width, &height, &extra) != 2 ||
            !platform::display::screen_mode_of_size(width, height, mode))
            return 2;
        return control.set_size(width, height) ? 0 : 1;
    }
    if (command == "windows") {
        if (!arguments.empty()) return 2;
        bool done = false;
        print_windows(control, done);
        return done ? 0 : 1;
    }
    if (command == "screenshot") {
        if (arguments.size() != 1) return 2;
        platform::screen::ScreenPicture picture;
        std::string error;
        if (!control.screenshot(picture)) return 1;
        if (screen_control::write_png(arguments[0], picture, error)) return 0;
        std::fprintf(stderr, "screen-control: %s\n", error.c_str());
        return 1;
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    char const* device = std::getenv("SONBRIX_DEVICE");
    if (!device || !*device) {
        std::fputs("screen-control: SONBRIX_DEVICE names no device folder\n", stderr);
        return 2;
    }
    std::string const command = argv[1];
    Arguments const arguments(argv + 2, argv + argc);
    static const char* const commands[] = {"tap", "hold", "drag", "key", "text", "button",
                                           "screenshot", "windows", "wait-idle", "size"};
    if (std::find(std::begin(commands), std::end(commands), command) == std::end(commands)) {
        std::fputs(usage, stderr);
        return 2;
    }
    ScreenControl control;
    if (!control.connect()) {
        std::fprintf(stderr, "screen-control: the screen of %s does not answer\n", device);
        return 1;
    }
    int const status = run(control, command, arguments);
    if (status == 2) std::fputs(usage, stderr);
    else if (status == 1) std::fprintf(stderr, "screen-control: %s failed\n", command.c_str());
    return status;
}
