#include "skin/png_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/skin/png_fixture.h"

namespace {

using png_fixture::BitWriter;
using png_fixture::Blocks;
using png_fixture::Bytes;
using png_fixture::Image;

struct Decoded {
    int result = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes pixels;
};

Decoded decode(const Bytes& file) {
    ZqRawPngDecoder decoder;
    Decoded out;
    out.result = decoder.decode(file.data(), file.size());
    out.width = decoder.get_image_width();
    out.height = decoder.get_image_height();
    if (const std::uint8_t* image = decoder.get_image())
        out.pixels.assign(image, image + std::size_t(out.width) * out.height * 4);
    return out;
}

// The first pixel that differs, as a message; empty when all match.
std::string first_difference(const Bytes& ours, const Bytes& theirs, std::uint32_t width) {
    if (ours.size() != theirs.size()) return "sizes " + std::to_string(ours.size()) + " and " + std::to_string(theirs.size());
    auto [a, b] = std::mismatch(ours.begin(), ours.end(), theirs.begin());
    if (a == ours.end()) return {};
    std::size_t pixel = std::size_t(a - ours.begin()) / 4;
    return "pixel (" + std::to_string(pixel % width) + ", " + std::to_string(pixel / width) + ") byte " +
           std::to_string((a - ours.begin()) % 4) + ": " + std::to_string(*a) + " against libpng's " + std::to_string(*b);
}

void expect_as_libpng(const Bytes& file, const std::string& what) {
    png_fixture::Rgba theirs = png_fixture::read_with_libpng(file);
    ASSERT_FALSE(theirs.pixels.empty()) << what;
    Decoded ours = decode(file);
    EXPECT_EQ(ours.result, 1) << what;
    ASSERT_EQ(ours.width, theirs.width) << what;
    ASSERT_EQ(ours.height, theirs.height) << what;
    EXPECT_EQ(first_difference(ours.pixels, theirs.pixels, ours.width), "") << what;
}

std::string describe(const Image& image) {
    static const char* const block_names[] = {"stored", "fixed", "dynamic"};
    return "colour type " + std::to_string(image.colour_type) + " depth " + std::to_string(image.bit_depth) + " " +
           std::to_string(image.width) + "x" + std::to_string(image.height) +
           (image.interlaced ? " interlaced " : " ") + block_names[int(image.blocks)] + " blocks" +
           (image.transparency.empty() ? "" : " with tRNS");
}

TEST(PngDecoderTest, EveryAcceptedFormatMatchesLibpng) {
    const std::pair<int, int> formats[] = {{0, 1}, {0, 8}, {2, 8}, {2, 16}, {3, 4}, {3, 8}, {4, 8}, {6, 8}};
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{13, 11}, {1, 1}, {3, 9}, {40, 2}};
    for (auto [colour_type, depth] : formats)
        for (bool interlaced : {false, true})
            for (Blocks blocks : {Blocks::stored, Blocks::fixed, Blocks::dynamic})
                for (auto [width, height] : sizes) {
                    Image image;
                    image.colour_type = colour_type;
                    image.bit_depth = depth;
                    image.interlaced = interlaced;
                    image.blocks = blocks;
                    image.width = width;
                    image.height = height;
                    expect_as_libpng(png_fixture::write_with_libpng(image), describe(image));
                }
}

TEST(PngDecoderTest, TransparencyMatchesLibpng) {
    struct Case {
        int colour_type, bit_depth;
        Bytes transparency;
    };
    // Keys are picked from the sample rows: row 0 holds bytes i * 7, so (7, 14, 21) and 14 occur.
    const Case cases[] = {
        {0, 8, {0, 14}},
        {0, 1, {0, 1}},
        {2, 8, {0, 7, 0, 14, 0, 21}},
        {2, 16, {0x07, 0x0E, 0x15, 0x1C, 0x23, 0x2A}},
        {3, 8, {0}},
        {3, 8, {255, 0}},
        {3, 8, {10, 128, 255, 0, 77}},
        {3, 4, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        for (bool interlaced : {false, true}) {
            Image image;
            image.colour_type = c.colour_type;
            image.bit_depth = c.bit_depth;
            image.interlaced = interlaced;
            image.transparency = c.transparency;
            expect_as_libpng(png_fixture::write_with_libpng(image), describe(image));
        }
}

TEST(PngDecoderTest, PaletteAlphaIsOneBytePerEntry) {
    Image image;
    image.colour_type = 3;
    image.width = 3;
    image.height = 1;
    image.palette_entries = 3;
    image.transparency = {255, 0};
    Decoded ours = decode(png_fixture::write_with_libpng(image, {{0, 1, 2}}));
    ASSERT_EQ(ours.width, 3u);
    EXPECT_EQ(ours.pixels[3], 255);
    EXPECT_EQ(ours.pixels[7], 0);
    EXPECT_EQ(ours.pixels[11], 255);
}

TEST(PngDecoderTest, CopiesOutAsBlueGreenRedAlpha) {
    Image image;
    image.width = 2;
    image.height = 1;
    Bytes file = png_fixture::write_with_libpng(image, {{1, 2, 3, 4, 5, 6, 7, 8}});
    ZqRawPngDecoder decoder;
    decoder.decode(file.data(), file.size());
    Bytes bgra(8);
    decoder.copy_to_bgra(bgra.data());
    EXPECT_EQ(bgra, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));
}

Bytes one_row_file(const Bytes& header, const Bytes& zlib_stream, std::vector<png_fixture::Chunk> extra = {}) {
    std::vector<png_fixture::Chunk> chunks = {{"IHDR", header}};
    chunks.insert(chunks.end(), extra.begin(), extra.end());
    chunks.push_back({"IDAT", zlib_stream});
    chunks.push_back({"IEND", {}});
    return png_fixture::assemble(chunks);
}

TEST(PngDecoderTest, UnsupportedFormatsGiveNoImage) {
    const std::pair<int, int> formats[] = {{0, 2}, {0, 4}, {0, 16}, {2, 1}, {3, 1}, {3, 2}, {3, 16},
                                           {4, 16}, {6, 16}, {5, 8}, {7, 8}};
    for (auto [colour_type, depth] : formats) {
        Bytes file = one_row_file(png_fixture::header(2, 2, depth, colour_type), png_fixture::compress(Bytes(40)),
                                  {{"PLTE", Bytes(6)}});
        Decoded ours = decode(file);
        EXPECT_EQ(ours.result, 1) << colour_type << "/" << depth;
        EXPECT_EQ(ours.width, 0u) << colour_type << "/" << depth;
        EXPECT_EQ(ours.height, 0u) << colour_type << "/" << depth;
    }
}

TEST(PngDecoderTest, FailureCodes) {
    Bytes good = one_row_file(png_fixture::header(1, 1, 8, 0), png_fixture::compress({0, 9}));
    EXPECT_EQ(decode(good).result, 1);
    Bytes wrong_signature = good;
    wrong_signature[1] = 'Q';
    EXPECT_EQ(decode(wrong_signature).result, -1);
    EXPECT_EQ(decode(Bytes(good.begin(), good.begin() + 7)).result, -1);
    Bytes bad_palette = one_row_file(png_fixture::header(1, 1, 8, 3), png_fixture::compress({0, 0}), {{"PLTE", Bytes(10)}});
    EXPECT_EQ(decode(bad_palette).result, -1);
    Bytes no_header = png_fixture::assemble({{"IEND", {}}});
    Decoded nothing = decode(no_header);
    EXPECT_EQ(nothing.result, 1);
    EXPECT_EQ(nothing.width, 0u);
}

TEST(PngDecoderTest, HugeOrEmptySizesGiveNoImage) {
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {
        {0, 10}, {10, 0}, {0x40000000, 4}, {4, 0x40000000}, {0xFFFFFFFF, 0xFFFFFFFF}, {16385, 1}, {16384, 16384}};
    for (auto [width, height] : sizes) {
        Decoded ours = decode(one_row_file(png_fixture::header(width, height, 16, 2), png_fixture::compress(Bytes(7))));
        EXPECT_EQ(ours.result, 1);
        EXPECT_EQ(ours.width, 0u) << width << "x" << height;
        EXPECT_TRUE(ours.pixels.empty());
    }
}

TEST(PngDecoderTest, ChunkLengthsBeyondTheFileEndTheWalk) {
    Bytes file = one_row_file(png_fixture::header(1, 1, 8, 0), png_fixture::compress({0, 9}));
    // An extra chunk before IDAT that claims nearly 4 GiB.
    Bytes lying = Bytes(file.begin(), file.begin() + 33);
    lying.insert(lying.end(), {0xFF, 0xFF, 0xFF, 0xF0, 't', 'E', 'X', 't', 1, 2, 3});
    Decoded ours = decode(lying);
    EXPECT_EQ(ours.result, 1);
    EXPECT_EQ(ours.width, 1u);
    EXPECT_EQ(ours.pixels, (Bytes{0, 0, 0, 0}));
}

// A 2x1 RGBA image whose second pixel is a copy of the first, with the given zlib header.
Bytes zlib_with_back_reference(std::uint8_t cmf, int distance_code) {
    BitWriter w;
    w.bits(1, 1);  // final
    w.bits(1, 2);  // fixed
    auto literal = [&](int value) { w.code(0x30 + value, 8); };
    literal(0);  // filter None
    for (int v : {10, 20, 30, 40}) literal(v);
    w.code(0b0000010, 7);  // length symbol 258: 4
    w.code(distance_code, 5);
    if (distance_code == 5) w.bits(0, 1);  // distance 7 has one extra bit
    w.code(0, 7);  // end of block
    Bytes stream = {cmf, 0};
    stream[1] = std::uint8_t(31 - (cmf * 256) % 31);
    Bytes body = w.finish();
    stream.insert(stream.end(), body.begin(), body.end());
    stream.insert(stream.end(), {0, 0, 0, 0});  // Adler-32, not checked
    return stream;
}

TEST(PngDecoderTest, DistancesReachTheWholeOutputWhateverTheDeclaredWindow) {
    // Distance 4 with a declared window of 256 bytes (CINFO 0) and the usual 32 KiB.
    for (std::uint8_t cmf : {std::uint8_t{0x08}, std::uint8_t{0x78}}) {
        Decoded ours = decode(one_row_file(png_fixture::header(2, 1, 8, 6), zlib_with_back_reference(cmf, 3)));
        EXPECT_EQ(ours.pixels, (Bytes{10, 20, 30, 40, 10, 20, 30, 40})) << int(cmf);
    }
}

TEST(PngDecoderTest, DamagedStreamsStopWithoutStaleBytes) {
    struct Case {
        const char* what;
        Bytes stream;
        Bytes expected;
    };
    Bytes first_only = {10, 20, 30, 40, 0, 0, 0, 0};
    auto with_fdict = [] {
        Bytes s = png_fixture::compress({0, 1, 2, 3, 4, 5, 6, 7, 8});
        s[1] = 0x20 | std::uint8_t(31 - (0x78 * 256 + 0x20) % 31);
        return s;
    };
    const Case cases[] = {
        {"distance 7 beyond the 5 bytes produced", zlib_with_back_reference(0x78, 5), first_only},
        {"distance symbol 30", zlib_with_back_reference(0x78, 30), first_only},
        {"distance symbol 31", zlib_with_back_reference(0x78, 31), first_only},
        {"FDICT set", with_fdict(), Bytes(8, 0)},
        {"compression method 7", Bytes{0x77, 0x01, 0x01}, Bytes(8, 0)},
        {"one byte", Bytes{0x78}, Bytes(8, 0)},
    };
    for (const Case& c : cases) {
        Decoded ours = decode(one_row_file(png_fixture::header(2, 1, 8, 6), c.stream));
        EXPECT_EQ(ours.result, 1) << c.what;
        EXPECT_EQ(ours.pixels, c.expected) << c.what;
    }
}

// A dynamic block header whose code-length code gives lengths 1, 1 and 1 (over-subscribed).
TEST(PngDecoderTest, OverSubscribedCodesFailTheStream) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(2, 2);
    w.bits(0, 5);   // HLIT
    w.bits(0, 5);   // HDIST
    w.bits(0, 4);   // HCLEN: 4 lengths, for 16, 17, 18, 0
    for (int i = 0; i < 4; ++i) w.bits(i < 3 ? 1 : 0, 3);
    for (int i = 0; i < 40; ++i) w.bits(0, 8);
    Bytes stream = {0x78, 0x01};
    Bytes body = w.finish();
    stream.insert(stream.end(), body.begin(), body.end());
    Decoded ours = decode(one_row_file(png_fixture::header(2, 1, 8, 6), stream));
    EXPECT_EQ(ours.pixels, Bytes(8, 0));
}

TEST(PngDecoderTest, OutOfRangePaletteIndexLeavesAClearPixel) {
    Bytes palette = {1, 2, 3, 4, 5, 6};
    Decoded ours = decode(one_row_file(png_fixture::header(3, 1, 8, 3), png_fixture::compress({0, 1, 9, 0}),
                                       {{"PLTE", palette}}));
    EXPECT_EQ(ours.pixels, (Bytes{4, 5, 6, 255, 0, 0, 0, 0, 1, 2, 3, 255}));
}

TEST(PngDecoderTest, TruncatedStreamKeepsThePixelsWrittenSoFar) {
    Image image;
    image.width = 4;
    image.height = 4;
    image.blocks = Blocks::stored;
    Bytes full = png_fixture::write_with_libpng(image);
    Decoded whole = decode(full);
    // A stored block holding the first row and a half, then the input ends.
    Bytes rows = {0};
    rows.insert(rows.end(), whole.pixels.begin(), whole.pixels.begin() + 16);
    rows.push_back(0);
    rows.insert(rows.end(), whole.pixels.begin() + 16, whole.pixels.begin() + 24);
    Bytes truncated = {0x78, 0x01, 0x01, std::uint8_t(rows.size()), 0, std::uint8_t(~rows.size()), 0xFF};
    truncated.insert(truncated.end(), rows.begin(), rows.end());
    Decoded ours = decode(one_row_file(png_fixture::header(4, 4, 8, 6), truncated));
    Bytes expected(64, 0);
    std::copy(whole.pixels.begin(), whole.pixels.begin() + 24, expected.begin());
    EXPECT_EQ(ours.pixels, expected);
}

TEST(PngDecoderTest, OneByOneInterlacedFillsItsPixelInPassOne) {
    Decoded ours = decode(one_row_file(png_fixture::header(1, 1, 8, 6, 1), png_fixture::compress({0, 1, 2, 3, 4})));
    EXPECT_EQ(ours.pixels, (Bytes{1, 2, 3, 4}));
}

TEST(PngDecoderTest, UnknownInterlaceMethodWritesNoPixel) {
    Decoded ours = decode(one_row_file(png_fixture::header(1, 1, 8, 6, 2), png_fixture::compress({0, 1, 2, 3, 4})));
    EXPECT_EQ(ours.width, 1u);
    EXPECT_EQ(ours.pixels, Bytes(4, 0));
}

// Real images that this project did not make: the icon theme and libpng's own test image.
TEST(PngDecoderTest, RealFilesDecodeAsLibpngOrAreRefused) {
    std::vector<std::filesystem::path> files;
    for (const char* root : {"/usr/share/icons/Adwaita", "/usr/share/doc/libpng-dev/examples"}) {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(root, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
            if (it->path().extension() == ".png" && files.size() < 200) files.push_back(it->path());
    }
    if (files.empty()) GTEST_SKIP() << "no real PNG files on this machine";
    int matched = 0;
    for (const auto& path : files) {
        std::ifstream in(path, std::ios::binary);
        Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Decoded ours = decode(file);
        ASSERT_EQ(ours.result, 1) << path;
        if (ours.width == 0) continue;  // a format the decoder refuses
        png_fixture::Rgba theirs = png_fixture::read_with_libpng(file);
        ASSERT_EQ(ours.width, theirs.width) << path;
        EXPECT_EQ(first_difference(ours.pixels, theirs.pixels, ours.width), "") << path;
        ++matched;
    }
    EXPECT_GT(matched, 0);
}

}  // namespace
