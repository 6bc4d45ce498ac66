// Skins loaded with their pictures and fonts in the program's caches: picture and font
// properties come back as references that draw and measure.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "skin/properties.h"
#include "skin/skin_resources.h"
#include "tests/skin/picture_fixture.h"
#include "tests/skin/skin_fixture.h"
#include "tools/skin_compiler/skin_compiler.h"

namespace {

using skinner::PictureRef;
using skinner::PixelImage;
using skinner::Size;

std::string read_host_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SkinResourcesTest : public testing_support::DeviceTest {
protected:
    void TearDown() override { skinner::set_picture_loader(nullptr); }

    // The sample skin as the build compiled it, with the pictures beside it, on the device.
    std::unique_ptr<skinner::Properties> sample(Size screen) {
        std::filesystem::path built = std::filesystem::path(SONBRIX_SAMPLE_SKIN).parent_path();
        for (const auto& entry : std::filesystem::directory_iterator(built)) {
            testing_support::write_host_file(device.host_path("skins/Sample/" + entry.path().filename().string()),
                                             read_host_file(entry.path()));
        }
        return std::make_unique<skinner::Properties>(
            std::make_unique<skinner::PropertiesImpl>(u"\\skins\\Sample\\Sample.skin", screen));
    }

    skin_test::CaughtReports reports;
    skin_test::FixedWorkArea area{{240, 268}};
};

void expect_points(const PictureRef& picture, POINT origin, POINT middle_begin, POINT middle_end, POINT end) {
    const POINT* points = picture.get_points();
    const POINT expected[4] = {origin, middle_begin, middle_end, end};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points[i].x, expected[i].x) << "point " << i;
        EXPECT_EQ(points[i].y, expected[i].y) << "point " << i;
    }
}

TEST_F(SkinResourcesTest, SamplePicturePropertiesShareTheSkinsPicturesWithTheirOwnBands) {
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        skin_test::FixedWorkArea scaled_area({240 * scale, 268 * scale});
        auto properties = sample({240 * scale, 320 * scale});
        ASSERT_TRUE(properties->get_skin().is_valid());
        ASSERT_EQ(properties->get_skin().get_scale(), scale);

        PictureRef pressed = properties->get_picture(u"Main", u"btnPlay", u"Pressed", {});
        ASSERT_FALSE(pressed.is_empty());
        ASSERT_TRUE(pressed.get_picture()->is_loaded());
        EXPECT_EQ(pressed.get_picture()->get_width(), 40 * scale);
        EXPECT_FALSE(pressed.get_stretch());
        expect_points(pressed, {20 * scale, 0}, {22 * scale, 2 * scale}, {38 * scale, 18 * scale},
                      {40 * scale, 20 * scale});

        PictureRef normal = properties->get_picture(u"Main", u"btnPlay", u"Normal", {});
        EXPECT_EQ(normal.get_picture(), pressed.get_picture());

        PictureRef background = properties->get_form_picture(u"Main", u"Background", {});
        ASSERT_FALSE(background.is_empty());
        EXPECT_TRUE(background.get_stretch());
        EXPECT_NE(background.get_picture(), pressed.get_picture());

        // The buttons are orange under an all-opaque mask.
        PixelImage target(20 * scale, 20 * scale, 0xFF000000u);
        pressed.draw(target, {0, 0}, {20 * scale, 20 * scale});
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) ASSERT_EQ(target.at(x, y) & 0xFFFFFFu, 0xFF8000u) << x << "," << y;

        PictureRef fallback(u"", u"none");
        fallback.set_stretch(false);
        PictureRef missing = properties->get_picture(u"Main", u"btnPlay", u"Missing", fallback);
        EXPECT_EQ(missing.get_picture(), fallback.get_picture());
        EXPECT_FALSE(missing.get_stretch());
    }
}

TEST_F(SkinResourcesTest, SampleFontPropertiesMeasureText) {
    auto properties = sample({240, 320});
    ASSERT_TRUE(properties->get_skin().is_valid());
    skinner::FontRef large = properties->get_font(u"Main", u"btnPlay", u"Font", skinner::FontRef());
    skinner::FontRef small = properties->get_font(u"Main", u"lstFiles", u"Font", skinner::FontRef());
    ASSERT_FALSE(large.is_empty());
    ASSERT_FALSE(small.is_empty());
    EXPECT_EQ(large.get_font()->get_description().size, 14);
    EXPECT_NE(large.get_font(), small.get_font());
    SIZE large_size = large.measure_text(u"PLAY");
    SIZE small_size = small.measure_text(u"PLAY");
    EXPECT_GT(small_size.cx, 0);
    EXPECT_GT(large_size.cx, small_size.cx);
    EXPECT_GT(large_size.cy, small_size.cy);

    EXPECT_TRUE(properties->get_font(u"Main", u"btnPlay", u"Missing", skinner::FontRef()).is_empty());
    // The same font as before, shared through the cache.
    EXPECT_EQ(properties->get_font(u"Main", u"btnPlay", u"Font", skinner::FontRef()).get_font(), large.get_font());
}

class OwnPictureSkinTest : public SkinResourcesTest {
protected:
    // A skin with one picture, "grid", whose pixels tell their position, and a picture
    // property showing the part from (4, 2) to (12, 10) of it.
    void write_grid_skin(bool with_picture) {
        std::string folder = device.host_path("source");
        std::filesystem::create_directories(folder);
        PixelImage grid = picture_fixture::image_of(16, 12, [](int x, int y) { return grid_colour(x, y); });
        testing_support::write_host_file(folder + "/grid.bmp", picture_fixture::bmp_of(grid));
        std::string body = "<screens><screen width=\"240\" height=\"320\"/></screens>"
                           "<pictures><picture name=\"grid\"/></pictures>"
                           "<kind name=\"Tile\"><picture name=\"Face\" image=\"grid\" outer=\"4 2 12 10\" "
                           "inner=\"6 4 10 8\" stretch=\"1\"/></kind>";
        skin_compiler::SkinSource parsed;
        skin_compiler::Diagnostics diagnostics;
        auto image = skin_compiler::compile_skin(skin_test::source(body), folder, parsed, diagnostics);
        ASSERT_TRUE(diagnostics.errors.empty());
        testing_support::write_host_file(device.host_path("skins/Grid/Grid.skin"),
                                         std::string(image.begin(), image.end()));
        if (with_picture)
            testing_support::write_host_file(device.host_path("skins/Grid/grid.bmp"), picture_fixture::bmp_of(grid));
    }

    static std::uint32_t grid_colour(int x, int y) {
        return static_cast<std::uint32_t>(x * 16) << 16 | static_cast<std::uint32_t>(y * 16) << 8 | 0x40;
    }
};

TEST_F(OwnPictureSkinTest, APicturePropertyDrawsItsPartOfTheSkinPicture) {
    ASSERT_NO_FATAL_FAILURE(write_grid_skin(true));
    skinner::Properties properties(
        std::make_unique<skinner::PropertiesImpl>(u"\\skins\\Grid\\Grid.skin", Size{240, 320}));
    ASSERT_TRUE(properties.get_skin().is_valid());
    PictureRef face = properties.get_picture(u"", u"Tile", u"Face", {});
    ASSERT_FALSE(face.is_empty());
    EXPECT_TRUE(face.get_stretch());
    expect_points(face, {4, 2}, {6, 4}, {10, 8}, {12, 10});

    // At its own size the part is copied pixel for pixel.
    PixelImage target(8, 8);
    face.draw(target, {0, 0}, {8, 8});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(target.at(x, y) & 0xFFFFFFu, grid_colour(x + 4, y + 2)) << x << "," << y;
}

TEST_F(OwnPictureSkinTest, ASkinWhosePictureCannotBeLoadedIsInvalid) {
    ASSERT_NO_FATAL_FAILURE(write_grid_skin(false));
    skinner::PropertiesImpl skin(u"\\skins\\Grid\\Grid.skin", Size{240, 320});
    EXPECT_FALSE(skin.is_valid());
}

}  // namespace
