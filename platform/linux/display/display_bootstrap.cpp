#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/linux/display/display_driver.h"

namespace platform::display {

extern const DisplayBootstrap sdl_bootstrap;
extern const DisplayBootstrap headless_bootstrap;

namespace {

// Addresses, so that the table is constant-initialised: the screen server starts from a
// static initialiser, before other files' dynamic initialisers may have run.
const DisplayBootstrap* const bootstrap[] = {&sdl_bootstrap, &headless_bootstrap};

bool has_variable(const char* name) {
    char const* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

std::string_view chosen_driver() {
    char const* named = std::getenv("SONBRIX_DISPLAY");
    if (named != nullptr && *named != '\0') return named;
    return has_variable("DISPLAY") || has_variable("WAYLAND_DISPLAY") ? "sdl" : "headless";
}

int zoom_from_environment() {
    char const* text = std::getenv("SONBRIX_DISPLAY_ZOOM");
    int const zoom = text ? std::atoi(text) : 1;
    return zoom >= 1 && zoom <= 4 ? zoom : 1;
}

}  // namespace

std::span<const DisplayBootstrap* const> display_bootstraps() { return bootstrap; }

std::unique_ptr<DisplayDriver> open_display(const ScreenMode& mode) {
    std::string_view const wanted = chosen_driver();
    std::string error = "no display driver is named \"" + std::string(wanted) + "\"";
    for (auto const* entry : bootstrap) {
        if (wanted != entry->name) continue;
        error.clear();
        if (auto driver = entry->create(mode, zoom_from_environment(), error)) return driver;
        break;
    }
    std::fprintf(stderr, "sonbrix: display %.*s unavailable (%s); using headless\n",
                 static_cast<int>(wanted.size()), wanted.data(), error.c_str());
    return headless_bootstrap.create(mode, 1, error);
}

}  // namespace platform::display
