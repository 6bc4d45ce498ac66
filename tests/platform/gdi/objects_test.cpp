// Handles of drawing objects: kinds, selection, deletion and the screen's capabilities.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "tests/support/scoped_environment.h"
#include "surface_fixture.h"

using gdi_testing::Canvas;

namespace {

TEST(DrawingHandles, AHandleOfTheWrongKindOrNoObjectFails) {
    Canvas canvas(2, 2);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    RECT rect{0, 0, 2, 2};
    int garbage = 0;
    EXPECT_EQ(FillRect(canvas.dc(), &rect, reinterpret_cast<HBRUSH>(pen)), 0);
    EXPECT_EQ(FillRect(reinterpret_cast<HDC>(brush), &rect, brush), 0);
    EXPECT_EQ(FillRect(canvas.dc(), &rect, reinterpret_cast<HBRUSH>(&garbage)), 0);
    EXPECT_EQ(SelectObject(canvas.dc(), canvas.dc()), nullptr);
    EXPECT_EQ(SelectObject(canvas.dc(), &garbage), nullptr);
    EXPECT_FALSE(DeleteObject(canvas.dc()));
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(pen)));
    EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(&garbage), 0, 0), CLR_INVALID);
    EXPECT_EQ(GetObjectType(&garbage), 0u);
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
    EXPECT_EQ(GetObjectType(canvas.dc()), OBJ_MEMDC);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(FillRect(canvas.dc(), &rect, brush), 0) << "a deleted brush";
    EXPECT_FALSE(DeleteObject(brush)) << "deleted twice";
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(DrawingHandles, ABitmapIsSelectedIntoOneContextAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);
    HGDIOBJ original = SelectObject(first, bitmap);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(GetObjectType(original), OBJ_BITMAP) << "a new context holds a 1 x 1 bitmap";
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap)) << "selected";
    EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "selecting it again into its own context";
    EXPECT_EQ(SelectObject(first, original), bitmap);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(bitmap)) << "deleting the context let the bitmap go";
    DeleteDC(first);
}

TEST(DrawingHandles, StockObjectsSurviveDeletion) {
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    ASSERT_NE(black, nullptr);
    EXPECT_TRUE(DeleteObject(black));
    Canvas canvas(1, 1);
    canvas.paint({"."});
    RECT rect{0, 0, 1, 1};
    EXPECT_EQ(FillRect(canvas.dc(), &rect, static_cast<HBRUSH>(black)), 1);
    EXPECT_EQ(canvas.picture(), std::vector<std::string>{"#"});
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_EQ(GetObjectType(GetCurrentObject(canvas.dc(), OBJ_PEN)), OBJ_PEN);
}

TEST(DrawingHandles, SelectObjectReturnsWhatItReplaced) {
    Canvas canvas(1, 1);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ previous = SelectObject(canvas.dc(), pen);
    EXPECT_EQ(previous, GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(canvas.dc(), previous), pen);
    LOGPEN description{};
    EXPECT_EQ(GetObjectW(pen, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.lopnColor, RGB(1, 2, 3));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(Regions, CombineAndQuery) {
    HRGN a = CreateRectRgn(0, 0, 4, 4);
    HRGN b = CreateRectRgn(2, 2, 6, 6);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        int kind;
        RECT box;
    };
    Case const cases[] = {{RGN_AND, SIMPLEREGION, {2, 2, 4, 4}},
                          {RGN_OR, COMPLEXREGION, {0, 0, 6, 6}},
                          {RGN_XOR, COMPLEXREGION, {0, 0, 6, 6}},
                          {RGN_DIFF, COMPLEXREGION, {0, 0, 4, 4}},
                          {RGN_COPY, SIMPLEREGION, {0, 0, 4, 4}}};
    for (Case const& c : cases) {
        EXPECT_EQ(CombineRgn(result, a, b, c.mode), c.kind) << c.mode;
        RECT box{};
        GetRgnBox(result, &box);
        EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}),
                  std::vector<LONG>({c.box.left, c.box.top, c.box.right, c.box.bottom}))
            << c.mode;
    }
    CombineRgn(result, a, b, RGN_XOR);
    EXPECT_FALSE(PtInRegion(result, 3, 3));
    EXPECT_TRUE(PtInRegion(result, 5, 5));
    EXPECT_EQ(CombineRgn(result, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(result, a, b, 9), ERROR);
    EXPECT_EQ(CombineRgn(result, a, reinterpret_cast<HRGN>(GetStockObject(BLACK_PEN)), RGN_OR), ERROR);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(result);
}

TEST(Regions, TheClipBoxIsTheClipWithinTheSurface) {
    Canvas canvas(10, 8);
    RECT box{};
    EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_EQ(IntersectClipRect(canvas.dc(), 5, 5, 20, 20), SIMPLEREGION);
    GetClipBox(canvas.dc(), &box);
    EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}), std::vector<LONG>({5, 5, 10, 8}));
    EXPECT_EQ(IntersectClipRect(canvas.dc(), 0, 0, 2, 2), NULLREGION);
    HRGN copy = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetClipRgn(canvas.dc(), copy), 1);
    EXPECT_EQ(GetRgnBox(copy, &box), NULLREGION);
    SelectClipRgn(canvas.dc(), nullptr);
    EXPECT_EQ(GetClipRgn(canvas.dc(), copy), 0);
    DeleteObject(copy);
}

TEST(DeviceCaps, TheScreenFollowsTheDisplaySize) {
    struct Case {
        char const* setting;
        int width;
        int height;
        int dots_per_inch;
    };
    Case const cases[] = {{nullptr, 480, 640, 192},
                          {"240x320", 240, 320, 96},
                          {"480x640", 480, 640, 192},
                          {"480x800", 480, 800, 192},
                          {"1x1", 480, 640, 192}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (Case const& c : cases) {
        testing_support::ScopedEnvironment size("SONBRIX_DISPLAY_SIZE", c.setting);
        char const* name = c.setting != nullptr ? c.setting : "unset";
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), c.width) << name;
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), c.height) << name;
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), c.dots_per_inch) << name;
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), c.dots_per_inch) << name;
        EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32) << name;
    }
    DeleteDC(dc);
}

}  // namespace
