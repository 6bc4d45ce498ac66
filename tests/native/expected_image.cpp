#include "tests/native/expected_image.h"

#include <png.h>

#include <cstdlib>
#include <filesystem>

namespace date_controls {
namespace {

// A channel may differ by this much (anti-aliasing), and this share of pixels by more.
constexpr int channel_tolerance = 24;
constexpr double differing_share = 0.002;

std::string expected_path(const std::string& name) { return std::string(SONBRIX_EXPECTED_IMAGES) + "/" + name + ".png"; }

bool read_png(const std::string& path, platform::screen::ScreenPicture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_BGRA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    return png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr) != 0;
}

bool write_png(const std::string& path, const platform::screen::ScreenPicture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&image, path.c_str(), 0, picture.pixels.data(), 0, nullptr) != 0;
}

bool close(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > channel_tolerance) return false;
    }
    return true;
}

}  // namespace

std::string compare_with_expected(const platform::screen::ScreenPicture& picture, const std::string& name) {
    std::string const path = expected_path(name);
    char const* const update = std::getenv("SONBRIX_UPDATE_EXPECTED_IMAGES");
    if (update && std::string(update) == "1") {
        return write_png(path, picture) ? std::string() : "cannot write " + path;
    }
    platform::screen::ScreenPicture expected;
    if (!read_png(path, expected)) return "no expected image " + path + " (SONBRIX_UPDATE_EXPECTED_IMAGES=1 makes it)";
    if (expected.width != picture.width || expected.height != picture.height) return "the size differs from " + path;
    std::size_t differing = 0;
    std::size_t first = picture.pixels.size();
    for (std::size_t index = 0; index < picture.pixels.size(); ++index) {
        if (close(expected.pixels[index], picture.pixels[index])) continue;
        if (differing++ == 0) first = index;
    }
    if (differing <= static_cast<std::size_t>(differing_share * static_cast<double>(picture.pixels.size()))) return {};
    // Kept beside the build for a look at what changed.
    std::string const actual = std::filesystem::temp_directory_path().string() + "/" + name + "-actual.png";
    write_png(actual, picture);
    return std::to_string(differing) + " pixels differ from " + path + ", the first at (" +
           std::to_string(first % static_cast<std::size_t>(picture.width)) + ", " +
           std::to_string(first / static_cast<std::size_t>(picture.width)) + "); the screenshot is " + actual;
}

}  // namespace date_controls
