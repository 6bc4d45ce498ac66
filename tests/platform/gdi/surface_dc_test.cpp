// A device context on a surface that is not a bitmap, as a window's will be: its origin
// and visible area.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi.h"
#include "platform/linux/gdi/surface_dc.h"
#include "surface_fixture.h"

namespace {

class PlainSurface : public platform::gdi::PixelSurface {
public:
    PlainSurface(int width, int height) : width_(width), height_(height), pixels_(width * height, 0x00FFFFFF) {}
    std::uint32_t* pixels() override { return pixels_.data(); }
    int width() const override { return width_; }
    int height() const override { return height_; }
    int stride() const override { return width_; }
    std::vector<std::string> picture() const {
        std::vector<std::string> rows;
        for (int y = 0; y < height_; ++y) {
            std::string row;
            for (int x = 0; x < width_; ++x) row.push_back(pixels_[y * width_ + x] == 0x00FFFFFF ? '.' : '#');
            rows.push_back(row);
        }
        return rows;
    }

private:
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

TEST(SurfaceDc, DrawsAtItsOriginWithinTheVisibleAreaAndTheClip) {
    PlainSurface surface(6, 4);
    HDC dc = platform::gdi::create_surface_dc(surface, POINT{2, 1}, {RECT{0, 0, 5, 4}});
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    RECT rect{0, 0, 10, 2};
    FillRect(dc, &rect, brush);
    EXPECT_EQ(surface.picture(), (std::vector<std::string>{"......", "..###.", "..###.", "......"}));
    IntersectClipRect(dc, 0, 2, 1, 3);
    RECT all{-5, -5, 10, 10};
    FillRect(dc, &all, brush);
    EXPECT_EQ(surface.picture(), (std::vector<std::string>{"......", "..###.", "..###.", "..#..."}));
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr) << "only memory contexts take bitmaps";
    DeleteObject(bitmap);
    PlainSurface moved(3, 1);
    EXPECT_TRUE(platform::gdi::retarget_surface_dc(dc, moved, POINT{0, 0}, {RECT{0, 0, 3, 1}}));
    SelectClipRgn(dc, nullptr);
    FillRect(dc, &all, brush);
    EXPECT_EQ(moved.picture(), std::vector<std::string>{"###"});
    DeleteObject(brush);
    DeleteDC(dc);
}

}  // namespace
