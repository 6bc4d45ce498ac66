// The sdl driver's place in the table of sound drivers. Its devices live in a module of their
// own (module/), opened the first time a process opens a device through it; when SDL is not
// built in or the module cannot be loaded, the driver has no device and the model falls back
// to the null device.
#include <string>

#include "platform/linux/kernel/back_end_module.h"
#include "platform/linux/sound/wave_backend.h"

namespace platform::detail {

namespace {

WaveDriver const* module_driver() {
#ifdef SONBRIX_SDL_SOUND_MODULE
    std::string error;
    auto* const entry =
        find_back_end_function<WaveDriver const*()>(SONBRIX_SDL_SOUND_MODULE, "sonbrix_sdl_wave_driver", error);
    if (!entry) {
        note_null_device_once("the SDL sound module could not be loaded: " + error);
        return nullptr;
    }
    return entry();
#else
    return nullptr;
#endif
}

std::unique_ptr<WaveOutput> open_output(const WaveFormat& format, MMRESULT& error) {
    WaveDriver const* const driver = module_driver();
    return driver ? driver->open_output(format, error) : nullptr;
}

std::unique_ptr<WaveInput> open_input(const WaveFormat& format, MMRESULT& error) {
    WaveDriver const* const driver = module_driver();
    return driver ? driver->open_input(format, error) : nullptr;
}

}  // namespace

const WaveDriver sdl_wave_driver{"sdl", false, open_output, open_input};

}  // namespace platform::detail
