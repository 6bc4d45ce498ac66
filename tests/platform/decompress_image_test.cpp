// The image decompressor's entry point: pictures read through the callback into DIB sections.
#include "platform/imgdecmp.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Source {
    Bytes bytes;
    std::size_t offset = 0;
    int calls = 0;
};

DWORD read_source(LPSTR buffer, DWORD buffer_max, LPARAM param) {
    auto* source = reinterpret_cast<Source*>(param);
    ++source->calls;
    std::size_t count = std::min<std::size_t>(buffer_max, source->bytes.size() - source->offset);
    if (count > 0) std::memcpy(buffer, source->bytes.data() + source->offset, count);
    source->offset += count;
    return DWORD(count);
}

Bytes bmp_3x2() {
    Bytes rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    Bytes out;
    stbi_write_bmp_to_func([](void* context, void* data, int size) {
        auto* o = static_cast<Bytes*>(context);
        o->insert(o->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    }, &out, 3, 2, 3, rgb.data());
    return out;
}

class DecompressImageTest : public ::testing::Test {
protected:
    HRESULT decompress(Source& source, int depth, int max_width = 10000, int max_height = 10000, int scale = 100) {
        DecompressImageInfo info{};
        info.dwSize = sizeof info;
        info.pbBuffer = buffer_;
        info.dwBufferMax = 16;  // small, so that the picture arrives in many reads
        info.phBM = &bitmap;
        info.iBitDepth = depth;
        info.lParam = reinterpret_cast<LPARAM>(&source);
        info.iScale = scale;
        info.iMaxWidth = max_width;
        info.iMaxHeight = max_height;
        info.pfnGetData = read_source;
        return DecompressImageIndirect(&info);
    }

    void TearDown() override {
        if (bitmap != nullptr) DeleteObject(bitmap);
    }

    HBITMAP bitmap = reinterpret_cast<HBITMAP>(1);
    BYTE buffer_[16];
};

TEST_F(DecompressImageTest, MakesATopDownSectionAtTheDepthAsked) {
    struct Case {
        int depth;
        Bytes first_row;
    };
    const Case cases[] = {{32, {3, 2, 1, 255, 6, 5, 4, 255, 9, 8, 7, 255}}, {24, {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0}}};
    for (const Case& c : cases) {
        Source source{bmp_3x2()};
        ASSERT_EQ(decompress(source, c.depth), S_OK) << c.depth;
        EXPECT_GT(source.calls, 2);
        DIBSECTION section{};
        ASSERT_EQ(GetObjectW(bitmap, sizeof section, &section), int(sizeof section));
        EXPECT_EQ(section.dsBm.bmWidth, 3);
        EXPECT_EQ(section.dsBm.bmHeight, 2);
        EXPECT_EQ(section.dsBm.bmBitsPixel, c.depth);
        const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
        EXPECT_EQ(Bytes(bits, bits + c.first_row.size()), c.first_row) << c.depth;
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

TEST_F(DecompressImageTest, RefusalsLeaveNoBitmap) {
    struct Case {
        const char* what;
        Bytes bytes;
        int depth, max_width, max_height, scale;
    };
    const Bytes whole = bmp_3x2();
    const Case cases[] = {
        {"wider than the maximum", bmp_3x2(), 32, 2, 100, 100},
        {"taller than the maximum", bmp_3x2(), 32, 100, 1, 100},
        {"a PNG", {137, 'P', 'N', 'G', 13, 10, 26, 10}, 32, 100, 100, 100},
        {"cut short", Bytes(whole.begin(), whole.begin() + 30), 32, 100, 100, 100},
        {"nothing", {}, 32, 100, 100, 100},
        {"depth 8", bmp_3x2(), 8, 100, 100, 100},
        {"scale 50", bmp_3x2(), 32, 100, 100, 50},
    };
    for (const Case& c : cases) {
        Source source{c.bytes};
        EXPECT_LT(decompress(source, c.depth, c.max_width, c.max_height, c.scale), 0) << c.what;
        EXPECT_EQ(bitmap, nullptr) << c.what;
    }
    EXPECT_LT(DecompressImageIndirect(nullptr), 0);
}

}  // namespace
