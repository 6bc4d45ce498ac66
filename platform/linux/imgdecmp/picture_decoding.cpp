#include "platform/linux/imgdecmp/picture_decoding.h"

#include <stb/stb_image.h>

#include <cstring>
#include <limits>

namespace imgdecmp {

namespace {

// Larger pictures are refused before any pixel memory is taken, whatever the caller's maxima.
constexpr int largest_side = 16384;

bool starts_with(const std::uint8_t* bytes, std::size_t size, const char* prefix, std::size_t length) {
    return size >= length && std::memcmp(bytes, prefix, length) == 0;
}

}  // namespace

PictureFormat sniff_format(const std::uint8_t* bytes, std::size_t size) {
    if (starts_with(bytes, size, "GIF87a", 6) || starts_with(bytes, size, "GIF89a", 6)) return PictureFormat::gif;
    if (starts_with(bytes, size, "BM", 2)) return PictureFormat::bmp;
    if (starts_with(bytes, size, "\xFF\xD8\xFF", 3)) return PictureFormat::jpeg;
    return PictureFormat::unknown;
}

std::optional<DecodedPicture> decode_picture(const std::vector<std::uint8_t>& bytes, int max_width, int max_height) {
    if (sniff_format(bytes.data(), bytes.size()) == PictureFormat::unknown) return std::nullopt;
    if (bytes.size() > std::size_t(std::numeric_limits<int>::max())) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    int length = int(bytes.size());
    if (!stbi_info_from_memory(bytes.data(), length, &width, &height, &channels)) return std::nullopt;
    if (width <= 0 || height <= 0 || width > max_width || height > max_height) return std::nullopt;
    if (width > largest_side || height > largest_side) return std::nullopt;
    stbi_uc* rgba = stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 4);
    if (rgba == nullptr) return std::nullopt;
    DecodedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.bgra.resize(std::size_t(width) * height * 4);
    for (std::size_t i = 0; i < picture.bgra.size(); i += 4) {
        picture.bgra[i] = rgba[i + 2];
        picture.bgra[i + 1] = rgba[i + 1];
        picture.bgra[i + 2] = rgba[i];
        picture.bgra[i + 3] = rgba[i + 3];
    }
    stbi_image_free(rgba);
    return picture;
}

std::size_t row_stride(int width, int bits_per_pixel) {
    return (std::size_t(width) * bits_per_pixel + 31) / 32 * 4;
}

void write_rows(const DecodedPicture& picture, int bits_per_pixel, std::uint8_t* bits) {
    std::size_t stride = row_stride(picture.width, bits_per_pixel);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* in = picture.bgra.data() + std::size_t(y) * picture.width * 4;
        std::uint8_t* out = bits + std::size_t(y) * stride;
        for (int x = 0; x < picture.width; ++x, in += 4) {
            switch (bits_per_pixel) {
            case 32:
                std::memcpy(out + 4 * x, in, 4);
                break;
            case 24:
                std::memcpy(out + 3 * x, in, 3);
                break;
            default: {
                std::uint16_t value = std::uint16_t((in[2] >> 3) << 10 | (in[1] >> 3) << 5 | in[0] >> 3);
                out[2 * x] = std::uint8_t(value);
                out[2 * x + 1] = std::uint8_t(value >> 8);
            }
            }
        }
    }
}

}  // namespace imgdecmp
