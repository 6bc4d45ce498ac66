// The decoding half of the image decompressor, apart from the bitmap it fills.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace imgdecmp {

enum class PictureFormat { unknown, gif, bmp, jpeg };

// The format the first bytes announce.
PictureFormat sniff_format(const std::uint8_t* bytes, std::size_t size);

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;  // rows top-down, 4 bytes a pixel
};

// The picture (the first frame of a GIF) when it is a GIF, BMP or JPEG that decodes and is
// no larger than the maxima; nothing otherwise.
std::optional<DecodedPicture> decode_picture(const std::vector<std::uint8_t>& bytes, int max_width, int max_height);

// Bytes a row of a bitmap of that width and depth takes, padded to 4 bytes.
std::size_t row_stride(int width, int bits_per_pixel);

// Writes the picture's rows, top-down, at 16 (5-5-5), 24 or 32 bits per pixel into bits,
// which holds height x row_stride bytes.
void write_rows(const DecodedPicture& picture, int bits_per_pixel, std::uint8_t* bits);

}  // namespace imgdecmp
