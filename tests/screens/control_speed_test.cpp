// The speed text: its rounding, its two colours, and no repaint for the speed already shown.
#include "screens/control_speed.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using screens::ControlSpeed;
using screens::format_speed_text;

TEST(SpeedTextTest, RoundsToOneDecimal) {
    struct Case {
        double speed;
        std::u16string text;
    };
    std::vector<Case> const cases = {
        {1.0, u"x1.0"},  {0.5, u"x0.5"},  {1.25, u"x1.3"}, {0.75, u"x0.8"}, {2.0, u"x2.0"},
        {1.96, u"x2.0"}, {0.04, u"x0.0"}, {-3.0, u"x0.0"}, {std::numeric_limits<double>::quiet_NaN(), u"x0.0"},
    };
    for (auto const& c : cases) EXPECT_EQ(format_speed_text(c.speed), c.text) << c.speed;
}

class SpeedTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("Main", 100, 100,
                                control_xml("frmSpeed", 10, 10, 50, 16,
                                            "<font name=\"Normal\" description=\"14 1 0 0 Tahoma\"/>"
                                            "<color name=\"Normal\" value=\"#102030\"/>"
                                            "<color name=\"Highlighted\" value=\"#E3A336\"/>")));
        form = std::make_unique<EventForm>(properties.get(), u"Main", log);
        speed = std::make_unique<ControlSpeed>(form.get(), u"frmSpeed");
    }
    void TearDown() override {
        speed.reset();
        form.reset();
    }

    std::unique_ptr<EventForm> form;
    std::unique_ptr<ControlSpeed> speed;
};

TEST_F(SpeedTest, NormalSpeedInTheNormalColourAnyOtherHighlighted) {
    EXPECT_EQ(speed->get_text(), u"") << "empty until the first speed other than 0";
    speed->set_speed(1.0);
    EXPECT_EQ(speed->get_text(), u"x1.0");
    EXPECT_EQ(speed->get_text_colour(), 0x302010u);
    speed->set_speed(2.0);
    EXPECT_EQ(speed->get_text(), u"x2.0");
    EXPECT_EQ(speed->get_text_colour(), 0x36A3E3u);

    Surface surface(80, 40);
    surface.paint(*speed);
    EXPECT_GT(surface.count_not(0, {10, 10, 60, 26}), 0) << "the text is drawn";
    EXPECT_EQ(surface.count_not(0, {0, 26, 80, 40}), 0) << "inside the control only";
}

TEST_F(SpeedTest, TheSpeedAlreadyShownRepaintsNothing) {
    ASSERT_TRUE(screen.connected());
    speed->set_speed(2.0);
    painted();
    speed->set_speed(2.0);
    RECT rect;
    EXPECT_FALSE(GetUpdateRect(form->get_window(), &rect, FALSE));
    speed->set_speed(0.5);
    EXPECT_TRUE(GetUpdateRect(form->get_window(), &rect, FALSE));
}

}  // namespace
}  // namespace form_test
