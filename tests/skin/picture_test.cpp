// Skin pictures loaded from a skin on the test device, drawn into in-memory pictures, and
// shared through the picture cache.
#include "skin/picture_ref.h"

#include <gtest/gtest.h>

#include "tests/skin/picture_fixture.h"

namespace {

using picture_fixture::image_of;
using skinner::PictureCache;
using skinner::PictureRef;
using skinner::PixelImage;
using testing_support::ZipEntry;

class PictureTest : public testing_support::DeviceTest {
protected:
    void SetUp() override { picture_fixture::use_stb_loader(); }
    void TearDown() override { skinner::set_picture_loader(nullptr); }

    const skinner::Picture* load(const std::u16string& name, int scale = 1) {
        held_ = PictureRef(picture_fixture::skin_path, name, true, scale);
        return held_.get_picture();
    }

    PictureRef held_;
};

const PixelImage red = image_of(4, 3, [](int, int) { return 0xFF0000; });
const PixelImage green = image_of(4, 3, [](int, int) { return 0x00FF00; });
const PixelImage mask = image_of(4, 3, [](int x, int) { return x == 0 ? 0 : 0xFFFFFF; });

std::uint32_t colour_at(const skinner::Picture* picture, int x, int y) {
    return picture->get_images().colour.at(x, y) & 0x00FFFFFF;
}

TEST_F(PictureTest, ArchiveEntriesWithMaskOrAlphaCompanion) {
    using picture_fixture::bmp_of;
    // The platform decoder reads pictures by their content, so bitmap data serves as ".gif".
    picture_fixture::write_skin(device, {ZipEntry("Button.gif", bmp_of(red)), ZipEntry("Button_1.gif", bmp_of(mask)),
                                         ZipEntry("Knob.bmp", bmp_of(green)), ZipEntry("Knob_8.bmp", bmp_of(mask))});
    const skinner::Picture* button = load(u"Button");
    ASSERT_TRUE(button && button->is_loaded());
    EXPECT_TRUE(button->has_mask());
    EXPECT_EQ(colour_at(button, 1, 1), 0xFF0000u);
    EXPECT_TRUE(button->is_transparent_at(0, 1));
    EXPECT_FALSE(button->is_transparent_at(1, 1));
    const skinner::Picture* knob = load(u"Knob");
    ASSERT_TRUE(knob && knob->is_loaded());
    EXPECT_TRUE(knob->has_alpha());
    EXPECT_FALSE(knob->is_transparent_at(0, 0));
}

TEST_F(PictureTest, FilesBesideTheSkin) {
    picture_fixture::write_skin(device, {},
                                {{"Back.png", picture_fixture::png_of(red)},
                                 {"Photo.jpg", picture_fixture::jpeg_of(green)},
                                 {"Plain.bmp", picture_fixture::bmp_of(green)}});
    const skinner::Picture* back = load(u"Back");
    ASSERT_TRUE(back && back->is_loaded());
    EXPECT_EQ(colour_at(back, 3, 2), 0xFF0000u);
    EXPECT_FALSE(back->has_mask());
    const skinner::Picture* photo = load(u"Photo");
    ASSERT_TRUE(photo && photo->is_loaded());
    EXPECT_NEAR(int(colour_at(photo, 1, 1) >> 8 & 0xFF), 255, 4);
    ASSERT_TRUE(load(u"Plain")->is_loaded());
    EXPECT_FALSE(load(u"Missing")->is_loaded());
}

TEST_F(PictureTest, OrderArchiveBeforeFilesAndARejectedEntryEndsIt) {
    picture_fixture::write_skin(device, {ZipEntry("Both.gif", picture_fixture::bmp_of(green)), ZipEntry("Broken.gif", "GIF89a junk")},
                                {{"Both.png", picture_fixture::png_of(red)}, {"Broken.png", picture_fixture::png_of(red)}});
    EXPECT_EQ(colour_at(load(u"Both"), 0, 0), 0x00FF00u);
    EXPECT_FALSE(load(u"Broken")->is_loaded());
}

TEST_F(PictureTest, ScaledVariantOrStretchedPlainPicture) {
    PixelImage big = image_of(8, 6, [](int, int) { return 0x0000FF; });
    picture_fixture::write_skin(device, {ZipEntry("Pre.bmp", picture_fixture::bmp_of(red)),
                                         ZipEntry("Pre_x2.bmp", picture_fixture::bmp_of(big)),
                                         ZipEntry("Plain.bmp", picture_fixture::bmp_of(red)),
                                         ZipEntry("Plain_1.bmp", picture_fixture::bmp_of(mask))});
    const skinner::Picture* pre = load(u"Pre", 2);
    ASSERT_TRUE(pre->is_loaded());
    EXPECT_EQ(colour_at(pre, 0, 0), 0x0000FFu);
    EXPECT_EQ(pre->get_width(), 8);
    const skinner::Picture* plain = load(u"Plain", 2);
    ASSERT_TRUE(plain->is_loaded());
    EXPECT_EQ(plain->get_width(), 8);
    EXPECT_EQ(plain->get_height(), 6);
    EXPECT_EQ(colour_at(plain, 7, 5), 0xFF0000u);
    EXPECT_TRUE(plain->is_transparent_at(1, 0));
    EXPECT_FALSE(plain->is_transparent_at(2, 0));
}

TEST_F(PictureTest, BitmapEntryThePlatformRejectsIsReadAsABitmapFile) {
    picture_fixture::use_stb_loader(true);
    std::string bmp = picture_fixture::bmp_of(red);
    std::string damaged = bmp.substr(0, 40);
    picture_fixture::write_skin(device, {ZipEntry("Good.bmp", bmp), ZipEntry("Damaged.bmp", damaged)});
    const skinner::Picture* good = load(u"Good");
    ASSERT_TRUE(good->is_loaded());
    EXPECT_EQ(colour_at(good, 2, 2), 0xFF0000u);
    EXPECT_FALSE(load(u"Damaged")->is_loaded());
}

// Every destination pixel of a drawn frame shows the picture pixel that map_point names.
void expect_drawn_as_mapped(const PictureRef& ref, POINT size) {
    PixelImage target(size.x + 4, size.y + 4, 0x12345678);
    ref.draw(target, {2, 2}, size);
    const PixelImage& colour = ref.get_picture()->get_images().colour;
    for (int y = 0; y < target.height; ++y)
        for (int x = 0; x < target.width; ++x) {
            POINT p = ref.map_point({x, y}, {2, 2}, {2 + size.x, 2 + size.y});
            std::uint32_t expected = p.x < 0 || p.y < 0 ? 0x12345678 : colour.at(p.x, p.y);
            ASSERT_EQ(target.at(x, y), expected) << x << "," << y << " of " << size.x << "x" << size.y;
        }
}

TEST_F(PictureTest, NinePartFramesTiledAndStretched) {
    PixelImage frame = image_of(30, 30, [](int x, int y) { return std::uint32_t(x * 8 + y * 2048 + 1); });
    picture_fixture::write_skin(device, {}, {{"Frame.png", picture_fixture::png_of(frame)}});
    for (bool stretch : {false, true}) {
        PictureRef ref(picture_fixture::skin_path, u"Frame", stretch);
        ref.set_points({0, 0}, {10, 10}, {20, 20}, {30, 30});
        for (POINT size : {POINT{50, 50}, POINT{30, 30}, POINT{21, 45}, POINT{97, 23}}) expect_drawn_as_mapped(ref, size);
        PictureRef whole(picture_fixture::skin_path, u"Frame", stretch);
        expect_drawn_as_mapped(whole, {64, 17});
    }
}

TEST_F(PictureTest, BordersLargerThanTheDestination) {
    PixelImage frame = image_of(16, 16, [](int x, int y) { return std::uint32_t(x + 16 * y + 1); });
    picture_fixture::write_skin(device, {}, {{"Frame.png", picture_fixture::png_of(frame)}});
    PictureRef ref(picture_fixture::skin_path, u"Frame", false);
    ref.set_points({0, 0}, {8, 8}, {8, 8}, {16, 16});
    PixelImage target(5, 1);
    ref.draw(target, {0, 0}, {5, 1});
    // Left corner keeps 3 columns, the right one 2 (the right loses the larger half); of the
    // rows the top keeps 1 and the bottom none.
    std::vector<std::uint32_t> row(target.pixels.begin(), target.pixels.end());
    EXPECT_EQ(row, (std::vector<std::uint32_t>{frame.at(0, 0), frame.at(1, 0), frame.at(2, 0), frame.at(14, 0), frame.at(15, 0)}));
    PixelImage nothing(4, 4, 7);
    ref.draw(nothing, {0, 0}, {0, 4});
    ref.draw(nothing, {0, 0}, {4, 0});
    EXPECT_EQ(nothing.pixels, std::vector<std::uint32_t>(16, 7));
}

TEST_F(PictureTest, OnePixelCentreIsFilledWithItsColour) {
    PixelImage dot = image_of(3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0xABCDEF : 0x111111; });
    picture_fixture::write_skin(device, {}, {{"Dot.png", picture_fixture::png_of(dot)}});
    PictureRef ref(picture_fixture::skin_path, u"Dot", false);
    ref.set_points({0, 0}, {1, 1}, {2, 2}, {3, 3});
    PixelImage target(10, 10);
    ref.draw(target, {0, 0}, {10, 10});
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 9; ++x) ASSERT_EQ(target.at(x, y) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(target.at(0, 0) & 0xFFFFFF, 0x111111u);
}

TEST_F(PictureTest, MaskedDrawingKeepsTheBackgroundUnderTransparentPixels) {
    PixelImage colour = image_of(4, 3, [](int x, int) { return x == 0 ? 0xFFFFFF : 0x0000FF; });
    picture_fixture::write_skin(device, {ZipEntry("Icon.bmp", picture_fixture::bmp_of(colour)),
                                         ZipEntry("Icon_1.bmp", picture_fixture::bmp_of(mask))});
    PictureRef ref(picture_fixture::skin_path, u"Icon");
    PixelImage target(4, 3, 0x00445566);
    ref.draw(target, {0, 0}, {4, 3});
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(target.at(0, y) & 0xFFFFFF, 0x445566u);
        EXPECT_EQ(target.at(1, y) & 0xFFFFFF, 0x0000FFu);
    }
    EXPECT_TRUE(ref.is_transparent_at({10, 5}, {10, 5}, {4, 3}));
    EXPECT_FALSE(ref.is_transparent_at({11, 5}, {10, 5}, {4, 3}));
    EXPECT_TRUE(ref.is_transparent_at({14, 5}, {10, 5}, {4, 3}));
    EXPECT_TRUE(PictureRef().is_transparent_at({0, 0}, {0, 0}, {4, 3}));
}

TEST_F(PictureTest, AlphaCompanionBlends) {
    PixelImage half = image_of(4, 3, [](int x, int) { return x < 2 ? 0x808080 : 0xFFFFFF; });
    picture_fixture::write_skin(device, {ZipEntry("Glow.bmp", picture_fixture::bmp_of(red)),
                                         ZipEntry("Glow_8.bmp", picture_fixture::bmp_of(half))});
    PictureRef ref(picture_fixture::skin_path, u"Glow");
    ASSERT_TRUE(ref.get_picture()->has_alpha());
    PixelImage target(4, 3, 0x000000FF);
    ref.draw(target, {0, 0}, {4, 3});
    std::uint32_t blended = target.at(0, 0);
    EXPECT_NEAR(int(blended >> 16 & 0xFF), 128, 2);
    EXPECT_NEAR(int(blended & 0xFF), 127, 2);
    // Opaque pixels come out within one step of the picture (the blend divides by 256).
    EXPECT_NEAR(int(target.at(3, 0) >> 16 & 0xFF), 255, 1);
    EXPECT_NEAR(int(target.at(3, 0) & 0xFF), 0, 1);
}

TEST_F(PictureTest, CacheSharesOnePicturePerSourceNameAndScale) {
    picture_fixture::write_skin(device, {ZipEntry("A.bmp", picture_fixture::bmp_of(red))});
    held_.release();
    const auto* map = PictureCache::get_map();
    ASSERT_NE(map, nullptr);
    {
        PictureRef first(picture_fixture::skin_path, u"A");
        PictureRef second(picture_fixture::skin_path, u"A", false);
        EXPECT_EQ(first.get_picture(), second.get_picture());
        EXPECT_EQ(map->size(), 1u);
        EXPECT_EQ(map->begin()->second.uses, 2u);
        PictureRef scaled(picture_fixture::skin_path, u"A", true, 2);
        EXPECT_NE(scaled.get_picture(), first.get_picture());
        EXPECT_EQ(map->size(), 2u);

        second.set_points({1, 1}, {2, 2}, {3, 3}, {4, 3});
        second.set_stretch(false);
        first = second;
        EXPECT_EQ(map->begin()->second.uses, 2u);
        EXPECT_EQ(first.get_points()[3].x, 4);
        EXPECT_FALSE(first.get_stretch());
        first = first;
        EXPECT_EQ(map->begin()->second.uses, 2u);
        PictureRef empty, empty_copy(empty);
        empty_copy = empty;
        EXPECT_EQ(empty_copy.get_picture(), nullptr);
        first = empty;
        EXPECT_EQ(map->begin()->second.uses, 1u);
        empty.release();
    }
    EXPECT_TRUE(map->empty());
}

TEST(PictureCacheTest, TheLastReferenceDeletesTheCache) {
    EXPECT_EQ(PictureCache::get_map(), nullptr);
    {
        PictureRef first;
        EXPECT_NE(PictureCache::get_map(), nullptr);
        EXPECT_EQ(first.get_size().x, 0);
    }
    EXPECT_EQ(PictureCache::get_map(), nullptr);
    EXPECT_EQ(PictureCache::get_users(), 0u);
}

TEST(PictureCacheTest, SizesOfThePicturePart) {
    PictureRef ref;
    ref.set_points({2, 3}, {6, 5}, {20, 9}, {30, 12});
    EXPECT_EQ(ref.get_size().x, 28);
    EXPECT_EQ(ref.get_size().y, 9);
    EXPECT_EQ(ref.get_min_size().x, 14);
    EXPECT_EQ(ref.get_min_size().y, 5);
    PixelImage target(4, 4, 9);
    ref.draw(target, {0, 0}, {4, 4});
    EXPECT_EQ(target.pixels, std::vector<std::uint32_t>(16, 9));
}

}  // namespace
