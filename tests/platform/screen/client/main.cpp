// A process with windows on the device's screen, for the screen tests. It reads commands on
// standard input, one a line, answers "ok" or "failed", and writes every event it gets:
//   surface W L T R B RRGGBB   a visible surface for window W, filled and presented
//   fill W RRGGBB              fills and presents the whole surface
//   move W L T R B             moves (and resizes, filling with the last colour)
//   hide W / show W / foreground W / capture W / release / disable W / destroy W
//   below W OTHER              places W just below OTHER
//   hotkey W ID MODS VK        registers a hot key (MODS and VK in hexadecimal)
//   unhotkey W ID
//   ping                       only answers
//   busy / done                (the screen's wait for idle waits for this process meanwhile)
//   event KIND W X Y VK CH     (written) an event for window W at screen X Y; a hot key's
//                              id and modifiers follow
// It ends at the end of its input, or after a minute as a guard.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "platform/linux/screen/screen_client.h"

namespace {

using platform::screen::ScreenClient;
using platform::screen::ScreenEvent;

std::mutex output_mutex;

void say(const std::string& line) {
    std::lock_guard lock(output_mutex);
    std::cout << line << std::endl;
}

HWND window_of(std::uint64_t value) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value)); }

class Client {
public:
    Client() {
        screen_.set_event_handler([](const ScreenEvent& event) {
            std::ostringstream line;
            line << "event " << static_cast<unsigned>(event.kind) << ' ' << reinterpret_cast<std::uintptr_t>(event.window)
                 << ' ' << event.point.x << ' ' << event.point.y << ' ' << event.vk << ' '
                 << static_cast<unsigned>(event.character);
            if (event.kind == platform::screen::ScreenEventKind::hotkey)
                line << ' ' << event.hotkey_id << ' ' << event.modifiers;
            if (event.kind == platform::screen::ScreenEventKind::size_changed)
                line << ' ' << event.metrics.width << 'x' << event.metrics.height << '@' << event.metrics.dpi;
            say(line.str());
        });
    }

    bool run(std::istringstream& in, const std::string& command) {
        std::uint64_t window = 0;
        if (command == "busy" || command == "done") {
            screen_.set_busy(command == "busy");
            return true;
        }
        if (command == "release") return screen_.set_capture(nullptr);
        if (command == "ping") return true;
        if (command == "dark" || command == "lit") return screen_.set_display_power(command == "lit");
        if (!(in >> window)) return false;
        HWND const hwnd = window_of(window);
        if (command == "surface" || command == "move") {
            RECT rect{};
            std::string colour;
            if (!(in >> rect.left >> rect.top >> rect.right >> rect.bottom)) return false;
            if (command == "surface") {
                if (!(in >> colour)) return false;
                colours_[window] = static_cast<std::uint32_t>(std::stoul(colour, nullptr, 16));
                platform::screen::SurfaceSettings settings;
                settings.rect = rect;
                settings.visible = true;
                settings.class_name = u"TestClass";
                settings.title = u"Window " + std::u16string(1, static_cast<char16_t>(u'0' + window % 10));
                return screen_.create_surface(hwnd, settings) && fill(hwnd, colours_[window]);
            }
            return screen_.move_surface(hwnd, rect) && fill(hwnd, colours_[window]);
        }
        if (command == "fill") {
            std::string colour;
            if (!(in >> colour)) return false;
            colours_[window] = static_cast<std::uint32_t>(std::stoul(colour, nullptr, 16));
            return fill(hwnd, colours_[window]);
        }
        if (command == "hotkey" || command == "unhotkey") {
            int id = 0;
            std::uint32_t modifiers = 0;
            std::uint32_t vk = 0;
            if (!(in >> id)) return false;
            if (command == "unhotkey") return screen_.unregister_hotkey(hwnd, id);
            return (in >> std::hex >> modifiers >> vk) && screen_.register_hotkey(hwnd, id, modifiers, vk);
        }
        if (command == "below") {
            std::uint64_t other = 0;
            return (in >> other) && screen_.place_surface(hwnd, window_of(other));
        }
        if (command == "hide" || command == "show") return screen_.show_surface(hwnd, command == "show");
        if (command == "foreground") return screen_.set_foreground(hwnd);
        if (command == "capture") return screen_.set_capture(hwnd);
        if (command == "disable") return screen_.describe_surface(hwnd, false, u"TestClass", u"disabled");
        if (command == "destroy") return screen_.destroy_surface(hwnd);
        return false;
    }

    bool sync() { return screen_.sync(); }

private:
    bool fill(HWND window, std::uint32_t colour) {
        auto* surface = screen_.surface(window);
        if (!surface) return false;
        for (int y = 0; y < surface->height(); ++y) {
            for (int x = 0; x < surface->width(); ++x) surface->pixels()[y * surface->stride() + x] = colour;
        }
        return screen_.present(window);
    }

    ScreenClient screen_;
    std::map<std::uint64_t, std::uint32_t> colours_;
};

}  // namespace

int main() {
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::minutes(1));
        ::_exit(3);
    }).detach();
    Client client;
    std::string line;
    say("ready");
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        // Answered once the screen has carried the command out.
        bool const done = client.run(in, command);
        say(client.sync() && done ? "ok" : "failed");
    }
    return 0;
}
