// The skin reader: loading the project's largest skin (image read from memory, checked
// whole, scale chosen) and the cost of one property lookup, with the comparisons that the
// reader counts per lookup. The skins are the .skin files the build made under data/skins;
// while the project has none, a skin of 40 forms with 30 controls of 12 properties each is
// compiled for the run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "skin/properties.h"
#include "skin/skin_work_area.h"
#include "tools/skin_compiler/skin_compiler.h"
#include "tools/skin_compiler/skin_package.h"
#include "tools/skin_compiler/stored_zip.h"

namespace {

std::string control_source(int index) {
    std::string name = "ctl" + std::to_string(index);
    std::string text = "<control name=\"" + name + "\">";
    for (const char* property : {"Left", "Top", "Width", "Height", "ZOrder", "TabOrder", "WantFocus", "Visible"}) {
        text += std::string("<integer name=\"") + property + "\" value=\"" + std::to_string(index) + "\"/>";
    }
    text += "<point name=\"Position\" x=\"1\" y=\"2\"/><point name=\"Size\" x=\"3\" y=\"4\"/>";
    text += "<string name=\"Text\" value=\"TEXT_" + name + "\"/><color name=\"TextColor\" value=\"#102030\"/>";
    return text + "</control>";
}

std::vector<std::uint8_t> synthetic_skin() {
    std::string xml = "<skin compatibility=\"Sonbrix_500\" devices=\"P\"><screens><screen width=\"240\" height=\"320\"/></screens>";
    for (int form = 0; form < 40; ++form) {
        xml += "<form name=\"Form" + std::to_string(form) + "\"><point name=\"Size\" x=\"240\" y=\"268\"/>";
        for (int control = 0; control < 30; ++control) xml += control_source(control);
        xml += "</form>";
    }
    xml += "</skin>";
    skin_compiler::SkinSource source;
    skin_compiler::Diagnostics diagnostics;
    return skin_compiler::compile_skin(xml, ".", source, diagnostics);
}

// The image of the largest skin the build made, else the synthetic one.
const std::vector<std::uint8_t>& largest_skin() {
    static const std::vector<std::uint8_t> image = [] {
        std::filesystem::path largest;
        std::error_code error;
        for (auto const& entry : std::filesystem::recursive_directory_iterator(SONBRIX_BENCH_SKINS, error)) {
            if (entry.path().extension() != ".skin") continue;
            if (largest.empty() || entry.file_size() > std::filesystem::file_size(largest)) largest = entry.path();
        }
        std::vector<std::uint8_t> bytes;
        if (!largest.empty() && skin_compiler::read_whole_file(largest, bytes)) return skin_compiler::skin_image_of_file(bytes);
        return synthetic_skin();
    }();
    return image;
}

// The reader alone: the skin's pictures are not decoded here.
std::unique_ptr<skinner::SkinResources> names_only() {
    return std::make_unique<skinner::SkinResourceNames>();
}

// The names of the first form of the image and of the controls in it.
struct Names {
    std::u16string form;
    std::u16string other_form;
    std::vector<std::u16string> controls;
};

Names names_of(skinner::Properties& properties) {
    Names names;
    skinner::SkinImage const& image = properties.get_skin().get_image();
    std::uint32_t root = image.form_root();
    names.form = image.name(root);
    std::uint32_t other = image.left(root) != 0 ? image.left(root) : image.right(root);
    names.other_form = other != 0 ? image.name(other) : names.form;
    std::vector<std::uint32_t> pending{image.child_tree(properties.get_skin().select_form(names.form))};
    while (!pending.empty()) {
        std::uint32_t node = pending.back();
        pending.pop_back();
        if (node == 0) continue;
        names.controls.push_back(image.name(node));
        pending.push_back(image.left(node));
        pending.push_back(image.right(node));
    }
    return names;
}

void BM_SkinLoad(benchmark::State& state) {
    std::vector<std::uint8_t> const& image = largest_skin();
    for (auto _ : state) {
        skinner::PropertiesImpl skin(image, u"\\bench\\largest.skin", {240, 320}, names_only());
        benchmark::DoNotOptimize(skin.is_valid());
    }
    state.counters["image_bytes"] = static_cast<double>(image.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_SkinLoad);

// Lookups of every control of one form, as a form does when it is built or refreshed.
void BM_SkinLookupInOneForm(benchmark::State& state) {
    skinner::Properties properties(std::make_unique<skinner::PropertiesImpl>(largest_skin(), u"\\bench\\largest.skin",
                                                                             skinner::Size{240, 320}, names_only()));
    Names names = names_of(properties);
    skinner::PropertiesImpl& skin = properties.get_skin();
    skin.compare_counter = skin.property_counter = 0;
    for (auto _ : state) {
        for (std::u16string const& control : names.controls) {
            benchmark::DoNotOptimize(properties.get_integer(names.form, control, u"ZOrder", 0));
            benchmark::DoNotOptimize(properties.get_point(names.form, control, u"Size", {}));
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(skin.property_counter));
    state.counters["compares_per_lookup"] = static_cast<double>(skin.compare_counter) / skin.property_counter;
}
BENCHMARK(BM_SkinLookupInOneForm);

// Lookups that alternate between two forms: a form choice each time.
void BM_SkinLookupAcrossForms(benchmark::State& state) {
    skinner::Properties properties(std::make_unique<skinner::PropertiesImpl>(largest_skin(), u"\\bench\\largest.skin",
                                                                             skinner::Size{240, 320}, names_only()));
    Names names = names_of(properties);
    skinner::PropertiesImpl& skin = properties.get_skin();
    skin.compare_counter = skin.property_counter = 0;
    std::u16string const control = names.controls.front();
    for (auto _ : state) {
        benchmark::DoNotOptimize(properties.get_integer(names.form, control, u"ZOrder", 0));
        benchmark::DoNotOptimize(properties.get_integer(names.other_form, control, u"ZOrder", 0));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(skin.property_counter));
    state.counters["compares_per_lookup"] = static_cast<double>(skin.compare_counter) / skin.property_counter;
}
BENCHMARK(BM_SkinLookupAcrossForms);

}  // namespace
