#include "platform/linux/resources/resource_pictures.h"

#include <stb/stb_image.h>

#include <cstring>
#include <filesystem>

#include "platform/linux/resources/resource_index.h"

namespace platform::resources {
namespace {

constexpr std::size_t largest_file = 4 * 1024 * 1024;
constexpr int largest_side = 4096;

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

std::optional<Decoded> decode_png(const std::string& path, bool required) {
    auto const bytes = read_resource_file(path, largest_file);
    if (!bytes) {
        if (required) report_resource_problem(path + " cannot be read");
        return std::nullopt;
    }
    static constexpr std::uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    int width = 0, height = 0, channels = 0;
    bool const is_png = bytes->size() >= sizeof signature && std::memcmp(bytes->data(), signature, sizeof signature) == 0;
    if (!is_png || !stbi_info_from_memory(bytes->data(), static_cast<int>(bytes->size()), &width, &height, &channels) ||
        width <= 0 || height <= 0 || width > largest_side || height > largest_side) {
        report_resource_problem(path + " is not a PNG picture of at most " + std::to_string(largest_side) + " pixels a side");
        return std::nullopt;
    }
    stbi_uc* const pixels = stbi_load_from_memory(bytes->data(), static_cast<int>(bytes->size()), &width, &height, &channels, 4);
    if (!pixels) {
        report_resource_problem(path + " is damaged: " + (stbi_failure_reason() ? stbi_failure_reason() : "unknown"));
        return std::nullopt;
    }
    Decoded decoded{width, height, std::vector<std::uint8_t>(pixels, pixels + static_cast<std::size_t>(width) * height * 4)};
    stbi_image_free(pixels);
    return decoded;
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}  // namespace

std::optional<Picture> load_picture(const std::string& stem) {
    auto const colour = decode_png(stem + ".png", true);
    if (!colour) return std::nullopt;
    std::optional<Decoded> alpha;
    if (std::string const companion = stem + "_8.png"; exists(companion)) {
        alpha = decode_png(companion, true);
        if (!alpha) return std::nullopt;
        if (alpha->width != colour->width || alpha->height != colour->height) {
            report_resource_problem(companion + " is not the size of " + stem + ".png");
            return std::nullopt;
        }
    }
    Picture picture{colour->width, colour->height, {}};
    std::size_t const count = static_cast<std::size_t>(picture.width) * picture.height;
    picture.pixels.resize(count);
    for (std::size_t index = 0; index < count; ++index) {
        std::uint8_t const* rgba = &colour->rgba[index * 4];
        std::uint32_t const a = alpha ? alpha->rgba[index * 4] : rgba[3];
        picture.pixels[index] = a << 24 | std::uint32_t(rgba[0]) << 16 | std::uint32_t(rgba[1]) << 8 | rgba[2];
    }
    return picture;
}

Picture scaled(const Picture& picture, int width, int height) {
    if (width == picture.width && height == picture.height) return picture;
    Picture result{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        int const from_y = static_cast<int>((2LL * y + 1) * picture.height / (2LL * height));
        for (int x = 0; x < width; ++x) {
            int const from_x = static_cast<int>((2LL * x + 1) * picture.width / (2LL * width));
            result.pixels[static_cast<std::size_t>(y) * width + x] = picture.pixels[static_cast<std::size_t>(from_y) * picture.width + from_x];
        }
    }
    return result;
}

HBITMAP bitmap_of(const Picture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP const bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return nullptr;
    std::memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(std::uint32_t));
    return bitmap;
}

std::optional<Picture> picture_of(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) != sizeof section || section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits)
        return std::nullopt;
    Picture picture{section.dsBm.bmWidth, section.dsBm.bmHeight, {}};
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    bool const bottom_up = section.dsBmih.biHeight > 0;
    auto const* bytes = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    for (int y = 0; y < picture.height; ++y) {
        int const row = bottom_up ? picture.height - 1 - y : y;
        std::memcpy(&picture.pixels[static_cast<std::size_t>(y) * picture.width], bytes + static_cast<std::size_t>(row) * section.dsBm.bmWidthBytes,
                    static_cast<std::size_t>(picture.width) * 4);
    }
    return picture;
}

}  // namespace platform::resources
