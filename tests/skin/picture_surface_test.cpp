#include "skin/picture_surface.h"

#include <gtest/gtest.h>

#include "tests/skin/picture_fixture.h"

namespace {

using testing_support::ZipEntry;

class PictureSurfaceTest : public testing_support::DeviceTest {
protected:
    void SetUp() override { picture_fixture::use_stb_loader(); }
    void TearDown() override { skinner::set_picture_loader(nullptr); }
};

const skinner::PixelImage green = picture_fixture::image_of(4, 4, [](int, int) { return 0x00FF00; });
const skinner::PixelImage mask = picture_fixture::image_of(4, 4, [](int x, int) { return x < 2 ? 0 : 0xFFFFFF; });

TEST_F(PictureSurfaceTest, PowerOfTwoSurfaceIsClearOutsideTheTarget) {
    picture_fixture::write_skin(device, {ZipEntry("Plain.bmp", picture_fixture::bmp_of(green))});
    skinner::PictureRef plain(picture_fixture::skin_path, u"Plain");
    skinner::PictureSurface surface(plain, {10, 10}, true);
    ASSERT_EQ(surface.get_width(), 16);
    ASSERT_EQ(surface.get_height(), 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(surface.row(y)[x], x < 10 && y < 10 ? 0xFF00FF00u : 0u) << x << "," << y;
    skinner::PictureSurface exact(plain, {10, 3}, false);
    EXPECT_EQ(exact.get_width(), 10);
    EXPECT_EQ(exact.get_height(), 3);
}

TEST_F(PictureSurfaceTest, MaskBecomesAlpha) {
    picture_fixture::write_skin(device, {ZipEntry("Icon.bmp", picture_fixture::bmp_of(green)),
                                         ZipEntry("Icon_1.bmp", picture_fixture::bmp_of(mask))});
    skinner::PictureRef icon(picture_fixture::skin_path, u"Icon");
    skinner::PictureSurface surface(icon, {4, 4}, false);
    EXPECT_EQ(surface.row(1)[0] >> 24, 0u);
    EXPECT_EQ(surface.row(1)[3], 0xFF00FF00u);
}

TEST(PictureSurfaceCanvasTest, SnapshotIsOpaqueAndBlitsBack) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    {
        skinner::CanvasImpl impl(dc, {0, 0}, {8, 8});
        skinner::Canvas canvas(&impl);
        canvas.fill_rect({2, 2}, {2, 2}, 0x123456);
        skinner::PictureSurface snapshot(canvas, {1, 1}, {4, 4});
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(snapshot.row(y)[x] >> 24, 0xFFu);
        EXPECT_EQ(snapshot.row(1)[1] & 0xFFFFFF, 0x563412u);
        snapshot.blit_to(canvas, {4, 4});
        EXPECT_EQ(bits[5 * 8 + 5] & 0xFFFFFF, 0x563412u);
        snapshot.release();
        EXPECT_EQ(snapshot.get_bitmap(), nullptr);
        snapshot.blit_to(canvas, {0, 0});
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

}  // namespace
