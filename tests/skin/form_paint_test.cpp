// Painting a form: the whole form the first time, only the dirty rectangle afterwards, the
// colour under everything with and without Flicker, and a screenshot of a small test form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "foundation/registry.h"
#include "skin/button.h"
#include "tests/skin/form_fixture.h"
#include "tests/skin/picture_fixture.h"

namespace form_test {
namespace {

using platform::screen::ScreenPicture;

std::uint32_t at(const ScreenPicture& picture, int x, int y) { return picture.at(x, y) & 0xFFFFFF; }

// How many pixels of the rectangle differ from the expected picture by more than a small
// amount in some channel.
int differing_pixels(const ScreenPicture& expected, const ScreenPicture& actual) {
    int count = 0;
    for (std::size_t index = 0; index < expected.pixels.size() && index < actual.pixels.size(); ++index) {
        for (int shift : {0, 8, 16}) {
            int const a = static_cast<int>((expected.pixels[index] >> shift) & 0xFF);
            int const b = static_cast<int>((actual.pixels[index] >> shift) & 0xFF);
            if (std::abs(a - b) > 24) {
                ++count;
                break;
            }
        }
    }
    return count;
}

class FormPaintTest : public FormTest {
protected:
    void SetUp() override { ASSERT_TRUE(screen.connected()); }
};

TEST_F(FormPaintTest, ASmallFormLooksAsDrawn) {
    use_skin(form_xml("Shot", 100, 80,
                      "<picture name=\"Background\" image=\"back\" outer=\"0 0 16 16\" inner=\"0 0 16 16\" stretch=\"1\"/>" +
                          control_xml("probe", 10, 10, 30, 20) +
                          control_xml("btn", 50, 40, 40, 20,
                                      "<picture name=\"Normal\" image=\"half\" outer=\"0 0 20 20\" inner=\"0 0 20 20\" "
                                      "stretch=\"1\"/>"),
                      20, 40) +
             "<kind name=\"Auto.Button\"/>");
    TestForm form(nullptr, properties.get(), u"Shot", log);
    ProbeControl probe(&form, "probe", log, 0x00FF00);
    skinner::ControlButton button(&form, u"btn");
    ScreenPicture const shot = painted();
    if (const char* folder = std::getenv("SONBRIX_SAVE_SCREENSHOTS")) {
        skinner::PixelImage image(shot.width, shot.height);
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) image.at(x, y) = shot.at(x, y) | 0xFF000000u;
        std::ofstream(std::string(folder) + "/small-form.png", std::ios::binary) << picture_fixture::png_of(image);
    }
    // The form at (20, 40): blue; the probe green; the button's picture red on its right
    // half, see-through on its left.
    ScreenPicture const expected = testing_support::expected_picture(
        240, 320, 0,
        {{20, 40, 120, 120, 0x0000FF}, {30, 50, 60, 70, 0x00FF00}, {90, 80, 110, 100, 0xFF0000}});
    EXPECT_LE(differing_pixels(expected, shot), 100 * 80 / 100) << "within one per cent of the form";
}

TEST_F(FormPaintTest, OnlyTheDirtyRectangleIsRepainted) {
    use_skin(form_xml("Dirty", 100, 80, control_xml("left", 0, 0, 40, 40) + control_xml("right", 50, 0, 40, 40)));
    TestForm form(nullptr, properties.get(), u"Dirty", log);
    ProbeControl left(&form, "left", log, 0xFF0000);
    ProbeControl right(&form, "right", log, 0x00FF00);
    ScreenPicture const first = painted();
    EXPECT_EQ(at(first, 10, 10), 0xFF0000u);
    EXPECT_EQ(at(first, 60, 10), 0x00FF00u);
    left.colour = 0xFFFF00;
    right.colour = 0xFFFFFF;
    log.clear();
    left.repaint();
    ScreenPicture const second = painted();
    EXPECT_EQ(at(second, 10, 10), 0xFFFF00u);
    EXPECT_EQ(at(second, 60, 10), 0x00FF00u) << "outside the dirty rectangle the buffer keeps its content";
    EXPECT_EQ(log, (Log{"left paint"}));
}

TEST_F(FormPaintTest, WhatNoControlCoversIsCyanOrWithFlickerMagenta) {
    use_skin(form_xml("Bare", 100, 80, control_xml("probe", 0, 0, 40, 40)));
    for (DWORD flicker : {0u, 1u}) {
        ASSERT_TRUE(os::write_registry_dword(u"HKEY_CURRENT_USER\\Software\\XELO", u"Flicker", flicker));
        TestForm form(nullptr, properties.get(), u"Bare", log);
        ProbeControl probe(&form, "probe", log, 0xFF0000);
        ScreenPicture const shot = painted();
        EXPECT_EQ(at(shot, 10, 10), 0xFF0000u);
        EXPECT_EQ(at(shot, 70, 60), flicker ? 0xFF00FFu : 0x00FFFFu) << flicker;
        if (flicker) {
            probe.repaint();
            probe.colour = 0x0000FF;
            EXPECT_EQ(at(painted(), 10, 10), 0x0000FFu);
        }
    }
}

}  // namespace
}  // namespace form_test
