#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#include "foundation/text_convert.h"

namespace {

template <class Source>
std::string text_of(const Source& source) {
    return std::string(source.begin(), source.end());
}

TEST(FormatNumbers, WriteAsPrintfDoes) {
    EXPECT_EQ(text_of(liba::format_int(-5)), "-5");
    EXPECT_EQ(text_of(liba::format_int(INT_MIN)), "-2147483648");
    EXPECT_EQ(text_of(liba::format_long(LONG_MAX)), std::to_string(LONG_MAX));
    EXPECT_EQ(text_of(liba::format_double(0.5)), "0.500000");
    EXPECT_EQ(text_of(liba::format_double(-1234.5678915)), "-1234.567892");
    EXPECT_EQ(text_of(liba::format_double(1e100)).size(), 108u);  // still fits "%f"
}

TEST(FormatNumbers, DoubleTooLongForItsBufferKeepsItsValue) {
    for (double value : {1e300, -DBL_MAX}) {
        std::string const text = text_of(liba::format_double(value));
        EXPECT_LT(text.size(), 120u);
        EXPECT_NEAR(std::stod(text) / value, 1.0, 1e-6) << text;
    }
    EXPECT_EQ(text_of(liba::format_double(INFINITY)), "inf");
}

TEST(MeasureText, TakesTheTextUpToItsTerminator) {
    EXPECT_EQ(text_of(liba::measure_narrow_text("ab\0c")), "ab");
    EXPECT_EQ(text_of(liba::measure_narrow_text(nullptr)), "");
    liba::measure_wide_text const wide(u"\u00E9t\u00E9");
    EXPECT_EQ(std::u16string(wide.begin(), wide.end()), u"\u00E9t\u00E9");
}

TEST(CodePageSinks, ConvertThroughTheSystemCodePage) {
    std::u16string wide = u"old";
    std::string const bytes = "caf\xE9 \x80";
    EXPECT_EQ(liba::narrow_to_wide(bytes.data(), bytes.data() + bytes.size(), wide), bytes.data() + bytes.size());
    EXPECT_EQ(wide, u"caf\u00E9 \u20AC");

    std::string narrow = "old";
    EXPECT_NE(liba::wide_to_narrow(liba::measure_wide_text(u"\u00C9t\u00E9 \u0100"), narrow), nullptr);
    EXPECT_EQ(narrow, "\xC9t\xE9 ?");

    EXPECT_NE(liba::narrow_to_wide(liba::format_int(-42), wide), nullptr);
    EXPECT_EQ(wide, u"-42");
}

TEST(CodePageSinks, EmptyRangesGiveEmptyStrings) {
    std::u16string wide = u"old";
    std::string narrow = "old";
    EXPECT_TRUE(liba::multibyte_to_wide("", 0, wide));
    EXPECT_TRUE(liba::wide_to_multibyte(u"", 0, narrow));
    EXPECT_EQ(wide, u"");
    EXPECT_EQ(narrow, "");
}

TEST(CodePageSinks, ComposedMarksLeaveNoPaddingBehind) {
    std::string narrow;
    EXPECT_TRUE(liba::wide_to_narrow_string(u"e\u0301!", narrow));
    EXPECT_EQ(narrow, "\xE9!");
}

TEST(CopySinks, CopyTheRangeUnchanged) {
    std::string narrow = "old";
    liba::format_double const number(2.25);
    EXPECT_EQ(liba::assign_narrow(number, narrow), number.end());
    EXPECT_EQ(narrow, "2.250000");
    std::u16string wide;
    liba::measure_wide_text const text(u"\u4E2D");
    EXPECT_EQ(liba::assign_wide(text, wide), text.end());
    EXPECT_EQ(wide, u"\u4E2D");
}

TEST(StringConversions, RoundTripEveryByte) {
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    std::u16string wide;
    std::string back;
    ASSERT_TRUE(liba::narrow_to_wide_string(all, wide));
    ASSERT_TRUE(liba::wide_to_narrow_string(wide, back));
    EXPECT_EQ(wide.size(), 256u);
    EXPECT_EQ(back, all);
    EXPECT_EQ(liba::to_wstring("\x93quoted\x94"), u"\u201Cquoted\u201D");
}

TEST(Append, AddsToTheEndOfTheText) {
    std::u16string out = u"n=";
    EXPECT_TRUE(liba::append_decimal(out, -7));
    EXPECT_TRUE(liba::append_text(out, " \xB0"));
    EXPECT_TRUE(liba::append_decimal(out, 123456789L));
    EXPECT_EQ(out, u"n=-7 \u00B0123456789");
}

}  // namespace
