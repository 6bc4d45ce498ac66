#include "skin/text_fit.h"

#include <gtest/gtest.h>

namespace {

// Every character, the ellipsis too, ten pixels wide.
int ten_each(const std::u16string& text) { return 10 * int(text.size()); }

TEST(TextFitTest, EllipsisOnTheRightAndOnTheLeft) {
    struct Case {
        std::u16string text;
        int box;
        std::u16string right, left;
    };
    const Case cases[] = {
        {u"abcdef", 100, u"abcdef", u"abcdef"},
        {u"abcdef", 60, u"abcdef", u"abcdef"},
        {u"abcdef", 45, u"abc\u2026", u"\u2026ef"},
        {u"abcdef", 59, u"abcd\u2026", u"\u2026def"},
        {u"abcdef", 5, u"\u2026", u"\u2026"},
        {u"", 0, u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(skinner::fit_with_ellipsis(c.text, c.box, ten_each), c.right) << c.box;
        EXPECT_EQ(skinner::fit_with_left_ellipsis(c.text, c.box, ten_each), c.left) << c.box;
    }
}

TEST(TextFitTest, CutTextsFitTheirBox) {
    auto uneven = [](const std::u16string& text) {
        int width = 0;
        for (char16_t c : text) width += c == u'\u2026' ? 7 : 3 + c % 9;
        return width;
    };
    std::u16string text = u"The quick brown fox jumps over the lazy dog";
    for (int box = 8; box < uneven(text); ++box) {
        EXPECT_LE(uneven(skinner::fit_with_ellipsis(text, box, uneven)), box) << box;
        EXPECT_LE(uneven(skinner::fit_with_left_ellipsis(text, box, uneven)), box) << box;
    }
}

}  // namespace
