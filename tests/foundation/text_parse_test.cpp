#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <optional>
#include <string>

#include "foundation/text_parse.h"

namespace {

struct IntCase {
    std::u16string text;
    std::optional<std::size_t> stop;  // where parsing stops; none for a null result
    std::optional<int> value;         // what is written; none when the out value stays untouched
};

TEST(ParseInt, ReadsSignAndDigits) {
    constexpr int untouched = 99;
    for (auto const& c : {
             IntCase{u"  -42x", 5, -42},
             IntCase{u"+7", 2, 7},
             IntCase{u"\t\r\n12 34", 5, 12},
             IntCase{u"0", 1, 0},
             IntCase{u"2147483647", 10, INT_MAX},
             IntCase{u"-2147483648", 11, INT_MIN},
             IntCase{u"", std::nullopt, std::nullopt},
             IntCase{u"   ", std::nullopt, std::nullopt},
             IntCase{u"+", std::nullopt, std::nullopt},
             IntCase{u"  -", std::nullopt, std::nullopt},
             IntCase{u"abc", std::nullopt, 0},
             IntCase{u"-x", std::nullopt, 0},
             IntCase{u"- 5", std::nullopt, 0},
             IntCase{u"\u0661", std::nullopt, 0},  // an Arabic-Indic one is no decimal digit here
         }) {
        int value = untouched;
        const char16_t* const begin = c.text.data();
        const char16_t* const stop = liba::parse_int(value, begin, begin + c.text.size());
        std::string const name(c.text.begin(), c.text.end());
        if (c.stop) EXPECT_EQ(stop, begin + *c.stop) << name;
        else EXPECT_EQ(stop, nullptr) << name;
        EXPECT_EQ(value, c.value.value_or(untouched)) << name;
    }
}

TEST(ParseInt, OverflowWrapsInThirtyTwoBits) {
    struct Case {
        std::u16string text;
        int value;
    };
    for (auto const& c : {Case{u"2147483648", INT_MIN}, Case{u"4294967295", -1}, Case{u"4294967296", 0},
                          Case{u"-4294967297", -1}, Case{u"99999999999999999999", 1661992959}}) {
        int value = 0;
        ASSERT_NE(liba::parse_int(value, c.text.data(), c.text.data() + c.text.size()), nullptr);
        EXPECT_EQ(value, c.value) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(ParseInt, StopsAtTheEndOfTheRange) {
    std::u16string const text = u"12345";
    int value = 0;
    EXPECT_EQ(liba::parse_int(value, text.data(), text.data() + 3), text.data() + 3);
    EXPECT_EQ(value, 123);
}

TEST(ParseDouble, ReadsFractionAndExponent) {
    struct Case {
        std::u16string text;
        std::optional<std::size_t> stop;
        double value;
    };
    constexpr double untouched = -99.0;
    for (auto const& c : {
             Case{u"1.5e2", 5, 150.0},
             Case{u".5", 2, 0.5},
             Case{u"  -2.25;", 7, -2.25},
             Case{u"+3E-2", 5, 0.03},
             Case{u"7", 1, 7.0},
             Case{u"5.", 1, 5.0},  // a final point is not part of the number
             Case{u"5.x", 2, 5.0},
             Case{u"1e+3x", 4, 1000.0},
             Case{u"2e", std::nullopt, untouched},
             Case{u"2e+", std::nullopt, untouched},
             Case{u"2ex", std::nullopt, untouched},
             Case{u".", std::nullopt, untouched},
             Case{u"-.e5", std::nullopt, untouched},
             Case{u"e5", std::nullopt, untouched},
             Case{u"", std::nullopt, untouched},
             Case{u"-", std::nullopt, untouched},
         }) {
        double value = untouched;
        const char16_t* const begin = c.text.data();
        const char16_t* const stop = liba::parse_double(value, begin, begin + c.text.size());
        std::string const name(c.text.begin(), c.text.end());
        if (c.stop) EXPECT_EQ(stop, begin + *c.stop) << name;
        else EXPECT_EQ(stop, nullptr) << name;
        EXPECT_NEAR(value, c.value, 1e-12) << name;
    }
}

TEST(ParseDouble, HugeExponentsGiveInfinityOrZero) {
    std::u16string const big = u"1e400", small = u"1e-400";
    double value = 0;
    ASSERT_NE(liba::parse_double(value, big.data(), big.data() + big.size()), nullptr);
    EXPECT_TRUE(std::isinf(value));
    ASSERT_NE(liba::parse_double(value, small.data(), small.data() + small.size()), nullptr);
    EXPECT_EQ(value, 0.0);
}

TEST(CharacterClasses, SpacesAndDigits) {
    for (char16_t c : {u' ', u'\t', u'\n', u'\v', u'\f', u'\r', u'\u00A0', u'\u2003', u'\u3000'}) {
        EXPECT_TRUE(liba::is_space(c)) << int(c);
    }
    for (char16_t c : {u'a', u'0', u'_', u'\u0000', u'\u200B', u'\uFEFF'}) EXPECT_FALSE(liba::is_space(c)) << int(c);
    for (char16_t c = u'0'; c <= u'9'; ++c) EXPECT_TRUE(liba::is_digit(c));
    for (char16_t c : {u'/', u':', u'\u00B2', u'\u0660', u'\uFF10'}) EXPECT_FALSE(liba::is_digit(c)) << int(c);
    std::u16string const text = u" \t\r\nx ";
    EXPECT_EQ(liba::skip_spaces(text.data(), text.data() + text.size()), text.data() + 4);
    EXPECT_EQ(liba::skip_spaces(text.data(), text.data() + 2), text.data() + 2);
}

TEST(ReadLine, TreatsCrLfAndLfCrAsOneBreak) {
    struct Case {
        std::u16string text;
        std::u16string line;
        std::size_t stop;
    };
    for (auto const& c : {
             Case{u"a\r\nb", u"a", 3},
             Case{u"a\n\rb", u"a", 3},
             Case{u"a\r\rb", u"a", 2},
             Case{u"a\n\nb", u"a", 2},
             Case{u"a\rb", u"a", 2},
             Case{u"abc", u"abc", 3},
             Case{u"\r\n", u"", 2},
             Case{u"", u"", 0},
         }) {
        std::u16string line = u"previous";
        const char16_t* const begin = c.text.data();
        EXPECT_EQ(liba::read_line(line, begin, begin + c.text.size()), begin + c.stop);
        EXPECT_EQ(line, c.line);
    }
}

TEST(ReadLine, LinesOfAWholeText) {
    std::u16string const text = u"one\r\ntwo\n\rthree\r\rfive";
    std::u16string lines, line;
    for (const char16_t* p = text.data(); p != text.data() + text.size();) {
        p = liba::read_line(line, p, text.data() + text.size());
        lines += line + u"|";
    }
    EXPECT_EQ(lines, u"one|two|three||five|");
}

TEST(ReadUntilLineBreak, AppendsToWhatOutHolds) {
    std::u16string out = u">";
    std::u16string const text = u"a;,b";
    EXPECT_EQ(liba::read_until_line_break(out, text.data(), text.data() + text.size(), u',', u';'), text.data() + 3);
    EXPECT_EQ(out, u">a");
}

TEST(ReadWord, StopsBeforeWhiteSpace) {
    std::u16string word = u"previous";
    std::u16string const text = u"KEY= text";
    EXPECT_EQ(liba::read_word(word, text.data(), text.data() + text.size()), text.data() + 4);
    EXPECT_EQ(word, u"KEY=");
    EXPECT_EQ(liba::read_word(word, text.data() + 4, text.data() + text.size()), text.data() + 4);
    EXPECT_EQ(word, u"");
    EXPECT_EQ(liba::read_word(word, text.data() + 5, text.data() + text.size()), text.data() + text.size());
    EXPECT_EQ(word, u"text");
}

}  // namespace
