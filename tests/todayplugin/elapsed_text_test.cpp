#include <gtest/gtest.h>

#include "todayplugin/elapsed_text.h"

namespace {

TEST(ElapsedTextTest, MinutesAndSecondsUnderAnHourThenHoursAndMinutesEachWithItsLastTwoDigits) {
    struct Case {
        double seconds;
        const char16_t* text;
    };
    Case const cases[] = {
        {0, u"00:00"},        {59, u"00:59"},        {59.99, u"00:59"},  {75.4, u"01:15"},
        {3599, u"59:59"},     {3600, u"01:00"},      {3725, u"01:02"},    {360000, u"00:00"},
        {36000 + 59, u"10:00"}, {7 * 3600 + 5 * 60 + 9, u"07:05"},
    };
    for (auto const& c : cases) EXPECT_EQ(todayplugin::elapsed_text(c.seconds), c.text) << c.seconds;
}

}  // namespace
