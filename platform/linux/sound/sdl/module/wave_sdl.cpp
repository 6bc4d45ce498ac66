// The host's sound devices through SDL2, which converts rate, channels and sample size to
// what the hardware takes. Output is queued a little ahead of the ear; input is taken as
// SDL captures it. Built as a module of its own that the sdl driver opens when a process
// first opens a sound device, so that no other process loads SDL.
#include "platform/linux/sound/wave_backend.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::detail {

namespace {

extern "C" void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}

// When no card is there, ALSA prints its own lines for every device SDL tries; the one line
// the back ends print when they fall back to silence says it all. SDL loads ALSA by name,
// so the library loaded here is the one it uses.
void quieten_alsa() {
    void* const alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!alsa) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto const set_handler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set_handler) set_handler(&ignore_alsa_error);
}

bool audio_started() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        quieten_alsa();
        started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    });
    return started;
}

SDL_AudioDeviceID open_device(const WaveFormat& format, bool capture) {
    if (!audio_started()) return 0;
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.rate);
    wanted.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = 1024;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts between this format and the hardware's.
    return SDL_OpenAudioDevice(nullptr, capture ? 1 : 0, &wanted, &obtained, 0);
}

void pause_for_a_moment() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

class SdlOutput : public WaveOutput {
public:
    SdlOutput(const WaveFormat& format, SDL_AudioDeviceID device) : format_(format), device_(device) {
        SDL_PauseAudioDevice(device_, 0);
    }
    ~SdlOutput() override { SDL_CloseAudioDevice(device_); }

    void play(const std::uint8_t* bytes, std::uint32_t size) override {
        std::vector<std::uint8_t> scaled(bytes, bytes + size);
        apply_volume(scaled);
        SDL_QueueAudio(device_, scaled.data(), size);
        // Keep about 100 ms queued ahead.
        std::uint32_t const ahead = format_.rate / 10 * format_.frame_bytes();
        while (SDL_GetQueuedAudioSize(device_) > ahead && !paused_.load()) pause_for_a_moment();
    }
    void pause() override {
        paused_ = true;
        SDL_PauseAudioDevice(device_, 1);
    }
    void restart() override {
        paused_ = false;
        SDL_PauseAudioDevice(device_, 0);
    }
    void discard() override { SDL_ClearQueuedAudio(device_); }
    void set_volume(DWORD volume) override { volume_ = volume; }
    void finish() override {
        // The last piece is heard before the device goes.
        for (int i = 0; i < 100 && !paused_.load() && SDL_GetQueuedAudioSize(device_) > 0; ++i) pause_for_a_moment();
    }

private:
    void apply_volume(std::vector<std::uint8_t>& bytes) const {
        DWORD const volume = volume_.load();
        if (volume == 0xFFFFFFFFu) return;
        std::uint32_t const gains[2] = {volume & 0xFFFF, volume >> 16};
        std::uint32_t const sample_bytes = format_.bits / 8;
        for (std::size_t at = 0, index = 0; at + sample_bytes <= bytes.size(); at += sample_bytes, ++index) {
            std::uint32_t const gain = gains[format_.channels == 2 ? index % 2 : 0];
            if (sample_bytes == 1) {
                bytes[at] = static_cast<std::uint8_t>((bytes[at] - 128) * static_cast<int>(gain) / 65535 + 128);
            } else {
                int const value = static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8) * static_cast<int>(gain) / 65535;
                bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
                bytes[at + 1] = static_cast<std::uint8_t>(value >> 8 & 0xFF);
            }
        }
    }

    WaveFormat format_;
    SDL_AudioDeviceID device_;
    std::atomic<bool> paused_{false};
    std::atomic<DWORD> volume_{0xFFFFFFFFu};
};

class SdlInput : public WaveInput {
public:
    SdlInput(const WaveFormat& format, SDL_AudioDeviceID device) : format_(format), device_(device) {}
    ~SdlInput() override { SDL_CloseAudioDevice(device_); }

    void start() override { SDL_PauseAudioDevice(device_, 0); }
    void stop() override { SDL_PauseAudioDevice(device_, 1); }
    std::uint32_t capture(std::uint8_t* bytes, std::uint32_t size) override {
        std::uint32_t const wanted = size / format_.frame_bytes() * format_.frame_bytes();
        std::uint32_t const got = SDL_DequeueAudio(device_, bytes, wanted);
        if (got == 0) pause_for_a_moment();
        return got / format_.frame_bytes() * format_.frame_bytes();
    }

private:
    WaveFormat format_;
    SDL_AudioDeviceID device_;
};

std::unique_ptr<WaveOutput> open_output(const WaveFormat& format, MMRESULT&) {
    SDL_AudioDeviceID const device = open_device(format, false);
    return device ? std::make_unique<SdlOutput>(format, device) : nullptr;
}

std::unique_ptr<WaveInput> open_input(const WaveFormat& format, MMRESULT&) {
    SDL_AudioDeviceID const device = open_device(format, true);
    return device ? std::make_unique<SdlInput>(format, device) : nullptr;
}

const WaveDriver sdl_module_driver{"sdl", false, open_output, open_input};

}  // namespace

}  // namespace platform::detail

extern "C" const platform::detail::WaveDriver* sonbrix_sdl_wave_driver() { return &platform::detail::sdl_module_driver; }
