// Picture controls: a picture larger than the control is shrunk to fit with its proportions kept,
// a smaller one is never enlarged, the two alignments place it, and no picture draws nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/picture_control.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlPicture;

class PictureControlTest : public ControlKindsTest {
protected:
    std::unique_ptr<ControlPicture> picture(int width, int height, const std::string& records) {
        form.reset();
        use_kinds_skin(form_xml("Pictures", 240, 200, control_xml("pic", 10, 20, width, height, records)));
        form = std::make_unique<EventForm>(properties.get(), u"Pictures", log);
        return std::make_unique<ControlPicture>(form.get(), u"pic");
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<EventForm> form;
};

TEST_F(PictureControlTest, ThePictureIsShrunkToFitAndPlacedByItsAlignments) {
    struct Case {
        const char* name;
        int width, height;
        std::string records;
        ControlPicture::Placement placement;
    };
    // The control lies at (10, 20); "wide" is 200 x 100, "square" 40 x 40.
    std::vector<Case> const cases = {
        {"too wide, centred", 100, 100, picture_xml("Picture", "wide"), {{10, 45}, {100, 50}}},
        {"smaller, right and bottom", 100, 60,
         picture_xml("Picture", "square") + string_xml("PictureHAlignment", "RIGHT") +
             string_xml("PictureVAlignment", "BOTTOM"),
         {{70, 40}, {40, 40}}},
        {"smaller, left and top", 100, 60,
         picture_xml("Picture", "square") + string_xml("PictureHAlignment", "LEFT") +
             string_xml("PictureVAlignment", "TOP"),
         {{10, 20}, {40, 40}}},
        {"an unknown alignment keeps centring", 100, 60,
         picture_xml("Picture", "square") + string_xml("PictureHAlignment", "Right") +
             string_xml("PictureVAlignment", "middle"),
         {{40, 30}, {40, 40}}},
        {"too high and too wide", 50, 20, picture_xml("Picture", "wide"), {{15, 20}, {40, 20}}},
    };
    for (auto const& c : cases) {
        auto const control = picture(c.width, c.height, c.records);
        EXPECT_EQ(control->placement(), c.placement) << c.name;
    }
}

TEST_F(PictureControlTest, TheShrunkPictureIsDrawnWhereItIsPlaced) {
    auto const control = picture(100, 100, picture_xml("Picture", "wide"));
    Surface surface(140, 140);
    surface.paint(*control);
    EXPECT_EQ(surface.count_not(green, {10, 45, 110, 95}), 0);
    EXPECT_EQ(surface.count_not(0, {10, 20, 110, 45}), 0);
    EXPECT_EQ(surface.count_not(0, {10, 95, 110, 120}), 0);
}

TEST_F(PictureControlTest, WithoutAPictureNothingIsDrawnNotEvenAButtonFace) {
    auto const control = picture(100, 100, picture_xml("Normal", "red") + integer_xml("WantFocus", 0));
    Surface surface(140, 140);
    surface.paint(*control);
    EXPECT_EQ(surface.count_not(0, {0, 0, 140, 140}), 0);
    EXPECT_FALSE(control->can_focus());

    control->set_picture(control->get_looks().looks[skinner::StateLooks::NORMAL].picture);
    surface.paint(*control);
    EXPECT_EQ(surface.count_not(red, {56, 66, 64, 74}), 0) << "a picture set later, 8 x 8, centred unscaled";
    EXPECT_EQ(surface.at(55, 65), 0u);
}

TEST(ScaleSizeTest, EachSideIsTruncated) {
    EXPECT_EQ(skinner::scale_size({200, 101}, 0.5), (skinner::Size{100, 50}));
}

}  // namespace
}  // namespace form_test
