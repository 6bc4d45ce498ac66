#include <gtest/gtest.h>

#include <climits>

#include "foundation/small_helpers.h"

namespace {

TEST(Clamp, KeepsValuesInsideTheRange) {
    struct Case { double x, lo, hi, expected; };
    for (auto const& c : {Case{-0.5, 0.0, 1.0, 0.0}, Case{1.5, 0.0, 1.0, 1.0}, Case{0.25, 0.0, 1.0, 0.25},
                          Case{0.0, 0.0, 1.0, 0.0}, Case{1.0, 0.0, 1.0, 1.0}}) {
        EXPECT_EQ(clamp(c.x, c.lo, c.hi), c.expected) << c.x;
    }
}

TEST(IntToWstring, WritesSignedDecimal) {
    EXPECT_EQ(liba::int_to_wstring(0), u"0");
    EXPECT_EQ(liba::int_to_wstring(-5), u"-5");
    EXPECT_EQ(liba::int_to_wstring(INT_MIN), u"-2147483648");
    EXPECT_EQ(liba::int_to_wstring(INT_MAX), u"2147483647");
}

}  // namespace
