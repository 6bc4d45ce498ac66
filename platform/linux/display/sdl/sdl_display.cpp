// The sdl driver's place in the table of display drivers. The driver itself lives in a
// module of its own (module/), opened only by the screen server and only when this driver is
// chosen; without SDL at build time or without the module, the driver fails to start and
// the screen falls back to headless.
#include <string>

#include "platform/linux/display/display_driver.h"
#include "platform/linux/kernel/back_end_module.h"

namespace platform::display {
namespace {

std::unique_ptr<DisplayDriver> create_sdl(const ScreenMode& mode, int zoom, std::string& error) {
#ifdef SONBRIX_SDL_DISPLAY_MODULE
    using Create = DisplayDriver*(const ScreenMode&, int, std::string&);
    auto* const create =
        platform::detail::find_back_end_function<Create>(SONBRIX_SDL_DISPLAY_MODULE, "sonbrix_sdl_display_create", error);
    if (!create) return nullptr;
    return std::unique_ptr<DisplayDriver>(create(mode, zoom, error));
#else
    (void)mode;
    (void)zoom;
    error = "built without SDL2";
    return nullptr;
#endif
}

}  // namespace

extern const DisplayBootstrap sdl_bootstrap;
const DisplayBootstrap sdl_bootstrap = {"sdl", "a desktop window through SDL2", create_sdl};

}  // namespace platform::display
