// Input to paint through the whole window layer on the headless screen: a tap becomes
// WM_LBUTTONDOWN at a window on its own thread, which invalidates a square under the
// stylus; WM_PAINT fills it, EndPaint presents it, and the time ends when the screen has
// composed it (the screen's wait for idle waits for all of that).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/gdi.h"
#include "platform/linux/screen/screen_control.h"
#include "platform/messages.h"
#include "platform/windows.h"

namespace {

constexpr int square = 16;
std::atomic<int> paints{0};

LRESULT tapped_window(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_LBUTTONDOWN: {
        int const x = static_cast<short>(lparam & 0xFFFF);
        int const y = static_cast<short>((lparam >> 16) & 0xFFFF);
        RECT const rect{x, y, x + square, y + square};
        InvalidateRect(window, &rect, FALSE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC const dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(paints++ % 2 ? WHITE_BRUSH : BLACK_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

class BenchDevice {
public:
    BenchDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sonbrix-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) folder_ = pattern;
        setenv("SONBRIX_DEVICE", folder_.c_str(), 1);
        setenv("SONBRIX_DISPLAY", "headless", 1);
        setenv("SONBRIX_DISPLAY_SIZE", "480x640", 1);
    }
    ~BenchDevice() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

private:
    std::string folder_;
};

void WindowTapToPresentedPaint(benchmark::State& state) {
    BenchDevice device;
    paints = 0;
    std::atomic<HWND> window{nullptr};
    std::thread owner([&] {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = tapped_window;
        window_class.lpszClassName = u"BenchTapped";
        RegisterClassW(&window_class);
        window = CreateWindowExW(0, u"BenchTapped", u"", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr, nullptr, nullptr);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    });
    platform::screen::ScreenControl control;
    while (!window) std::this_thread::yield();
    if (!control.connect() || !control.wait_idle(10000)) state.SkipWithError("the screen does not answer");
    // The process's link to the screen outlives a device; the first taps of a run on a new
    // device may still find it linked to the last one's screen, so taps are measured only
    // once one was painted.
    for (int attempt = 0; attempt < 100 && paints < 2; ++attempt) {
        control.tap(8, 8);
        control.wait_idle(10000);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    paints = 1;
    int tap = 1;
    int early = 0;
    for (auto _ : state) {
        int const x = 16 + (tap * 37) % 400;
        int const y = 16 + (tap * 53) % 560;
        ++tap;
        int const before = paints.load();  // a wait that ends before the paint counts as early
        control.stylus(1, x, y);
        control.wait_idle(10000);
        if (paints.load() == before) ++early;
        state.PauseTiming();
        control.stylus(3, x, y);
        control.wait_idle(10000);
        state.ResumeTiming();
    }
    state.counters["early"] = early;
    state.counters["paints_per_tap"] = static_cast<double>(paints.load() - 1) / static_cast<double>(tap - 1);
    PostMessageW(window, WM_CLOSE, 0, 0);
    owner.join();
}
BENCHMARK(WindowTapToPresentedPaint)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
