#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "skin/skin_format.h"
#include "skin/skin_header.h"
#include "tests/skin/skin_fixture.h"

namespace {

using skinner::Size;
namespace format = skinner::format;

std::vector<std::uint8_t> image_with_screens(const std::string& screens, const std::string& devices = "P") {
    return skin_test::compile("<screens>" + screens + "</screens>",
                              "compatibility=\"Sonbrix_500\" devices=\"" + devices + "\"");
}

void put16(std::vector<std::uint8_t>& image, std::uint32_t at, std::uint16_t value) {
    image[at] = static_cast<std::uint8_t>(value);
    image[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

TEST(SkinHeaderTest, ValidityFollowsLengthTextFieldsAndMagic) {
    std::vector<std::uint8_t> const good = image_with_screens("");
    struct Case {
        const char* what;
        void (*damage)(std::vector<std::uint8_t>&);
        bool valid;
    };
    Case const cases[] = {
        {"as compiled", [](std::vector<std::uint8_t>&) {}, true},
        {"539 bytes", [](std::vector<std::uint8_t>& i) { i.resize(539); }, false},
        {"exactly a header", [](std::vector<std::uint8_t>& i) { i.resize(540); }, true},
        {"unit after the name's terminator",
         [](std::vector<std::uint8_t>& i) { put16(i, format::compatibility_name_offset + 2 * 20, u'x'); }, false},
        {"name of 32 units without terminator",
         [](std::vector<std::uint8_t>& i) {
             for (std::uint32_t u = 0; u < 32; ++u) put16(i, format::compatibility_name_offset + 2 * u, u'n');
         },
         false},
        {"name of 31 units",
         [](std::vector<std::uint8_t>& i) {
             for (std::uint32_t u = 0; u < 31; ++u) put16(i, format::compatibility_name_offset + 2 * u, u'n');
         },
         true},
        {"unit after the device letters' terminator",
         [](std::vector<std::uint8_t>& i) { put16(i, format::device_letters_offset + 2 * 31, u'S'); }, false},
        {"wrong magic", [](std::vector<std::uint8_t>& i) { put16(i, 6, u'x'); }, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> image = good;
        c.damage(image);
        EXPECT_EQ(skinner::is_header_valid(skinner::SkinImage(image.data(), static_cast<std::uint32_t>(image.size()))),
                  c.valid);
        EXPECT_EQ(skin_test::load(image)->is_valid(), c.valid);
    }
}

TEST(SkinHeaderTest, ScaleIsTheExactFitElseTheLeastLeftOver) {
    struct Case {
        const char* screens;
        Size screen;
        int scale;
    };
    Case const cases[] = {
        {"", {480, 640}, 1},                                                        // no sizes declared
        {"<screen width=\"240\" height=\"320\"/>", {480, 640}, 2},                // exact at scale 2
        {"<screen width=\"240\" height=\"320\"/>", {480, 800}, 2},                // leftover score 160
        {"<screen width=\"240\" height=\"320\"/>", {200, 200}, 1},                // nothing fits
        {"<screen width=\"240\" height=\"320\"/>", {0, 0}, 1},                    // no screen given
        {"<screen width=\"0\" height=\"0\"/><screen width=\"240\" height=\"320\"/>", {480, 640}, 1},  // empty first
        // Ties: the same score at scales 1 and 2, the lower scale wins.
        {"<screen width=\"240\" height=\"320\"/><screen width=\"120\" height=\"160\"/>", {250, 330}, 1},
        {"<screen width=\"100\" height=\"100\"/><screen width=\"240\" height=\"320\"/>", {720, 970}, 3},
        {"<screen width=\"240\" height=\"320\"/><screen width=\"320\" height=\"240\"/>", {960, 720}, 3},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.screens) + " on " + std::to_string(c.screen.width) + "x" + std::to_string(c.screen.height));
        EXPECT_EQ(skin_test::load(image_with_screens(c.screens), c.screen)->get_scale(), c.scale);
    }
}

TEST(SkinHeaderTest, LeftoverScoreOf240By320On480By800Is160) {
    std::vector<std::uint8_t> image = image_with_screens("<screen width=\"240\" height=\"320\"/>");
    skinner::SkinImage view(image.data(), static_cast<std::uint32_t>(image.size()));
    EXPECT_FALSE(skinner::test_suitability(view, u"", {480, 800}).suitable);
    EXPECT_EQ(skinner::choose_scale(view, {480, 800}), 2);
    // One pixel less of height: the 160 left over at scale 2 is still the least.
    EXPECT_EQ(skinner::choose_scale(view, {480, 799}), 2);
}

TEST(SkinHeaderTest, EntriesThatOverflowWhenScaledNeverFit) {
    // (2^31 + 240, 2^31 + 320) read as negative sizes; times 2 in 32 bits they would wrap
    // to exactly 480 x 640.
    std::vector<std::uint8_t> image = image_with_screens("<screen width=\"1\" height=\"1\"/>");
    put16(image, format::screen_table_offset, 240);
    put16(image, format::screen_table_offset + 2, 0x8000);
    put16(image, format::screen_table_offset + 4, 320);
    put16(image, format::screen_table_offset + 6, 0x8000);
    skinner::SkinImage view(image.data(), static_cast<std::uint32_t>(image.size()));
    EXPECT_FALSE(skinner::test_suitability(view, u"", {480, 640}).suitable);
    EXPECT_EQ(skinner::choose_scale(view, {480, 640}), 1);
}

TEST(SkinHeaderTest, SuitabilityNeedsDeviceNameAndSize) {
    struct Case {
        const char* devices;
        std::u16string name;
        Size screen;
        bool suitable;
        int scale;
    };
    Case const cases[] = {
        {"P", u"Sonbrix_500", {480, 640}, true, 2},
        {"", u"Sonbrix_500", {240, 320}, true, 1},
        {"PS", u"", {240, 320}, true, 1},
        {"S", u"Sonbrix_500", {240, 320}, false, 1},
        {"P", u"sonbrix_500", {240, 320}, false, 1},
        {"P", u"Sonbrix_500", {0, 0}, true, 1},
        {"P", u"Sonbrix_500", {480, 800}, false, 1},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.devices) + " " + skin_test::narrow(c.name));
        auto skin = skin_test::load(image_with_screens("<screen width=\"240\" height=\"320\"/>", c.devices));
        skinner::Suitability result = skin->is_suitable(c.name, c.screen);
        EXPECT_EQ(result.suitable, c.suitable);
        EXPECT_EQ(result.scale, c.scale);
    }
}

}  // namespace
