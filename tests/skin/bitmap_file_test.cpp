#include "skin/bitmap_file.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct BitmapFile {
    int width = 2;
    int height = 2;
    int bits = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> table;
    Bytes rows;  // as stored, padded
    std::uint32_t info_size = 40;
    std::int64_t pixel_offset = -1;  // after the table unless given

    Bytes bytes() const {
        Bytes out;
        auto put = [&](std::uint64_t value, int size) {
            for (int i = 0; i < size; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
        };
        std::uint32_t offset = pixel_offset >= 0 ? std::uint32_t(pixel_offset) : 14 + info_size + 4 * std::uint32_t(table.size());
        out.insert(out.end(), {'B', 'M'});
        put(offset + rows.size(), 4);
        put(0, 4);
        put(offset, 4);
        put(info_size, 4);
        put(std::uint32_t(width), 4);
        put(std::uint32_t(height), 4);
        put(1, 2);
        put(bits, 2);
        put(compression, 4);
        put(rows.size(), 4);
        put(0, 8);
        put(table.size(), 4);
        put(0, 4);
        out.resize(14 + std::min<std::uint32_t>(info_size, 64), 0);
        for (std::uint32_t entry : table) put(entry, 4);
        if (pixel_offset < 0) out.resize(std::max<std::size_t>(out.size(), offset), 0);
        out.insert(out.end(), rows.begin(), rows.end());
        return out;
    }
};

TEST(BitmapFileTest, ReadsEachDepthBottomUpAndTopDown) {
    struct Case {
        const char* what;
        BitmapFile file;
        std::vector<std::uint32_t> expected;  // top row first
    };
    const Case cases[] = {
        {"24 bits", {2, 2, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
         {0x090807, 0x0C0B0A, 0x030201, 0x060504}},
        {"24 bits top-down", {2, -2, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
         {0x030201, 0x060504, 0x090807, 0x0C0B0A}},
        {"32 bits", {1, 1, 32, 0, {}, {1, 2, 3, 99}}, {0x030201}},
        {"16 bits", {1, 1, 16, 0, {}, {0x1F, 0x7C, 0, 0}}, {0xFF00FF}},
        {"8 bits", {2, 1, 8, 0, {0x112233, 0x445566}, {1, 0, 0, 0}}, {0x445566, 0x112233}},
        {"8 bits, index past the table", {2, 1, 8, 0, {0x112233}, {0, 7, 0, 0}}, {0x112233, 0}},
        {"4 bits", {3, 1, 4, 0, {0xAA, 0xBB, 0xCC}, {0x21, 0x00, 0, 0}}, {0xCC, 0xBB, 0xAA}},
        {"1 bit", {3, 1, 1, 0, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0}}, {0xFFFFFF, 0, 0xFFFFFF}},
    };
    for (const Case& c : cases) {
        auto image = skinner::read_bitmap_file(c.file.bytes());
        ASSERT_TRUE(image) << c.what;
        EXPECT_EQ(image->pixels, c.expected) << c.what;
    }
}

TEST(BitmapFileTest, RefusesHeadersThatDoNotHold) {
    BitmapFile good{2, 2, 24, 0, {}, Bytes(16, 1)};
    ASSERT_TRUE(skinner::read_bitmap_file(good.bytes()));
    struct Case {
        const char* what;
        BitmapFile file;
    };
    auto changed = [&](auto change) {
        BitmapFile file = good;
        change(file);
        return file;
    };
    const Case cases[] = {
        {"run-length compression", changed([](BitmapFile& f) { f.compression = 1; })},
        {"bit fields", changed([](BitmapFile& f) { f.compression = 3; })},
        {"2 bits", changed([](BitmapFile& f) { f.bits = 2; })},
        {"0 bits", changed([](BitmapFile& f) { f.bits = 0; })},
        {"width 0", changed([](BitmapFile& f) { f.width = 0; })},
        {"negative width", changed([](BitmapFile& f) { f.width = -2; })},
        {"height 0", changed([](BitmapFile& f) { f.height = 0; })},
        {"most negative height", changed([](BitmapFile& f) { f.height = INT_MIN; })},
        {"huge width", changed([](BitmapFile& f) { f.width = 0x7FFFFFFF; })},
        {"rows cut short", changed([](BitmapFile& f) { f.rows.resize(15); })},
        {"pixel offset past the end", changed([](BitmapFile& f) { f.pixel_offset = 1000; })},
        {"pixel offset inside the header", changed([](BitmapFile& f) { f.pixel_offset = 20; })},
        {"short info header", changed([](BitmapFile& f) { f.info_size = 12; })},
        {"info header past the end", changed([](BitmapFile& f) {
             f.info_size = 0xFFFFFF00;
             f.pixel_offset = 54;
         })},
        {"colour table past the end", changed([](BitmapFile& f) {
             f.bits = 8;
             f.table.assign(3, 0);
             f.pixel_offset = 54 + 4 * 256;
             f.rows.clear();
         })},
    };
    for (const Case& c : cases) EXPECT_FALSE(skinner::read_bitmap_file(c.file.bytes())) << c.what;
    EXPECT_FALSE(skinner::read_bitmap_file(Bytes{'B', 'M', 0}));
    EXPECT_FALSE(skinner::read_bitmap_file({}));
}

}  // namespace
