#include "tests/skin/picture_fixture.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <filesystem>

#include "skin/picture.h"
#include "tests/skin/png_fixture.h"

namespace picture_fixture {

namespace {

void append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), std::size_t(size));
}

std::vector<std::uint8_t> rgb_of(const skinner::PixelImage& image, int channels) {
    std::vector<std::uint8_t> out;
    for (std::uint32_t p : image.pixels) {
        out.insert(out.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
        if (channels == 4) out.push_back(std::uint8_t(p >> 24));
    }
    return out;
}

std::optional<skinner::PixelImage> decode_with_stb(const std::vector<std::uint8_t>& bytes, int) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* rgba = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 4);
    if (rgba == nullptr) return std::nullopt;
    skinner::PixelImage image(width, height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = std::uint32_t(rgba[4 * i + 2]) | std::uint32_t(rgba[4 * i + 1]) << 8 |
                          std::uint32_t(rgba[4 * i]) << 16;
    stbi_image_free(rgba);
    return image;
}

}  // namespace

std::string bmp_of(const skinner::PixelImage& image) {
    std::string out;
    stbi_write_bmp_to_func(append, &out, image.width, image.height, 3, rgb_of(image, 3).data());
    return out;
}

std::string jpeg_of(const skinner::PixelImage& image) {
    std::string out;
    stbi_write_jpg_to_func(append, &out, image.width, image.height, 3, rgb_of(image, 3).data(), 100);
    return out;
}

std::string png_of(const skinner::PixelImage& image) {
    png_fixture::Image header;
    header.width = std::uint32_t(image.width);
    header.height = std::uint32_t(image.height);
    std::vector<png_fixture::Bytes> rows;
    std::vector<std::uint8_t> rgba = rgb_of(image, 4);
    for (int y = 0; y < image.height; ++y)
        rows.emplace_back(rgba.begin() + std::ptrdiff_t(y) * image.width * 4,
                          rgba.begin() + std::ptrdiff_t(y + 1) * image.width * 4);
    png_fixture::Bytes file = png_fixture::write_with_libpng(header, rows);
    return std::string(file.begin(), file.end());
}

void write_skin(const testing_support::TestDevice& device, std::vector<testing_support::ZipEntry> entries,
                const std::vector<std::pair<std::string, std::string>>& files) {
    std::filesystem::create_directories(device.host_path("skins/Test"));
    entries.insert(entries.begin(), testing_support::ZipEntry("skin", "not read here"));
    testing_support::write_host_file(device.host_path("skins/Test/Test.skin"), testing_support::make_zip(entries));
    for (const auto& [name, bytes] : files) testing_support::write_host_file(device.host_path("skins/Test/" + name), bytes);
}

void use_stb_loader(bool platform_rejects_all) {
    skinner::PlatformDecoder decoder = decode_with_stb;
    if (platform_rejects_all) decoder = [](const std::vector<std::uint8_t>&, int) { return std::optional<skinner::PixelImage>(); };
    skinner::set_picture_loader(std::make_shared<skinner::PictureLoader>(decoder, 32));
}

}  // namespace picture_fixture
