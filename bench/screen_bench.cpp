// The device's screen: composing and presenting a whole 480 x 640 screen next to a bare
// memcpy of its bytes (counter `ratio`, our time over memcpy's), and the time from a tap on
// the headless screen to the composed frame that shows the window's answer to it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_device.h"
#include "platform/linux/display/display_driver.h"
#include "platform/linux/screen/compositor.h"
#include "platform/linux/screen/screen_client.h"
#include "platform/linux/screen/screen_control.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace platform::screen;

constexpr int screen_width = 480;
constexpr int screen_height = 640;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void ScreenComposeAgainstMemcpy(benchmark::State& state) {
    Compositor compositor(screen_width, screen_height);
    MemoryPixels window(screen_width, screen_height, 0x336699);
    std::vector<Layer> const layers{{&window, {0, 0, screen_width, screen_height}}};
    std::unique_ptr<platform::display::DisplayDriver> display;
    std::string error;
    for (auto const* entry : platform::display::display_bootstraps()) {
        if (std::string_view(entry->name) == "headless") display = entry->create({screen_width, screen_height, 192}, 1, error);
    }
    std::size_t const bytes = static_cast<std::size_t>(screen_width) * screen_height * 4;
    std::vector<std::uint8_t> copy(bytes);
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        compositor.damage_all();
        auto const damage = compositor.compose(layers);
        display->present(compositor.frame(), damage);
        ours += seconds_since(start);
        start = Clock::now();
        std::memcpy(copy.data(), window.pixels(), bytes);
        benchmark::ClobberMemory();
        theirs += seconds_since(start);
    }
    state.counters["ratio"] = ours / theirs;
    state.counters["ours_us"] = 1e6 * ours / static_cast<double>(state.iterations());
    state.counters["memcpy_us"] = 1e6 * theirs / static_cast<double>(state.iterations());
}
BENCHMARK(ScreenComposeAgainstMemcpy)->Unit(benchmark::kMicrosecond)->UseRealTime();

void ScreenTapToComposedFrame(benchmark::State& state) {
    bench::BenchDevice device;
    ScreenClient client;
    SurfaceSettings settings;
    settings.rect = {0, 0, screen_width, screen_height};
    settings.visible = true;
    HWND const window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x100));
    auto* surface = client.create_surface(window, settings);
    ScreenControl control;
    if (!surface || !control.connect()) {
        state.SkipWithError("the screen does not answer");
        return;
    }
    // The window answers a tap by painting a square under the stylus and presenting it.
    client.set_event_handler([&](const ScreenEvent& event) {
        if (event.kind != ScreenEventKind::stylus_down) return;
        for (int y = event.point.y; y < event.point.y + 16; ++y) {
            for (int x = event.point.x; x < event.point.x + 16; ++x) surface->pixels()[y * surface->stride() + x] ^= 0xFFFFFF;
        }
        client.present(window, {RECT{event.point.x, event.point.y, event.point.x + 16, event.point.y + 16}});
    });
    control.wait_idle(10000);
    int tap = 0;
    for (auto _ : state) {
        int const x = 16 + (tap * 37) % 400;
        int const y = 16 + (tap * 53) % 560;
        ++tap;
        control.stylus(1, x, y);
        control.wait_idle(10000);
        state.PauseTiming();
        control.stylus(3, x, y);
        control.wait_idle(10000);
        state.ResumeTiming();
    }
    client.set_event_handler(nullptr);
}
BENCHMARK(ScreenTapToComposedFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
