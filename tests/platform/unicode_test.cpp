#include <gtest/gtest.h>

#include "platform/unicode.h"

namespace {

TEST(Unicode, Utf8RoundTripKeepsEveryUnit) {
    std::u16string const text = u"a\u00e9\u20ac\U0001F3B5z";
    EXPECT_EQ(platform::utf8_to_utf16(platform::utf16_to_utf8(text)), text);
    EXPECT_EQ(platform::utf16_to_utf8(u"\u00e9"), "\xc3\xa9");
}

TEST(Unicode, MalformedInputBecomesReplacementCharacter) {
    EXPECT_EQ(platform::utf8_to_utf16("a\xff" "b"), u"a\ufffdb");
    EXPECT_EQ(platform::utf8_to_utf16("\xe2\x82"), u"\ufffd");
    EXPECT_EQ(platform::utf16_to_utf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

TEST(Unicode, CaseMappingCoversLatinAndBeyond) {
    EXPECT_EQ(platform::to_lower(u'A'), u'a');
    EXPECT_EQ(platform::to_lower(u'\u00c9'), u'\u00e9');
    EXPECT_EQ(platform::to_upper(u'\u0444'), u'\u0424');
    EXPECT_TRUE(platform::equal_ignore_case(u"My Documents", u"MY DOCUMENTS"));
    EXPECT_FALSE(platform::equal_ignore_case(u"abc", u"abcd"));
    EXPECT_LT(platform::compare_ignore_case(u"Apple", u"banana"), 0);
}

}  // namespace
