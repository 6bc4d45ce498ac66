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

TEST_F(PictureSurfaceTest, AlternativeBlitSmoothsStretchedPieces) {
    // Two pixels, blue 0 and blue 255, stretched to eight.
    const skinner::PixelImage ramp = picture_fixture::image_of(2, 1, [](int x, int) { return x == 0 ? 0 : 0xFF; });
    picture_fixture::write_skin(device, {ZipEntry("Ramp.bmp", picture_fixture::bmp_of(ramp))});
    skinner::PictureRef picture(picture_fixture::skin_path, u"Ramp");
    skinner::PictureSurface plain(picture, {8, 1}, false);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(plain.row(0)[x], x < 4 ? 0xFF000000u : 0xFF0000FFu) << x;

    picture.set_alternative_blit(true);
    skinner::PictureRef other(picture_fixture::skin_path, u"Ramp");
    ASSERT_TRUE(other.get_picture()->has_alternative_blit());  // the flag belongs to the shared picture
    skinner::PictureSurface smooth(other, {8, 1}, false);
    const std::uint32_t expected_blue[8] = {0, 0, 32, 96, 159, 223, 255, 255};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(smooth.row(0)[x], 0xFF000000u | expected_blue[x]) << x;
    picture.set_alternative_blit(false);
}

// Where destination coordinate d of an extent lands in a pre-scaled picture axis whose first
// border is `first` long, middle one scale unit (2) long and last border `last` long: borders
// 1:1, the middle repeated two pixels at a time.
int repeated_axis(int d, int extent, int first, int last) {
    if (d < first) return d;
    if (d >= extent - last) return d - extent + first + 2 + last;
    return first + (d - first) % 2;
}

TEST_F(PictureSurfaceTest, EdgesOneScaledPixelLongRepeatAndTheCentreIsOneColour) {
    // A "_x2" picture 6 x 8: corners 2 wide, top border 4 high, bottom border 2; the edge and
    // centre pieces are 2 pixels long, every pixel a different colour and mask value.
    const skinner::PixelImage colour =
        picture_fixture::image_of(6, 8, [](int x, int y) { return 0x100000 * (x + 1) + 0x1000 * (y + 1) + 7; });
    const skinner::PixelImage alpha_mask =
        picture_fixture::image_of(6, 8, [](int x, int y) { return 0x20 * x + 3 * y + 1; });
    picture_fixture::write_skin(device, {ZipEntry("Frame_x2.bmp", picture_fixture::bmp_of(colour)),
                                         ZipEntry("Frame_x2_1.bmp", picture_fixture::bmp_of(alpha_mask))});
    auto expected = [&](int sx, int sy) {
        return (colour.at(sx, sy) & 0xFFFFFFu) | (alpha_mask.at(sx, sy) & 0xFFu) << 24;
    };
    const int width = 13, height = 15;
    for (bool stretch : {false, true}) {
        for (bool smooth : {false, true}) {
            skinner::PictureRef frame(picture_fixture::skin_path, u"Frame", stretch, 2);
            ASSERT_EQ(frame.get_picture()->get_width(), 6);
            frame.set_points({0, 0}, {2, 4}, {4, 6}, {6, 8});
            frame.set_alternative_blit(smooth);
            skinner::PictureSurface surface(frame, {width, height}, false);
            frame.set_alternative_blit(false);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    bool centre = x >= 2 && x < width - 2 && y >= 4 && y < height - 2;
                    std::uint32_t want = centre ? expected(2, 4)
                                                : expected(repeated_axis(x, width, 2, 2),
                                                           repeated_axis(y, height, 4, 2));
                    ASSERT_EQ(surface.row(y)[x], want)
                        << x << "," << y << " stretch " << stretch << " smooth " << smooth;
                }
        }
    }
}

TEST(SmoothStretchTest, StaysInsideItsSourceRectangle) {
    // Columns 0 and 3 are red; the piece is the two green columns between them.
    const skinner::PixelImage source =
        picture_fixture::image_of(4, 2, [](int x, int) { return x == 0 || x == 3 ? 0xFF0000 : 0x00FF00; });
    skinner::PixelImage target(9, 5, 0x12345678u);
    skinner::smooth_stretch_blit(target, {1, 1, 8, 4}, source, {1, 0, 3, 2});
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) {
            bool inside = x >= 1 && x < 8 && y >= 1 && y < 4;
            EXPECT_EQ(target.at(x, y), inside ? source.at(1, 0) : 0x12345678u) << x << "," << y;
        }
    skinner::smooth_stretch_blit(target, {0, 0, 0, 5}, source, {1, 0, 3, 2});
    skinner::smooth_stretch_blit(target, {0, 0, 9, 5}, source, {1, 0, 1, 2});
    EXPECT_EQ(target.at(0, 0), 0x12345678u);
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
