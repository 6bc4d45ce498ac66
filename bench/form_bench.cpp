// Forms on the headless screen: a form of 50 skinned buttons from its construction to its
// first painted frame, and a full repaint of a 480 x 640 form. Each benchmark also does the
// same work without the skin (a plain window whose paint fills the same rectangles) and
// reports `ratio_to_bare`: the form's time over the bare time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_device.h"
#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "skin/button.h"
#include "skin/form.h"
#include "skin/properties.h"
#include "tests/skin/png_fixture.h"
#include "tools/skin_compiler/skin_compiler.h"

namespace {

constexpr int control_count = 50;
using Clock = std::chrono::steady_clock;

RECT button_rect(int index) {
    int const x = 8 + (index % 5) * 94;
    int const y = 8 + (index / 5) * 62;
    return {x, y, x + 88, y + 56};
}

std::string skin_source() {
    std::string form = "<form name=\"Bench\"><point name=\"Size\" x=\"480\" y=\"640\"/>"
                       "<picture name=\"Background\" image=\"back\" outer=\"0 0 32 32\" inner=\"8 8 24 24\" stretch=\"1\"/>";
    for (int index = 0; index < control_count; ++index) {
        RECT const r = button_rect(index);
        form += "<control name=\"btn" + std::to_string(index) + "\"><point name=\"Position\" x=\"" +
                std::to_string(r.left) + "\" y=\"" + std::to_string(r.top) + "\"/><point name=\"Size\" x=\"88\" y=\"56\"/>"
                "<picture name=\"Normal\" image=\"button\" outer=\"0 0 32 32\" inner=\"6 6 26 26\" stretch=\"1\"/>"
                "<font name=\"Normal\" description=\"14 1 0 0 Tahoma\"/><color name=\"Normal\" value=\"#FFFFFF\"/>"
                "<string name=\"Text\" value=\"Button " + std::to_string(index) + "\"/></control>";
    }
    return "<skin compatibility=\"Sonbrix_500\"><screens><screen width=\"480\" height=\"640\"/></screens>"
           "<pictures><picture name=\"back\"/><picture name=\"button\"/></pictures>"
           "<fonts><font description=\"14 1 0 0 Tahoma\"/></fonts>" + form + "</form></skin>";
}

// The device, its skin folder and the compiled skin, made once for every benchmark here.
struct BenchSkin {
    bench::BenchDevice device;
    std::unique_ptr<skinner::Properties> properties;

    BenchSkin() {
        std::filesystem::path const folder = std::filesystem::path(std::getenv("SONBRIX_DEVICE")) / "fs/skins/Bench";
        std::filesystem::create_directories(folder);
        png_fixture::Image image;
        image.width = image.height = 32;
        for (const char* name : {"back.png", "button.png"}) {
            png_fixture::Bytes const bytes = png_fixture::write_with_libpng(image);
            std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                  static_cast<std::streamsize>(bytes.size()));
        }
        skin_compiler::SkinSource source;
        skin_compiler::Diagnostics diagnostics;
        auto image_bytes = skin_compiler::compile_skin(skin_source(), folder, source, diagnostics);
        for (auto const& error : diagnostics.errors) std::fprintf(stderr, "bench skin, line %d: %s\n", error.line, error.message.c_str());
        properties = std::make_unique<skinner::Properties>(std::make_unique<skinner::PropertiesImpl>(
            std::move(image_bytes), u"\\skins\\Bench\\Bench.skin", skinner::Size{480, 640}));
    }
};

BenchSkin& bench_skin() {
    static BenchSkin skin;
    return skin;
}

// The form with its 50 buttons, as a screen builds it.
struct BenchForm {
    skinner::Form form{nullptr, bench_skin().properties.get(), u"Bench", nullptr};
    std::vector<std::unique_ptr<skinner::ControlButton>> buttons;
    BenchForm() {
        for (int index = 0; index < control_count; ++index) {
            std::string const name = "btn" + std::to_string(index);
            buttons.push_back(std::make_unique<skinner::ControlButton>(&form, std::u16string(name.begin(), name.end())));
        }
    }
};


// The same rectangles filled by a plain window: the background, then every button.
LRESULT bare_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_PAINT) return DefWindowProcW(window, message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(window, &paint);
    RECT const whole{0, 0, 480, 640};
    FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    for (int index = 0; index < control_count; ++index) {
        RECT const r = button_rect(index);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(index % 2 ? WHITE_BRUSH : BLACK_BRUSH)));
    }
    EndPaint(window, &paint);
    return 0;
}

HWND make_bare_window() {
    static bool const registered = [] {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = bare_procedure;
        window_class.lpszClassName = u"BenchBareForm";
        return RegisterClassW(&window_class) != 0;
    }();
    (void)registered;
    return CreateWindowExW(0, u"BenchBareForm", u"", WS_VISIBLE, 0, 0, 480, 640, nullptr, nullptr, nullptr, nullptr);
}

void drain_messages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void report_ratio(benchmark::State& state, double form_seconds, double bare_seconds) {
    state.counters["ratio_to_bare"] = bare_seconds > 0 ? form_seconds / bare_seconds : 0;
}

void BM_FormColdStartToFirstFrame(benchmark::State& state) {
    bench_skin();
    double form_seconds = 0, bare_seconds = 0;
    for (auto _ : state) {
        auto const start = Clock::now();
        {
            BenchForm bench_form;
            UpdateWindow(bench_form.form.get_window());
            form_seconds += seconds_since(start);
            state.PauseTiming();
        }
        auto const bare_start = Clock::now();
        HWND const bare = make_bare_window();
        UpdateWindow(bare);
        bare_seconds += seconds_since(bare_start);
        DestroyWindow(bare);
        drain_messages();
        state.ResumeTiming();
    }
    report_ratio(state, form_seconds, bare_seconds);
}
BENCHMARK(BM_FormColdStartToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_FormFullRepaint(benchmark::State& state) {
    bench_skin();
    BenchForm bench_form;
    HWND const form_window = bench_form.form.get_window();
    HWND const bare = make_bare_window();
    UpdateWindow(form_window);
    UpdateWindow(bare);
    double form_seconds = 0, bare_seconds = 0;
    for (auto _ : state) {
        auto const start = Clock::now();
        bench_form.form.invalidate_rect({0, 0}, bench_form.form.get_size());
        UpdateWindow(form_window);
        form_seconds += seconds_since(start);
        state.PauseTiming();
        auto const bare_start = Clock::now();
        InvalidateRect(bare, nullptr, FALSE);
        UpdateWindow(bare);
        bare_seconds += seconds_since(bare_start);
        drain_messages();
        state.ResumeTiming();
    }
    report_ratio(state, form_seconds, bare_seconds);
    DestroyWindow(bare);
}
BENCHMARK(BM_FormFullRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
