// The canvas, pictures and texts drawn through the drawing layer into a 32-bit DIB section.
#include "skin/canvas.h"

#include <gtest/gtest.h>

#include "skin/font_ref.h"
#include "skin/picture_ref.h"
#include "tests/skin/picture_fixture.h"

namespace {

using skinner::Canvas;
using skinner::CanvasImpl;

// A memory context with a top-down 32-bit DIB section selected, pixels reachable.
class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Surface() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }
    std::uint32_t at(int x, int y) const { return bits_[y * width_ + x] & 0x00FFFFFF; }
    void fill(std::uint32_t value) { std::fill(bits_, bits_ + width_ * height_, value); }
    // Pixels in the rectangle that differ from the value.
    int count_not(std::uint32_t value, RECT r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += at(x, y) != value;
        return n;
    }

private:
    int width_, height_;
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ previous_;
    std::uint32_t* bits_ = nullptr;
};

constexpr COLORREF red = 0x0000FF;  // red | green << 8 | blue << 16
constexpr std::uint32_t red_pixel = 0xFF0000;

TEST(CanvasTest, FillsAndLinesStayInsideTheClip) {
    Surface surface(20, 20);
    CanvasImpl impl(surface.dc(), {2, 2}, {16, 16});
    Canvas canvas(&impl);
    canvas.fill_rect({0, 0}, {20, 20}, red);
    EXPECT_EQ(surface.count_not(red_pixel, {2, 2, 18, 18}), 0);
    EXPECT_EQ(surface.at(1, 1), 0u);
    EXPECT_EQ(surface.at(18, 18), 0u);
    canvas.fill_rect({5, 5}, {0, 4}, 0xFFFFFF);
    EXPECT_EQ(surface.count_not(red_pixel, {2, 2, 18, 18}), 0);

    canvas.push_clip({10, 10}, {20, 20});
    EXPECT_EQ(canvas.get_clip().right, 18);
    canvas.draw_line({0, 12}, {20, 12}, 0xFFFFFF);
    EXPECT_EQ(surface.at(9, 12), red_pixel);
    EXPECT_EQ(surface.at(10, 12), 0xFFFFFFu);
    EXPECT_EQ(surface.at(17, 12), 0xFFFFFFu);
    EXPECT_EQ(surface.at(18, 12), 0u);
    canvas.push_clip({30, 30}, {5, 5});
    EXPECT_EQ(canvas.get_clip().right, canvas.get_clip().left);
    canvas.fill_rect({0, 0}, {20, 20}, 0x00FF00);
    EXPECT_EQ(surface.count_not(0x00FF00, {0, 0, 20, 20}), 400);
    canvas.pop_clip();
    canvas.pop_clip();
    canvas.pop_clip();
    canvas.fill_rect({0, 0}, {20, 20}, 0x00FF00);
    EXPECT_EQ(surface.count_not(0x00FF00, {2, 2, 18, 18}), 0);
    EXPECT_EQ(surface.at(1, 1), 0u);
}

TEST(CanvasTest, EndPointOfALineIsNotDrawn) {
    Surface surface(10, 3);
    CanvasImpl impl(surface.dc(), {0, 0}, {10, 3});
    impl.draw_line({1, 1}, {6, 1}, red);
    EXPECT_EQ(surface.count_not(0, {1, 1, 6, 2}), 5);
    EXPECT_EQ(surface.at(6, 1), 0u);
}

class CanvasPictureTest : public testing_support::DeviceTest {};

TEST_F(CanvasPictureTest, PicturesThroughThePlatformDecoderDrawOnTheCanvasWithinItsClip) {
    skinner::set_picture_loader(nullptr);
    skinner::PixelImage blue = picture_fixture::image_of(4, 4, [](int, int) { return 0x0000FF; });
    // The platform decoder reads pictures by their content: bitmap data serves as ".gif".
    picture_fixture::write_skin(device, {testing_support::ZipEntry("Tile.gif", picture_fixture::bmp_of(blue))});
    skinner::PictureRef tile(picture_fixture::skin_path, u"Tile", false);
    ASSERT_TRUE(tile.get_picture() && tile.get_picture()->is_loaded());
    Surface surface(12, 12);
    CanvasImpl impl(surface.dc(), {0, 0}, {12, 12});
    Canvas canvas(&impl);
    canvas.push_clip({0, 0}, {6, 12});
    tile.draw(canvas, {2, 2}, {8, 8});
    EXPECT_EQ(surface.count_not(0x0000FF, {2, 2, 6, 10}), 0);
    EXPECT_EQ(surface.count_not(0, {6, 0, 12, 12}), 0);
    EXPECT_EQ(surface.count_not(0, {0, 0, 2, 12}), 0);
}

TEST(FontRefTextTest, MeasuresAndDrawsThroughThePlatformFonts) {
    skinner::FontRef empty;
    EXPECT_EQ(empty.measure_text(u"text").cx, 0);
    EXPECT_EQ(empty.measure_text(u"text").cy, 0);
    skinner::FontRef font;
    ASSERT_TRUE(font.set_description(u"14 1 0 0 Tahoma"));
    ASSERT_NE(font.get_handle(), nullptr);
    SIZE none = font.measure_text(u"");
    EXPECT_EQ(none.cx, 0);
    SIZE play = font.measure_text(u"Play");
    SIZE longer = font.measure_text(u"Play all");
    EXPECT_GT(play.cx, 0);
    EXPECT_GT(play.cy, 0);
    EXPECT_GT(longer.cx, play.cx);

    Surface surface(200, 40);
    CanvasImpl impl(surface.dc(), {0, 0}, {200, 40});
    Canvas canvas(&impl);
    font.draw_text(canvas, 0xFFFFFF, u"Play", {10, 5}, {100, 30}, 0, 0);
    EXPECT_GT(surface.count_not(0, {10, 5, 110, 35}), 0);
    EXPECT_EQ(surface.count_not(0, {0, 0, 10, 40}), 0);
    empty.draw_text(canvas, 0xFFFFFF, u"Play", {150, 5}, {40, 30}, 0, 0);
    EXPECT_EQ(surface.count_not(0, {150, 0, 200, 40}), 0);
}

TEST(FontRefTextTest, EllipsisTextsStayInTheirBox) {
    skinner::FontRef font;
    ASSERT_TRUE(font.set_description(u"12 0 0 0 Tahoma"));
    std::u16string text = u"A long recording name.wav";
    int box = font.measure_text(text).cx / 2;
    for (bool left : {false, true}) {
        Surface surface(300, 30);
        CanvasImpl impl(surface.dc(), {0, 0}, {300, 30});
        Canvas canvas(&impl);
        // A box as wide as the surface, so nothing is cut by clipping: only the fitted text.
        if (left)
            font.draw_text_left_ellipsis(canvas, 0xFFFFFF, text, {0, 0}, {box, 30}, 0, 0);
        else
            font.draw_text_ellipsis(canvas, 0xFFFFFF, text, {0, 0}, {box, 30}, 0, 0);
        EXPECT_GT(surface.count_not(0, {0, 0, box, 30}), 0);
        EXPECT_EQ(surface.count_not(0, {box + 1, 0, 300, 30}), 0) << left;
    }
    Surface surface(300, 30);
    CanvasImpl impl(surface.dc(), {0, 0}, {300, 30});
    Canvas canvas(&impl);
    font.draw_text_ellipsis(canvas, 0xFFFFFF, u"Fits", {0, 0}, {300, 30}, 0, 0);
    Surface plain(300, 30);
    CanvasImpl plain_impl(plain.dc(), {0, 0}, {300, 30});
    Canvas plain_canvas(&plain_impl);
    font.draw_text(plain_canvas, 0xFFFFFF, u"Fits", {0, 0}, {300, 30}, 0, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(surface.at(x, y), plain.at(x, y));
}

}  // namespace
