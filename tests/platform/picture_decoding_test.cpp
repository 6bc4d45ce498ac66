// The decoding half of the image decompressor, on pictures made here: BMP and JPEG by
// stb_image_write, GIF by a small uncompressed-LZW writer.
#include "platform/linux/imgdecmp/picture_decoding.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cstdlib>

namespace {

using Bytes = std::vector<std::uint8_t>;

void append(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
}

Bytes bmp_of(int width, int height, const Bytes& rgb) {
    Bytes out;
    stbi_write_bmp_to_func(append, &out, width, height, 3, rgb.data());
    return out;
}

Bytes jpeg_of(int width, int height, const Bytes& rgb) {
    Bytes out;
    stbi_write_jpg_to_func(append, &out, width, height, 3, rgb.data(), 100);
    return out;
}

void put16(Bytes& out, int value) {
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

// A GIF with a four-colour table and one frame per index list; every pixel is sent after a
// clear code, so the codes stay 3 bits wide.
Bytes gif_of(int width, int height, const std::vector<Bytes>& frames) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, width);
    put16(out, height);
    out.insert(out.end(), {0xF1, 0, 0});
    out.insert(out.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    for (const Bytes& indices : frames) {
        out.push_back(0x2C);
        put16(out, 0);
        put16(out, 0);
        put16(out, width);
        put16(out, height);
        out.push_back(0);
        out.push_back(2);
        Bytes codes;
        std::uint32_t buffer = 0;
        int held = 0;
        auto code = [&](std::uint32_t value) {
            buffer |= value << held;
            held += 3;
            while (held >= 8) {
                codes.push_back(std::uint8_t(buffer));
                buffer >>= 8;
                held -= 8;
            }
        };
        for (std::uint8_t index : indices) {
            code(4);
            code(index);
        }
        code(5);
        if (held > 0) codes.push_back(std::uint8_t(buffer));
        for (std::size_t i = 0; i < codes.size(); i += 255) {
            std::size_t n = std::min<std::size_t>(255, codes.size() - i);
            out.push_back(std::uint8_t(n));
            out.insert(out.end(), codes.begin() + i, codes.begin() + i + n);
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    return out;
}

TEST(PictureDecodingTest, RecognisesFormatsByTheirFirstBytes) {
    struct Case {
        Bytes bytes;
        imgdecmp::PictureFormat format;
    };
    const Case cases[] = {
        {{'G', 'I', 'F', '8', '7', 'a'}, imgdecmp::PictureFormat::gif},
        {{'G', 'I', 'F', '8', '9', 'a', 1}, imgdecmp::PictureFormat::gif},
        {{'B', 'M'}, imgdecmp::PictureFormat::bmp},
        {{0xFF, 0xD8, 0xFF, 0xE0}, imgdecmp::PictureFormat::jpeg},
        {{137, 'P', 'N', 'G'}, imgdecmp::PictureFormat::unknown},
        {{'B'}, imgdecmp::PictureFormat::unknown},
        {{}, imgdecmp::PictureFormat::unknown},
    };
    for (const Case& c : cases) EXPECT_EQ(imgdecmp::sniff_format(c.bytes.data(), c.bytes.size()), c.format);
}

TEST(PictureDecodingTest, BmpDecodesExactly) {
    Bytes rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    auto picture = imgdecmp::decode_picture(bmp_of(3, 2, rgb), 10000, 10000);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->bgra, (Bytes{3, 2, 1, 255, 6, 5, 4, 255, 9, 8, 7, 255,
                                    12, 11, 10, 255, 15, 14, 13, 255, 18, 17, 16, 255}));
}

TEST(PictureDecodingTest, GifGivesItsFirstFrame) {
    auto picture = imgdecmp::decode_picture(gif_of(2, 2, {{0, 1, 2, 3}, {3, 3, 3, 3}}), 10000, 10000);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->bgra, (Bytes{0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255}));
}

TEST(PictureDecodingTest, JpegDecodesCloseToItsColours) {
    Bytes rgb;
    for (int i = 0; i < 64; ++i) rgb.insert(rgb.end(), {200, 100, 50});
    auto picture = imgdecmp::decode_picture(jpeg_of(8, 8, rgb), 10000, 10000);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->bgra.size(), 256u);
    for (std::size_t i = 0; i < 256; i += 4) {
        EXPECT_NEAR(picture->bgra[i], 50, 4);
        EXPECT_NEAR(picture->bgra[i + 1], 100, 4);
        EXPECT_NEAR(picture->bgra[i + 2], 200, 4);
    }
}

TEST(PictureDecodingTest, RefusesLargeDamagedAndOtherPictures) {
    Bytes rgb(5 * 4 * 3, 7);
    Bytes bmp = bmp_of(5, 4, rgb);
    EXPECT_TRUE(imgdecmp::decode_picture(bmp, 5, 4));
    EXPECT_FALSE(imgdecmp::decode_picture(bmp, 4, 4));
    EXPECT_FALSE(imgdecmp::decode_picture(bmp, 5, 3));
    EXPECT_FALSE(imgdecmp::decode_picture(gif_of(3, 1, {{0, 1, 2}}), 2, 10));
    EXPECT_FALSE(imgdecmp::decode_picture(Bytes(bmp.begin(), bmp.begin() + 20), 100, 100));
    EXPECT_FALSE(imgdecmp::decode_picture({'B', 'M', 1, 2, 3}, 100, 100));
    EXPECT_FALSE(imgdecmp::decode_picture({137, 'P', 'N', 'G', 13, 10, 26, 10}, 100, 100));
    EXPECT_FALSE(imgdecmp::decode_picture({}, 100, 100));
}

TEST(PictureDecodingTest, WritesRowsAtEachDepth) {
    imgdecmp::DecodedPicture picture{3, 1, {10, 20, 30, 255, 0xF8, 0x07, 0xFF, 255, 0, 0, 0, 255}};
    struct Case {
        int depth;
        Bytes expected;
    };
    const Case cases[] = {
        {32, {10, 20, 30, 255, 0xF8, 0x07, 0xFF, 255, 0, 0, 0, 255}},
        {24, {10, 20, 30, 0xF8, 0x07, 0xFF, 0, 0, 0, 0, 0, 0}},
        {16, {0x41, 0x0C, 0x1F, 0x7C, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(imgdecmp::row_stride(3, c.depth), c.expected.size()) << c.depth;
        Bytes bits(c.expected.size(), 0);
        imgdecmp::write_rows(picture, c.depth, bits.data());
        EXPECT_EQ(bits, c.expected) << c.depth;
    }
}

}  // namespace
