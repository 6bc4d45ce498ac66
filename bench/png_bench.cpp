// The skin's PNG decoder beside libpng on the same images (compare the two rows of a size:
// their ratio is the decoder's cost against libpng's), and the time to load and draw a
// full-screen nine-part background from a PNG beside a skin.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <cstdlib>
#include "skin/picture_ref.h"
#include "skin/png_decoder.h"
#include "tests/skin/png_fixture.h"

namespace {

png_fixture::Bytes bench_image(std::uint32_t side, int colour_type) {
    png_fixture::Image image;
    image.width = side;
    image.height = side;
    image.colour_type = colour_type;
    return png_fixture::write_with_libpng(image);
}

void png_decoder_own(benchmark::State& state) {
    png_fixture::Bytes file = bench_image(std::uint32_t(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        ZqRawPngDecoder decoder;
        decoder.decode(file.data(), file.size());
        benchmark::DoNotOptimize(decoder.get_image());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0) * state.range(0) * 4);
}

void png_decoder_libpng(benchmark::State& state) {
    png_fixture::Bytes file = bench_image(std::uint32_t(state.range(0)), int(state.range(1)));
    for (auto _ : state) benchmark::DoNotOptimize(png_fixture::read_with_libpng(file).pixels.data());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * state.range(0) * state.range(0) * 4);
}

// A 480 x 640 screen filled from a 64 x 64 frame picture (16-pixel borders, tiled middle):
// loading (read, decode, cache) and drawing, each pass from an empty cache.
void nine_part_background(benchmark::State& state) {
    std::filesystem::path device = std::filesystem::temp_directory_path() / "sonbrix-bench-png";
    std::filesystem::create_directories(device / "fs" / "skin");
    setenv("SONBRIX_DEVICE", device.c_str(), 1);
    png_fixture::Bytes frame = bench_image(64, 6);
    std::ofstream(device / "fs" / "skin" / "Background.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(frame.data()), std::streamsize(frame.size()));
    skinner::set_picture_loader(std::make_shared<skinner::PictureLoader>(
        [](const std::vector<std::uint8_t>&, int) { return std::optional<skinner::PixelImage>(); }, 32));
    skinner::PixelImage screen(480, 640);
    for (auto _ : state) {
        skinner::PictureRef background(u"\\skin\\Test.skin", u"Background", state.range(0) != 0);
        background.set_points({0, 0}, {16, 16}, {48, 48}, {64, 64});
        background.draw(screen, {0, 0}, {480, 640});
        benchmark::DoNotOptimize(screen.pixels.data());
    }
    skinner::set_picture_loader(nullptr);
    std::filesystem::remove_all(device);
}

}  // namespace

BENCHMARK(png_decoder_own)->ArgsProduct({{64, 480}, {2, 6}})->Unit(benchmark::kMicrosecond);
BENCHMARK(png_decoder_libpng)->ArgsProduct({{64, 480}, {2, 6}})->Unit(benchmark::kMicrosecond);
BENCHMARK(nine_part_background)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
