// The blinking lamp: the phase from its clock, off whatever the phase when switched off,
// nothing drawn for a missing picture, and the tick that repaints.
#include "screens/control_flash.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/skin/control_kinds_fixture.h"
#include "tests/support/eventually.h"

namespace form_test {
namespace {

using screens::ControlFlash;

class FlashTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("Main", 100, 100,
                                control_xml("lamp", 10, 10, 12, 12, picture_xml("On", "red") + picture_xml("Off", "green")) +
                                    control_xml("dark", 30, 10, 12, 12, picture_xml("Off", "green"))));
        form = std::make_unique<EventForm>(properties.get(), u"Main", log);
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<ControlFlash> lamp(const std::u16string& name) {
        return std::make_unique<ControlFlash>(form.get(), name, skinner::LOOKUP_BY_NAME, [this] { return now; });
    }
    std::uint32_t shown(ControlFlash& control) {
        Surface surface(60, 30);
        surface.paint(control);
        auto const p = control.get_position();
        return surface.count_not(surface.at(p.x, p.y), {p.x, p.y, p.x + 12, p.y + 12}) == 0 ? surface.at(p.x, p.y)
                                                                                          : 0xBAD;
    }

    double now = 0.0;
    std::unique_ptr<EventForm> form;
};

TEST_F(FlashTest, BlinksEveryHalfSecondWhileOn) {
    auto const control = lamp(u"lamp");
    struct Case {
        double at;
        bool flashing;
        std::uint32_t colour;
    };
    std::vector<Case> const cases = {
        {0.0, true, green}, {0.2, true, green}, {0.5, true, red},   {0.7, true, red},
        {1.2, true, green}, {1.5, true, red},   {0.7, false, green}, {1.6, false, green},
    };
    for (auto const& c : cases) {
        now = c.at;
        control->set_flashing(c.flashing);
        EXPECT_EQ(shown(*control), c.colour) << c.at << (c.flashing ? " on" : " off");
    }
}

TEST_F(FlashTest, ALampWithoutTheOnPictureDrawsNothingInItsOnPhases) {
    auto const control = lamp(u"dark");
    control->set_flashing(true);
    now = 0.7;
    EXPECT_EQ(shown(*control), 0u);
    now = 1.2;
    EXPECT_EQ(shown(*control), green);
}

TEST_F(FlashTest, EveryTickRepaintsOnOrOff) {
    ASSERT_TRUE(screen.connected());
    auto const control = lamp(u"lamp");
    EXPECT_NE(control->get_timer_id(), 0u);
    painted();
    RECT rect;
    ASSERT_FALSE(GetUpdateRect(form->get_window(), &rect, FALSE));
    form->on_timer_broadcast(control->get_timer_id());
    EXPECT_TRUE(GetUpdateRect(form->get_window(), &rect, FALSE));
}

TEST_F(FlashTest, TheStopwatchDrivesItWithoutATestClock) {
    ControlFlash control(form.get(), u"lamp");
    control.set_flashing(true);
    EXPECT_TRUE(testing_support::eventually([&] { return control.is_lit(); }));
}

}  // namespace
}  // namespace form_test
