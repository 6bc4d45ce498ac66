// Text: the stand-in faces, measuring, alignment, clipping and FreeType's own rendering.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/gdi_testing.h"
#include "surface_fixture.h"

using gdi_testing::Canvas;

namespace {

HFONT make_font(std::u16string const& face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0) {
    LOGFONTW description{};
    description.lfHeight = height;
    description.lfWeight = weight;
    description.lfItalic = italic;
    std::copy(face.begin(), face.end(), description.lfFaceName);
    return CreateFontIndirectW(&description);
}

std::string file_name(std::string const& path) { return path.substr(path.find_last_of('/') + 1); }

// A canvas, white, with a font selected and black text in transparent mode.
class TextCanvas : public Canvas {
public:
    TextCanvas(int width, int height, HFONT font) : Canvas(width, height), font_(font) {
        fill(0x00FFFFFF);
        previous_ = SelectObject(dc(), font);
        SetTextColor(dc(), RGB(0, 0, 0));
        SetBkMode(dc(), TRANSPARENT);
    }
    ~TextCanvas() { SelectObject(dc(), previous_); }

    SIZE extent(std::u16string const& text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc(), text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

    // Whether any pixel outside the rectangle is not white.
    bool ink_outside(RECT rect) const {
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                bool const inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
                if (!inside && pixel(x, y) != 0x00FFFFFF) return true;
            }
        }
        return false;
    }
    bool any_ink() const { return ink_outside(RECT{0, 0, 0, 0}); }

private:
    HFONT font_;
    HGDIOBJ previous_;
};

// FreeType's own glyphs composed black on white with the cell's corner at (x, y).
std::vector<std::uint32_t> expected_pixels(int width, int height, HFONT font, std::u16string const& text, int x, int y) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0x00FFFFFF);
    for (auto const& glyph : platform::render_with_freetype(font, text)) {
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                int const px = x + glyph.x + column;
                int const py = y + glyph.y + row;
                unsigned const coverage = glyph.coverage[static_cast<std::size_t>(row) * glyph.width + column];
                if (px < 0 || py < 0 || px >= width || py >= height || coverage == 0) continue;
                std::uint32_t& pixel = pixels[static_cast<std::size_t>(py) * width + px];
                unsigned const channel = ((pixel & 0xFF) * (255 - coverage) + 127) / 255;
                pixel = channel << 16 | channel << 8 | channel;
            }
        }
    }
    return pixels;
}

TEST(Fonts, FacesAreStoodInForByDejaVuFaces) {
    struct Case {
        std::u16string face;
        LONG weight;
        BYTE italic;
        char const* file;
    };
    Case const cases[] = {
        {u"Tahoma", FW_NORMAL, 0, "DejaVuSansCondensed.ttf"},
        {u"Tahoma", FW_BOLD, 0, "DejaVuSansCondensed-Bold.ttf"},
        {u"Tahoma", FW_NORMAL, 1, "DejaVuSansCondensed-Oblique.ttf"},
        {u"", FW_NORMAL, 0, "DejaVuSansCondensed.ttf"},
        {u"Arial", FW_NORMAL, 0, "DejaVuSans.ttf"},
        {u"Courier New", FW_NORMAL, 0, "DejaVuSansMono.ttf"},
        {u"Times New Roman", FW_BOLD, 0, "DejaVuSerif-Bold.ttf"},
    };
    for (Case const& c : cases) {
        HFONT font = make_font(c.face, -14, c.weight, c.italic);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(file_name(platform::font_face_file(font)), c.file);
        DeleteObject(font);
    }
}

TEST(Fonts, TheHeightIsTheCharacterHeightWhenNegativeAndTheCellWhenPositive) {
    HFONT em = make_font(u"Tahoma", -37, FW_BOLD);
    HFONT cell = make_font(u"Tahoma", 30);
    TextCanvas canvas(4, 4, em);
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &metrics));
    EXPECT_GT(metrics.tmHeight, 37);
    EXPECT_LT(metrics.tmHeight, 50);
    EXPECT_EQ(metrics.tmWeight, FW_BOLD);
    SelectObject(canvas.dc(), cell);
    GetTextMetricsW(canvas.dc(), &metrics);
    EXPECT_LE(metrics.tmHeight, 30);
    EXPECT_GE(metrics.tmHeight, 28);
    SelectObject(canvas.dc(), em);
    DeleteObject(em);
    DeleteObject(cell);
}

TEST(Text, MeasuringGivesTheExtentAndDrawsNothing) {
    HFONT font = make_font(u"Tahoma", -16);
    TextCanvas canvas(40, 40, font);
    SIZE const extent = canvas.extent(u"Record");
    EXPECT_GT(extent.cx, 20);
    EXPECT_GT(extent.cy, 16);
    RECT rect{0, 0, 1, 1};
    EXPECT_EQ(DrawTextW(canvas.dc(), u"Record", -1, &rect, DT_CALCRECT | DT_NOPREFIX | DT_VCENTER), extent.cy);
    EXPECT_EQ(rect.right, extent.cx);
    EXPECT_EQ(rect.bottom, extent.cy);
    EXPECT_FALSE(canvas.any_ink());

    RECT empty{5, 5, 6, 6};
    EXPECT_EQ(DrawTextW(canvas.dc(), u"", -1, &empty, DT_CALCRECT | DT_NOPREFIX | DT_VCENTER), 0);
    EXPECT_EQ(empty.right, 5);

    RECT two_lines{0, 0, 1, 1};
    EXPECT_EQ(DrawTextW(canvas.dc(), u"a\r\nbb", -1, &two_lines, DT_CALCRECT), 2 * extent.cy);
    EXPECT_EQ(two_lines.right, canvas.extent(u"bb").cx);
    DeleteObject(font);
}

TEST(Text, AnAmpersandIsAPrefixUnlessPrefixesAreOff) {
    HFONT font = make_font(u"Tahoma", -16);
    TextCanvas canvas(4, 4, font);
    auto width = [&](std::u16string const& text, UINT format) {
        RECT rect{0, 0, 1, 1};
        DrawTextW(canvas.dc(), text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE | format);
        return rect.right;
    };
    EXPECT_EQ(width(u"&Open", 0), canvas.extent(u"Open").cx);
    EXPECT_EQ(width(u"A&&B", 0), canvas.extent(u"A&B").cx);
    EXPECT_EQ(width(u"&Open", DT_NOPREFIX), canvas.extent(u"&Open").cx);
    DeleteObject(font);
}

struct Alignment {
    char const* name;
    UINT format;
    // Where the cell's corner goes in a 100 x 40 rectangle for a text of the extent.
    POINT (*place)(SIZE extent);
};

Alignment const alignments[] = {
    {"left, top", DT_LEFT | DT_TOP, [](SIZE) { return POINT{0, 0}; }},
    {"centre, centre", DT_CENTER | DT_VCENTER, [](SIZE e) { return POINT{(100 - e.cx) / 2, (40 - e.cy) / 2}; }},
    {"right, bottom", DT_RIGHT | DT_BOTTOM, [](SIZE e) { return POINT{100 - e.cx, 40 - e.cy}; }},
    {"centre, top", DT_CENTER, [](SIZE e) { return POINT{(100 - e.cx) / 2, 0}; }},
    {"right, centre", DT_RIGHT | DT_VCENTER, [](SIZE e) { return POINT{100 - e.cx, (40 - e.cy) / 2}; }},
};

class AlignmentTest : public ::testing::TestWithParam<Alignment> {};

TEST_P(AlignmentTest, TextMatchesFreeTypesOwnRenderingInPlace) {
    Alignment const& alignment = GetParam();
    HFONT font = make_font(u"Tahoma", -15);
    std::u16string const text = u"Play \u00e9 Wg";
    TextCanvas canvas(100, 40, font);
    RECT rect{0, 0, 100, 40};
    DrawTextW(canvas.dc(), text.c_str(), -1, &rect, DT_SINGLELINE | DT_NOPREFIX | alignment.format);
    POINT const corner = alignment.place(canvas.extent(text));
    std::vector<std::uint32_t> const expected = expected_pixels(100, 40, font, text, corner.x, corner.y);
    int differences = 0;
    for (int i = 0; i < 100 * 40; ++i) differences += canvas.pixels()[i] != expected[static_cast<std::size_t>(i)];
    EXPECT_EQ(differences, 0) << alignment.name;
    EXPECT_TRUE(canvas.any_ink());
    DeleteObject(font);
}

INSTANTIATE_TEST_SUITE_P(Alignments, AlignmentTest, ::testing::ValuesIn(alignments));

TEST(Text, IsClippedToItsRectangleUnlessNoClipIsAsked) {
    HFONT font = make_font(u"Tahoma", -16);
    TextCanvas canvas(80, 30, font);
    RECT rect{10, 5, 30, 25};
    DrawTextW(canvas.dc(), u"Wide text here", -1, &rect, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_FALSE(canvas.ink_outside(rect));
    EXPECT_TRUE(canvas.any_ink());
    DrawTextW(canvas.dc(), u"Wide text here", -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    EXPECT_TRUE(canvas.ink_outside(rect));
    DeleteObject(font);
}

TEST(Text, HonoursTheClipRegion) {
    HFONT font = make_font(u"Tahoma", -16);
    TextCanvas canvas(80, 30, font);
    IntersectClipRect(canvas.dc(), 0, 0, 12, 30);
    RECT rect{0, 0, 80, 30};
    DrawTextW(canvas.dc(), u"Wide text here", -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    EXPECT_FALSE(canvas.ink_outside(RECT{0, 0, 12, 30}));
    EXPECT_TRUE(canvas.any_ink());
    DeleteObject(font);
}

TEST(Text, OpaqueModeFillsTheTextsCellWithTheBackground) {
    HFONT font = make_font(u"Tahoma", -16);
    TextCanvas canvas(80, 30, font);
    SetBkMode(canvas.dc(), OPAQUE);
    SetBkColor(canvas.dc(), RGB(0, 0, 255));
    SetTextColor(canvas.dc(), RGB(255, 255, 255));
    RECT rect{0, 0, 80, 30};
    DrawTextW(canvas.dc(), u"ii", -1, &rect, DT_SINGLELINE | DT_NOPREFIX);
    SIZE const extent = canvas.extent(u"ii");
    EXPECT_EQ(canvas.pixel(0, extent.cy - 1), 0x000000FFu) << "inside the cell";
    EXPECT_EQ(canvas.pixel(extent.cx, 0), 0x00FFFFFFu) << "right of the cell";
    EXPECT_EQ(canvas.pixel(0, extent.cy), 0x00FFFFFFu) << "below the cell";
    DeleteObject(font);
}

TEST(Text, IsDrawnInTheTextColour) {
    HFONT font = make_font(u"Tahoma", -16);
    TextCanvas canvas(30, 30, font);
    SetTextColor(canvas.dc(), RGB(255, 0, 0));
    RECT rect{0, 0, 30, 30};
    DrawTextW(canvas.dc(), u"M", -1, &rect, DT_SINGLELINE | DT_NOPREFIX);
    int full = 0;
    for (int i = 0; i < 30 * 30; ++i) {
        std::uint32_t const pixel = canvas.pixels()[i];
        EXPECT_EQ(pixel >> 16, 0xFFu) << "red stays full and the alpha byte 0";
        EXPECT_EQ(pixel >> 8 & 0xFF, pixel & 0xFF) << "green and blue fade alike";
        full += pixel == 0x00FF0000;
    }
    EXPECT_GT(full, 0);
    DeleteObject(font);
}

TEST(Text, ColourAndModeAreKeptPerContext) {
    HFONT font = make_font(u"Tahoma", -16);
    TextCanvas canvas(4, 4, font);
    EXPECT_EQ(SetTextColor(canvas.dc(), RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(canvas.dc()), RGB(1, 2, 3));
    EXPECT_EQ(SetBkMode(canvas.dc(), OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetBkMode(canvas.dc(), 7), 0);
    EXPECT_EQ(GetBkMode(canvas.dc()), OPAQUE);
    DeleteObject(font);
}

}  // namespace
