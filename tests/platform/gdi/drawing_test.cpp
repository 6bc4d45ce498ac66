// Small drawings into 32-bit surfaces compared pixel by pixel with the expected pictures.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/gdi.h"
#include "surface_fixture.h"

using gdi_testing::Canvas;

namespace {

// A source of 4 x 2 pixels in its own memory context.
struct Source {
    explicit Source(std::vector<std::string> const& rows)
        : canvas(static_cast<int>(rows[0].size()), static_cast<int>(rows.size())) {
        canvas.paint(rows);
    }
    Canvas canvas;
};

void fill(HDC dc, RECT rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void line(HDC dc, std::vector<POINT> const& points, COLORREF colour, int width = 1) {
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ previous = SelectObject(dc, pen);
    Polyline(dc, points.data(), static_cast<int>(points.size()));
    SelectObject(dc, previous);
    DeleteObject(pen);
}

struct Drawing {
    char const* name;
    std::vector<std::string> before;
    std::function<void(Canvas&)> draw;
    std::vector<std::string> expected;
};

std::vector<Drawing> const drawings = {
    {"a fill stops before the right and bottom edges",
     {"......", "......", "......"},
     [](Canvas& c) { fill(c.dc(), {1, 0, 4, 2}, RGB(255, 0, 0)); },
     {".rrr..", ".rrr..", "......"}},
    {"an inverted or empty rectangle fills nothing",
     {"....", "...."},
     [](Canvas& c) {
         fill(c.dc(), {3, 0, 1, 2}, RGB(255, 0, 0));
         fill(c.dc(), {1, 1, 1, 2}, RGB(255, 0, 0));
     },
     {"....", "...."}},
    {"nested clip rectangles narrow the fill to their overlap",
     {"........", "........", "........", "........"},
     [](Canvas& c) {
         IntersectClipRect(c.dc(), 1, 1, 6, 4);
         IntersectClipRect(c.dc(), 3, 0, 8, 3);
         fill(c.dc(), {0, 0, 8, 4}, RGB(0, 0, 255));
     },
     {"........", "...bbb..", "...bbb..", "........"}},
    {"a clip region of two rectangles, then no clip again",
     {"......", "......", "......"},
     [](Canvas& c) {
         HRGN left = CreateRectRgn(0, 0, 2, 2);
         HRGN right = CreateRectRgn(4, 1, 6, 3);
         CombineRgn(left, left, right, RGN_OR);
         SelectClipRgn(c.dc(), left);
         fill(c.dc(), {0, 0, 6, 3}, RGB(0, 255, 0));
         SelectClipRgn(c.dc(), nullptr);
         fill(c.dc(), {2, 2, 3, 3}, RGB(255, 0, 0));
         DeleteObject(left);
         DeleteObject(right);
     },
     {"gg....", "gg..gg", "..r.gg"}},
    {"a clip rectangle wholly outside draws nothing",
     {"....", "...."},
     [](Canvas& c) {
         IntersectClipRect(c.dc(), 0, 0, 2, 2);
         IntersectClipRect(c.dc(), 2, 0, 4, 2);
         fill(c.dc(), {0, 0, 4, 2}, RGB(0, 0, 0));
         SetPixel(c.dc(), 3, 1, RGB(0, 0, 0));
     },
     {"....", "...."}},
    {"a line leaves out its end point; a polyline joins its segments",
     {".......", ".......", ".......", "......."},
     [](Canvas& c) { line(c.dc(), {{1, 0}, {5, 0}, {5, 3}}, RGB(0, 0, 0)); },
     {".#####.", ".....#.", ".....#.", "......."}},
    {"a diagonal line",
     {".....", ".....", ".....", "....."},
     [](Canvas& c) { line(c.dc(), {{0, 0}, {4, 4}}, RGB(255, 0, 0)); },
     {"r....", ".r...", "..r..", "...r."}},
    {"MoveToEx and LineTo draw from the current position",
     {".....", ".....", "....."},
     [](Canvas& c) {
         HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
         HGDIOBJ previous = SelectObject(c.dc(), pen);
         MoveToEx(c.dc(), 0, 1, nullptr);
         LineTo(c.dc(), 3, 1);
         LineTo(c.dc(), 3, 3);
         SelectObject(c.dc(), previous);
         DeleteObject(pen);
     },
     {".....", "bbbb.", "...b."}},
    {"lines under a clip",
     {"......", "......", "......"},
     [](Canvas& c) {
         IntersectClipRect(c.dc(), 2, 0, 4, 3);
         line(c.dc(), {{0, 1}, {6, 1}}, RGB(0, 0, 0));
     },
     {"......", "..##..", "......"}},
    {"a wide pen draws a square per point",
     {".....", ".....", ".....", "....."},
     [](Canvas& c) { line(c.dc(), {{1, 1}, {3, 1}}, RGB(0, 255, 0), 2); },
     {"ggg..", "ggg..", ".....", "....."}},
    {"SetPixel inside and outside the surface",
     {"...", "..."},
     [](Canvas& c) {
         EXPECT_EQ(SetPixel(c.dc(), 1, 1, RGB(255, 0, 255)), RGB(255, 0, 255));
         EXPECT_EQ(SetPixel(c.dc(), 3, 0, RGB(255, 0, 255)), CLR_INVALID);
         EXPECT_EQ(SetPixel(c.dc(), -1, 0, RGB(255, 0, 255)), CLR_INVALID);
     },
     {"...", ".m."}},
};

class DrawingTest : public ::testing::TestWithParam<Drawing> {};

TEST_P(DrawingTest, MatchesTheExpectedPicture) {
    Drawing const& drawing = GetParam();
    Canvas canvas(static_cast<int>(drawing.before[0].size()), static_cast<int>(drawing.before.size()));
    canvas.paint(drawing.before);
    drawing.draw(canvas);
    EXPECT_EQ(canvas.picture(), drawing.expected) << drawing.name;
}

INSTANTIATE_TEST_SUITE_P(Drawings, DrawingTest, ::testing::ValuesIn(drawings));

// ---- Blits -----------------------------------------------------------------------------

struct Blit {
    char const* name;
    std::vector<std::string> destination;
    std::vector<std::string> source;
    std::function<void(HDC destination, HDC source)> draw;
    std::vector<std::string> expected;
};

std::vector<Blit> const blits = {
    {"SRCCOPY copies a block to a place",
     {"......", "......", "......"}, {"rg", "bc"},
     [](HDC d, HDC s) { BitBlt(d, 3, 1, 2, 2, s, 0, 0, SRCCOPY); },
     {"......", "...rg.", "...bc."}},
    {"SRCCOPY copies the alpha byte too",
     {"...."}, {"AR"},
     [](HDC d, HDC s) { BitBlt(d, 1, 0, 2, 1, s, 0, 0, SRCCOPY); },
     {".AR."}},
    {"SRCPAINT ors the source into the destination",
     {"rg#b"}, {"gb#W"},
     [](HDC d, HDC s) { BitBlt(d, 0, 0, 4, 1, s, 0, 0, SRCPAINT); },
     {"yc#W"}},
    {"SRCAND ands the source into the destination",
     {"yc.W"}, {"gbrA"},
     [](HDC d, HDC s) { BitBlt(d, 0, 0, 4, 1, s, 0, 0, SRCAND); },
     {"gbrA"}},
    {"a mask ORed and a picture ANDed: white-masked pixels keep the background",
     {"rrrr"}, {".#.#", "g.b."},
     [](HDC d, HDC s) {
         BitBlt(d, 0, 0, 4, 1, s, 0, 0, SRCPAINT);
         BitBlt(d, 0, 0, 4, 1, s, 0, 1, SRCAND);
     },
     {"grbr"}},
    {"a source partly outside its bitmap copies only what exists",
     {"....", "...."}, {"rg", "bc"},
     [](HDC d, HDC s) { BitBlt(d, 0, 0, 3, 2, s, 1, 0, SRCCOPY); },
     {"g...", "c..."}},
    {"a blit under a clip",
     {"....", "...."}, {"rrrr", "rrrr"},
     [](HDC d, HDC s) {
         IntersectClipRect(d, 1, 1, 3, 2);
         BitBlt(d, 0, 0, 4, 2, s, 0, 0, SRCCOPY);
     },
     {"....", ".rr."}},
    {"stretching up twice",
     {"....", "....", "....", "...."}, {"rg", "bc"},
     [](HDC d, HDC s) { StretchBlt(d, 0, 0, 4, 4, s, 0, 0, 2, 2, SRCCOPY); },
     {"rrgg", "rrgg", "bbcc", "bbcc"}},
    {"stretching down to half takes every second pixel",
     {"..", ".."}, {"rgbc", "ymW#", "#...", "...."},
     [](HDC d, HDC s) { StretchBlt(d, 0, 0, 2, 2, s, 0, 0, 4, 4, SRCCOPY); },
     {"rb", "#."}},
    {"stretching 3 to 5 takes the nearest source pixel, a tie the lower",
     {"....."}, {"rgb"},
     [](HDC d, HDC s) { StretchBlt(d, 0, 0, 5, 1, s, 0, 0, 3, 1, SRCCOPY); },
     {"rrgbb"}},
    {"a stretched mask and picture",
     {"cccc"}, {".#", "r."},
     [](HDC d, HDC s) {
         StretchBlt(d, 0, 0, 4, 1, s, 0, 0, 2, 1, SRCPAINT);
         StretchBlt(d, 0, 0, 4, 1, s, 0, 1, 2, 1, SRCAND);
     },
     {"rrcc"}},
    {"a stretch under a clip",
     {"....", "...."}, {"rg"},
     [](HDC d, HDC s) {
         IntersectClipRect(d, 1, 0, 3, 1);
         StretchBlt(d, 0, 0, 4, 2, s, 0, 0, 2, 1, SRCCOPY);
     },
     {".rg.", "...."}},
};

class BlitTest : public ::testing::TestWithParam<Blit> {};

TEST_P(BlitTest, MatchesTheExpectedPicture) {
    Blit const& blit = GetParam();
    Canvas destination(static_cast<int>(blit.destination[0].size()), static_cast<int>(blit.destination.size()));
    destination.paint(blit.destination);
    Source source(blit.source);
    blit.draw(destination.dc(), source.canvas.dc());
    EXPECT_EQ(destination.picture(), blit.expected) << blit.name;
}

INSTANTIATE_TEST_SUITE_P(Blits, BlitTest, ::testing::ValuesIn(blits));

TEST(Blit, WithinOneSurfaceCopiesOverlappingBlocksWhole) {
    Canvas canvas(5, 1);
    canvas.paint({"rgb.."});
    BitBlt(canvas.dc(), 1, 0, 3, 1, canvas.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.picture(), std::vector<std::string>{"rrgb."});
}

TEST(Blit, PatternOperationsUseTheSelectedBrush) {
    Canvas canvas(3, 1);
    canvas.paint({"..."});
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(canvas.dc(), brush);
    PatBlt(canvas.dc(), 0, 0, 2, 1, PATCOPY);
    PatBlt(canvas.dc(), 2, 0, 1, 1, BLACKNESS);
    SelectObject(canvas.dc(), previous);
    DeleteObject(brush);
    EXPECT_EQ(canvas.picture(), std::vector<std::string>{"bb#"});
}

TEST(Blit, StretchRefusesSizesThatAreNotPositive) {
    Canvas destination(2, 2);
    Canvas source(2, 2);
    EXPECT_FALSE(StretchBlt(destination.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 0, 2, SRCCOPY));
    EXPECT_FALSE(StretchBlt(destination.dc(), 0, 0, -2, 2, source.dc(), 0, 0, 1, 2, SRCCOPY));
}

}  // namespace

namespace {

TEST(FarCoordinates, DrawOnlyWhatFallsOnTheSurface) {
    Canvas canvas(4, 3);
    canvas.paint({"....", "....", "...."});
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ previous = SelectObject(canvas.dc(), pen);
    MoveToEx(canvas.dc(), -2000000000, 1, nullptr);
    LineTo(canvas.dc(), 2000000000, 1);
    SelectObject(canvas.dc(), previous);
    DeleteObject(pen);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old_brush = SelectObject(canvas.dc(), brush);
    PatBlt(canvas.dc(), 2147483000, 0, 2147483000, 5, PATCOPY);
    PatBlt(canvas.dc(), -2147483000, 2, 2147483000, 5, PATCOPY);
    BitBlt(canvas.dc(), 2147483640, 0, 100, 100, canvas.dc(), -2147483640, 0, SRCCOPY);
    SelectObject(canvas.dc(), old_brush);
    DeleteObject(brush);
    EXPECT_EQ(SetPixel(canvas.dc(), 2147483647, 0, RGB(0, 0, 0)), CLR_INVALID);
    EXPECT_EQ(canvas.picture(), (std::vector<std::string>{"....", "####", "...."}));
}

}  // namespace
