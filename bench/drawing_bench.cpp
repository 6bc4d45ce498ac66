// Drawing next to the bare work it stands on: 1,000 short texts against FreeType's own
// rendering of their glyphs, and a whole 480 x 640 screen blitted against a memcpy of it.
// Each benchmark reports `ratio`: our time over the bare work's (1 = as fast).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdi_testing.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int screen_width = 480;
constexpr int screen_height = 640;

struct Surface {
    Surface() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = screen_width;
        info.bmiHeader.biHeight = -screen_height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous = SelectObject(dc, bitmap);
    }
    ~Surface() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    void* bits = nullptr;
};

std::vector<std::u16string> short_texts() {
    std::u16string const words[] = {u"Play", u"Record", u"Stop", u"00:01:23", u"Bookmarks", u"Settings",
                                    u"My Documents", u"recording 12.wav", u"Equalizer", u"Volume 80%"};
    std::vector<std::u16string> texts;
    for (int i = 0; i < 1000; ++i) texts.push_back(words[i % 10]);
    return texts;
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void ShortTextsAgainstFreeType(benchmark::State& state) {
    LOGFONTW description{};
    description.lfHeight = -16;
    description.lfWeight = FW_NORMAL;
    std::memcpy(description.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
    HFONT font = CreateFontIndirectW(&description);
    if (font == nullptr) {
        state.SkipWithError("no face for Tahoma");
        return;
    }
    Surface surface;
    HGDIOBJ previous_font = SelectObject(surface.dc, font);
    SetBkMode(surface.dc, TRANSPARENT);
    platform::FreeTypeText freetype(font);
    std::vector<std::u16string> const texts = short_texts();
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            int const top = static_cast<int>(i % 30) * 20;
            RECT rect{0, top, screen_width, top + 20};
            DrawTextW(surface.dc, texts[i].c_str(), -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_CENTER);
        }
        ours += seconds_since(start);
        start = Clock::now();
        for (auto const& text : texts) benchmark::DoNotOptimize(freetype.render(text));
        theirs += seconds_since(start);
    }
    state.counters["ratio"] = ours / theirs;
    state.counters["ours_ms"] = 1000 * ours / static_cast<double>(state.iterations());
    state.counters["freetype_ms"] = 1000 * theirs / static_cast<double>(state.iterations());
    SelectObject(surface.dc, previous_font);
    DeleteObject(font);
}
BENCHMARK(ShortTextsAgainstFreeType)->Unit(benchmark::kMillisecond)->UseRealTime();

void ScreenBlitAgainstMemcpy(benchmark::State& state) {
    Surface source;
    Surface destination;
    std::size_t const bytes = static_cast<std::size_t>(screen_width) * screen_height * 4;
    std::memset(source.bits, 0x5A, bytes);
    std::vector<std::uint8_t> copy(bytes);
    double ours = 0;
    double theirs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        BitBlt(destination.dc, 0, 0, screen_width, screen_height, source.dc, 0, 0, SRCCOPY);
        ours += seconds_since(start);
        start = Clock::now();
        std::memcpy(copy.data(), source.bits, bytes);
        benchmark::ClobberMemory();
        theirs += seconds_since(start);
    }
    state.counters["ratio"] = ours / theirs;
    state.counters["ours_us"] = 1e6 * ours / static_cast<double>(state.iterations());
    state.counters["memcpy_us"] = 1e6 * theirs / static_cast<double>(state.iterations());
}
BENCHMARK(ScreenBlitAgainstMemcpy)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
