// A page down of a list of 100 and of 10,000 rows, from the scroll to the repainted frame.
// Only the visible rows are painted, so the two figures should stay alike; the counter
// `cells_painted` shows how many cells one page down painted.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/bench_device.h"
#include "foundation/application.h"
#include "platform/windows.h"
#include "skin/form.h"
#include "skin/grid.h"
#include "skin/properties.h"
#include "skin/properties_impl.h"
#include "tools/skin_compiler/skin_compiler.h"

namespace {

std::string grid_skin_source() {
    return "<skin compatibility=\"Sonbrix_500\"><screens><screen width=\"240\" height=\"320\"/></screens>"
           "<fonts><font description=\"14 1 0 0 Tahoma\"/></fonts>"
           "<form name=\"List\"><point name=\"Size\" x=\"240\" y=\"320\"/>"
           "<control name=\"list\"><point name=\"Position\" x=\"0\" y=\"0\"/><point name=\"Size\" x=\"240\" y=\"320\"/>"
           "<integer name=\"ItemHeight\" value=\"20\"/><integer name=\"ScrollWidth\" value=\"12\"/>"
           "<string name=\"KindScroll\" value=\"VBar\"/></control></form>"
           "<kind name=\"VBar\"><integer name=\"Vertical\" value=\"1\"/><integer name=\"MinButtonSize\" value=\"12\"/>"
           "<integer name=\"MaxButtonSize\" value=\"12\"/></kind></skin>";
}

struct GridBenchSkin {
    bench::BenchDevice device;
    std::unique_ptr<skinner::Properties> properties;

    GridBenchSkin() {
        std::filesystem::path const folder = std::filesystem::path(std::getenv("SONBRIX_DEVICE")) / "fs/skins/List";
        std::filesystem::create_directories(folder);
        skin_compiler::SkinSource source;
        skin_compiler::Diagnostics diagnostics;
        auto image = skin_compiler::compile_skin(grid_skin_source(), folder, source, diagnostics);
        for (auto const& error : diagnostics.errors) std::fprintf(stderr, "list skin, line %d: %s\n", error.line, error.message.c_str());
        properties = std::make_unique<skinner::Properties>(std::make_unique<skinner::PropertiesImpl>(
            std::move(image), u"\\skins\\List\\List.skin", skinner::Size{240, 320}));
    }
};

GridBenchSkin& grid_bench_skin() {
    static GridBenchSkin skin;
    return skin;
}

// Three columns of filled cells.
class BenchList : public skinner::ControlGrid, public skinner::GridSelectionStrategySingleRow {
public:
    BenchList(skinner::Container* container, int rows) : skinner::ControlGrid(container, u"list"), rows_(rows) {}
    int get_row_count() override { return rows_; }
    int get_column_count() override { return 3; }
    int get_column_width(int column) override { return column == 0 ? 40 : -1; }
    void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                    bool selected, bool) override {
        ++cells_painted;
        COLORREF const colour = selected ? RGB(0, 0, 128) : RGB(40 * column, (row * 7) & 0xFF, 200);
        canvas.fill_rect(POINT{position.x, position.y}, POINT{size.width, size.height}, colour);
    }
    long long cells_painted = 0;

private:
    int rows_;
};

void BM_GridPageDownRepaint(benchmark::State& state) {
    GridBenchSkin& skin = grid_bench_skin();
    os::Application application{nullptr, u"GridBench"};
    skinner::Form form{nullptr, skin.properties.get(), u"List", nullptr};
    BenchList list(&form, static_cast<int>(state.range(0)));
    list.refresh();
    HWND const window = form.get_window();
    UpdateWindow(window);
    long long pages = 0;
    list.cells_painted = 0;
    for (auto _ : state) {
        int const page = list.get_page_rows();
        int next = list.get_top_row() + page;
        if (next + page > list.get_row_count()) next = 0;
        list.set_top_row(next);
        UpdateWindow(window);
        ++pages;
    }
    state.counters["cells_painted"] = pages ? static_cast<double>(list.cells_painted) / pages : 0;
}
BENCHMARK(BM_GridPageDownRepaint)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
