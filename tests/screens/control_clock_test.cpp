// The clock: the time text and its lamps for the times that matter, and the mode switch that
// shows the stored times again at once.
#include "screens/control_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using screens::ControlClock;

std::string lamp_xml(const std::string& name, int y) {
    return control_xml(name, 90, y, 8, 8, picture_xml("Normal", "blue") + picture_xml("CheckedNormal", "yellow"));
}

class ClockTest : public ControlKindsTest {
protected:
    void SetUp() override {
        std::string digits;
        for (int i = 0; i < 10; ++i) digits += picture_xml("Symbol" + std::to_string(i), "digit");
        use_kinds_skin(form_xml("Main", 200, 100, control_xml("Clock", 0, 0, 120, 32, string_xml("FormTemplate", "ClockPanel"))) +
                       form_xml("ClockPanel", 120, 32,
                                control_xml("lcdClock", 0, 0, 80, 16, digits + picture_xml("SymbolColon", "colon")) +
                                    lamp_xml("chkMode", 0) + lamp_xml("chkHours", 10) + lamp_xml("chkMinutes", 20)));
        form = std::make_unique<EventForm>(properties.get(), u"Main", log);
        clock = std::make_unique<ControlClock>(form.get(), u"Clock");
    }
    void TearDown() override {
        clock.reset();
        form.reset();
    }

    std::unique_ptr<EventForm> form;
    std::unique_ptr<ControlClock> clock;
};

TEST_F(ClockTest, ShowsMinutesAndSecondsOrHoursAndMinutes) {
    struct Case {
        double seconds;
        std::u16string text;
        bool hours;
        bool minutes;
    };
    double const nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Case> const cases = {
        {75, u"01:15", false, true},      {3725, u"01:02", true, false},   {0, u"00:00", false, false},
        {360000, u"00:00", true, false},  {59.9, u"00:59", false, true},   {3600, u"01:00", true, false},
        {0.99, u"00:00", false, false},   {nan, u"00:00", false, false},   {1e12, u"23:14", true, false},
    };
    for (auto const& c : cases) {
        clock->set_time(c.seconds, 0);
        EXPECT_EQ(clock->get_text(), c.text) << c.seconds;
        EXPECT_EQ(clock->shows_hours(), c.hours) << c.seconds;
        EXPECT_EQ(clock->shows_minutes(), c.minutes) << c.seconds;
    }
}

TEST_F(ClockTest, TheModeShowsTheStoredTimesAgainAtOnce) {
    clock->set_time(75, 3725);
    EXPECT_TRUE(clock->get_mode()) << "starts with the elapsed time";
    clock->set_mode(false);
    EXPECT_FALSE(clock->get_mode());
    EXPECT_EQ(clock->get_text(), u"01:02");
    EXPECT_TRUE(clock->shows_hours());
    clock->set_time(10, 20);
    EXPECT_EQ(clock->get_text(), u"00:20");
    clock->set_mode(true);
    EXPECT_EQ(clock->get_text(), u"00:10");
}

TEST_F(ClockTest, TheModeAlreadyInForceChangesNothing) {
    ASSERT_TRUE(screen.connected());
    clock->set_time(75, 3725);
    painted();
    clock->set_mode(true);
    RECT rect;
    EXPECT_FALSE(GetUpdateRect(form->get_window(), &rect, FALSE));
    EXPECT_EQ(clock->get_text(), u"01:15");
}

TEST_F(ClockTest, TheLampsAreIndicatorsTheStylusCannotToggle) {
    clock->set_time(75, 0);
    auto* const container = clock->get_panel_container();
    for (const char16_t* name : {u"chkMode", u"chkHours", u"chkMinutes"}) {
        auto* const lamp = container->find_control(name);
        ASSERT_NE(lamp, nullptr);
        EXPECT_FALSE(lamp->is_enabled());
    }
    form->on_stylus_down({94, 4}, 0);
    form->on_stylus_up({94, 4}, 0);
    EXPECT_TRUE(clock->get_mode());
    EXPECT_EQ(clock->get_text(), u"01:15");
}

}  // namespace
}  // namespace form_test
