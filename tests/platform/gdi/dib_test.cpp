// DIB sections: written directly in each layout, then drawn; headers that are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "surface_fixture.h"

using gdi_testing::Canvas;
using gdi_testing::dib_header;

namespace {

RGBQUAD quad(BYTE red, BYTE green, BYTE blue) { return RGBQUAD{blue, green, red, 0}; }

std::vector<RGBQUAD> const six_colours = {quad(255, 0, 0), quad(0, 255, 0),     quad(0, 0, 255),
                                          quad(0, 0, 0),   quad(255, 255, 255), quad(0, 255, 255)};

struct Layout {
    char const* name;
    int bits;
    int height;  // negative: top-down
    std::vector<RGBQUAD> colours;
    std::vector<unsigned char> bytes;  // rows as stored, each padded to 4 bytes
    std::vector<std::string> expected;
};

std::vector<Layout> const layouts = {
    {"1 bit, bottom-up", 1, 2, {quad(0, 0, 0), quad(255, 255, 255)},
     {0x40, 0, 0, 0, 0xA0, 0, 0, 0}, {".#.", "#.#"}},
    {"4 bits, bottom-up", 4, 2, six_colours,
     {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0}, {"rgb", "#.c"}},
    {"8 bits, top-down", 8, -2, six_colours,
     {0, 1, 2, 0, 3, 4, 5, 0}, {"rgb", "#.c"}},
    {"an index beyond the colour table is black", 8, -1, {quad(255, 0, 0)},
     {0, 7, 0, 0}, {"r#r"}},
    {"16 bits (5-5-5), bottom-up", 16, 2, {},
     {0x00, 0x00, 0xFF, 0x7F, 0xFF, 0x03, 0, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0},
     {"rgb", "#.c"}},
    {"24 bits, bottom-up", 24, 2, {},
     {0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0},
     {"rgb", "#.c"}},
    {"32 bits, bottom-up", 32, 2, {},
     {0, 0, 0, 0, 255, 255, 255, 0, 255, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0},
     {"rgb", "#.c"}},
};

class DibLayoutTest : public ::testing::TestWithParam<Layout> {};

TEST_P(DibLayoutTest, WrittenBitsAreDrawnAsTheirColours) {
    Layout const& layout = GetParam();
    auto header = dib_header(layout.bits, 3, layout.height, layout.colours);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr) << layout.name;
    std::memcpy(bits, layout.bytes.data(), layout.bytes.size());
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, bitmap);
    int const rows = layout.height < 0 ? -layout.height : layout.height;
    Canvas canvas(3, rows);
    canvas.paint({"mmm", "mmm"});
    BitBlt(canvas.dc(), 0, 0, 3, rows, source, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.picture(), layout.expected) << layout.name;
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DibLayoutTest, ::testing::ValuesIn(layouts));

TEST(DibSection, ThirtyTwoBitTopDownBitsAreThePixelsDrawnFromAndInto) {
    auto header = dib_header(32, 2, -2);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    EXPECT_EQ(pixels[0], 0u) << "a new section is zeroed";
    pixels[0] = 0xFFFF0000;
    pixels[3] = 0x000000FF;
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, bitmap);
    Canvas canvas(2, 2);
    canvas.paint({"..", ".."});
    BitBlt(canvas.dc(), 0, 0, 2, 2, source, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.picture(), (std::vector<std::string>{"R#", "#b"}));
    RECT rect{1, 0, 2, 1};
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(source, &rect, brush);
    DeleteObject(brush);
    EXPECT_EQ(pixels[1], 0x0000FF00u);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
}

TEST(DibSection, DrawingIntoAPaletteSectionStoresTheNearestIndex) {
    auto header = dib_header(8, 4, -1, six_colours);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    RECT rect{1, 0, 3, 1};
    HBRUSH brush = CreateSolidBrush(RGB(250, 250, 250));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    auto const* indices = static_cast<unsigned char*>(bits);
    EXPECT_EQ((std::vector<int>{indices[0], indices[1], indices[2], indices[3]}), (std::vector<int>{0, 4, 4, 0}));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 255, 255));
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(DibSection, RefusesHeadersItCannotHold) {
    struct Case {
        char const* name;
        void (*change)(BITMAPINFOHEADER&);
    };
    Case const cases[] = {
        {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
        {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -4; }},
        {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
        {"too wide", [](BITMAPINFOHEADER& h) { h.biWidth = 100000; }},
        {"too tall", [](BITMAPINFOHEADER& h) { h.biHeight = -100000; }},
        {"the lowest height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
        {"2 bits per pixel", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; }},
        {"run-length compressed", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }},
        {"a short header", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
        {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
    };
    for (Case const& c : cases) {
        auto header = dib_header(8, 4, 4, six_colours);
        c.change(header.header);
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0),
                  nullptr)
            << c.name;
        EXPECT_EQ(bits, nullptr) << c.name;
    }
    auto header = dib_header(8, 4, 4, six_colours);
    void* bits = nullptr;
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_PAL_COLORS, &bits, nullptr, 0),
              nullptr);
}

TEST(DibSection, ReportsItsLayoutThroughGetObject) {
    auto header = dib_header(24, 5, 3);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    BITMAP description{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.bmWidth, 5);
    EXPECT_EQ(description.bmHeight, 3);
    EXPECT_EQ(description.bmWidthBytes, 16);
    EXPECT_EQ(description.bmBitsPixel, 24);
    EXPECT_EQ(description.bmPlanes, 1);
    EXPECT_EQ(description.bmBits, bits);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBmih.biSizeImage, 48u);
    DeleteObject(bitmap);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP compatible = CreateCompatibleBitmap(dc, 7, 2);
    ASSERT_EQ(GetObjectW(compatible, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.bmWidth, 7);
    EXPECT_EQ(description.bmBitsPixel, 32);
    EXPECT_EQ(description.bmBits, nullptr);
    DeleteObject(compatible);
    DeleteDC(dc);
}

}  // namespace
