#include "skin/font_ref.h"

#include <gtest/gtest.h>

namespace {

using skinner::FontCache;
using skinner::FontDescription;
using skinner::FontRef;

TEST(FontDescriptionTest, ParsesAndNormalises) {
    struct Case {
        std::u16string text;
        bool parses;
        std::u16string normalised;
    };
    const Case cases[] = {
        {u"14 1 0 0 Tahoma", true, u"14 1 0 0 Tahoma"},
        {u"  14  7 0\t0   Tahoma  ", true, u"14 1 0 0 Tahoma"},
        {u"9 0 1 1 Courier New", true, u"9 0 1 1 Courier New"},
        {u"12 0 0 0 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", true, u"12 0 0 0 ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
        {u"14 1 0 0", false, {}},
        {u"14 1 0 Tahoma", false, {}},
        {u"14x 1 0 0 Tahoma", false, {}},
        {u"", false, {}},
    };
    for (const Case& c : cases) {
        auto description = FontDescription::parse(c.text);
        ASSERT_EQ(description.has_value(), c.parses);
        if (description) {
            EXPECT_EQ(description->normalised(), c.normalised);
        }
    }
}

TEST(FontDescriptionTest, HeightAtAFixedNinetySixDotsPerInch) {
    auto description = FontDescription::parse(u"14 1 0 0 Tahoma");
    skinner::FontRep font(*description, 2);
    EXPECT_EQ(font.get_logical_height(), -37);
    EXPECT_EQ(font.get_weight(), 700);
    EXPECT_EQ(skinner::FontRep(*FontDescription::parse(u"9 0 0 0 Tahoma"), 1).get_logical_height(), -12);
}

TEST(FontRefTest, SpellingsOfOneDescriptionShareOneFont) {
    FontRef a, b, c(2);
    EXPECT_TRUE(a.set_description(u"14 1 0 0 Tahoma"));
    EXPECT_TRUE(b.set_description(u"14  1 0 0 Tahoma "));
    EXPECT_TRUE(c.set_description(u"14 1 0 0 Tahoma"));
    EXPECT_EQ(a.get_font(), b.get_font());
    EXPECT_NE(a.get_font(), c.get_font());
    EXPECT_EQ(FontCache::get_map()->size(), 2u);
    EXPECT_EQ(FontCache::get_map()->begin()->second.uses, 2u);

    const skinner::FontRep* before = a.get_font();
    EXPECT_FALSE(a.set_description(u"not a font"));
    EXPECT_EQ(a.get_font(), before);
}

TEST(FontRefTest, CopiesAssignmentsAndTheLastHolder) {
    {
        FontRef empty;
        EXPECT_EQ(empty.get_font(), nullptr);
        FontRef a;
        a.set_description(u"10 0 0 0 Tahoma");
        {
            FontRef copy(a);
            FontRef assigned(3);
            assigned = a;
            EXPECT_EQ(assigned.get_scale(), 1);
            assigned = assigned;
            EXPECT_EQ(FontCache::get_map()->begin()->second.uses, 3u);
            FontRef empty_copy(empty);
            copy = empty;
            EXPECT_EQ(copy.get_font(), nullptr);
            EXPECT_EQ(FontCache::get_map()->begin()->second.uses, 2u);
        }
        EXPECT_EQ(FontCache::get_map()->begin()->second.uses, 1u);
        a.release();
        a.release();
        EXPECT_TRUE(FontCache::get_map()->empty());
    }
    EXPECT_EQ(FontCache::get_map(), nullptr);
    EXPECT_EQ(FontCache::get_users(), 0u);
}

}  // namespace
