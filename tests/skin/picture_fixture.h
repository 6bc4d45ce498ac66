// A skin on the test device for the picture tests: the skin archive and the files beside it,
// with a platform decoder made of stb_image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/pixel_image.h"
#include "tests/support/test_device.h"
#include "tests/support/zip_writer.h"

namespace picture_fixture {

constexpr const char16_t* skin_path = u"\\skins\\Test\\Test.skin";

// A 24-bit bitmap file of the picture (alpha dropped).
std::string bmp_of(const skinner::PixelImage& image);
// A PNG file of the picture with its alpha.
std::string png_of(const skinner::PixelImage& image);
// A JPEG file of the picture.
std::string jpeg_of(const skinner::PixelImage& image);

// Writes the skin archive (its "skin" entry and the given entries) and files beside it.
void write_skin(const testing_support::TestDevice& device, std::vector<testing_support::ZipEntry> entries,
                const std::vector<std::pair<std::string, std::string>>& files = {});

// Installs a picture loader whose platform decoder is stb_image (or one that rejects all).
void use_stb_loader(bool platform_rejects_all = false);

// A picture whose pixels are the function of their position, alpha 255.
template <typename F>
skinner::PixelImage image_of(int width, int height, F colour) {
    skinner::PixelImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.at(x, y) = 0xFF000000u | (colour(x, y) & 0x00FFFFFFu);
    return image;
}

}  // namespace picture_fixture
