// The picture-glyph display: line widths from the glyphs, characters without a glyph, lines
// cut at line feeds, and where the glyphs are drawn.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/lcd.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlLCD;
using skinner::Size;

// Digits 10 x 16, the colon 4 x 16, "A" 10 x 20; "a" has no picture in the skin.
std::string glyphs_xml() {
    std::string glyphs = picture_xml("SymbolColon", "colon") + picture_xml("SymbolA", "tall");
    for (char digit = '0'; digit <= '9'; ++digit) glyphs += picture_xml(std::string("Symbol") + digit, "digit");
    return glyphs;
}

class LcdTest : public ControlKindsTest {
protected:
    std::unique_ptr<ControlLCD> lcd(const std::string& alignment = "LEFT") {
        form.reset();
        use_kinds_skin(form_xml("Clock", 200, 100,
                                control_xml("lcd", 20, 10, 30, 40, glyphs_xml() + string_xml("HAlignment", alignment))));
        form = std::make_unique<EventForm>(properties.get(), u"Clock", log);
        return std::make_unique<ControlLCD>(form.get(), u"lcd");
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<EventForm> form;
};

TEST_F(LcdTest, ALineIsAsWideAsItsGlyphsAndAsHighAsTheTallest) {
    auto const control = lcd();
    struct Case {
        std::u16string line;
        Size size;
    };
    std::vector<Case> const cases = {
        {u"12:30", {44, 16}},
        {u"1!2", {20, 16}},   // no glyph entry: no space
        {u"a1", {10, 16}},    // an entry without a picture: nothing
        {u"A1", {20, 20}},
        {u"", {0, 0}},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(control->measure_line(c.line), c.size) << std::string(c.line.begin(), c.line.end());
    }
}

TEST_F(LcdTest, LinesAreCutAtLineFeeds) {
    auto const control = lcd();
    struct Case {
        std::u16string text;
        std::vector<std::u16string> lines;
        Size content;
    };
    std::vector<Case> const cases = {
        {u"1\n2", {u"1", u"2"}, {10, 32}},
        {u"12\n", {u"12", u""}, {20, 16}},
        {u"", {u""}, {0, 0}},
        {u"12:30\nA", {u"12:30", u"A"}, {44, 36}},
    };
    for (auto const& c : cases) {
        control->set_text(c.text);
        EXPECT_EQ(control->get_lines(), c.lines);
        EXPECT_EQ(control->get_content_size(), c.content);
    }
    EXPECT_EQ(control->get_size(), (Size{44, 40})) << "at least the content, never below the skin's size";
}

TEST_F(LcdTest, GlyphsAreDrawnSideBySideAndLineUnderLine) {
    auto const control = lcd();
    control->set_text(u"1\n2");
    Surface surface(100, 80);
    surface.paint(*control);
    // Two 10 x 16 glyphs, one under the other, from (20, 10).
    EXPECT_EQ(surface.count_not(white, {20, 10, 30, 42}), 0);
    EXPECT_EQ(surface.count_not(0, {30, 10, 50, 50}), 0);
    EXPECT_EQ(surface.count_not(0, {20, 42, 30, 50}), 0);
}

TEST_F(LcdTest, AlignmentPlacesEachLineAndTheControlClips) {
    struct Case {
        std::string alignment;
        std::u16string text;
        int left, right;  // the white columns within the control
    };
    std::vector<Case> const cases = {
        {"CENTER", u"1", 30, 40},
        {"RIGHT", u"1", 40, 50},
        {"RIGHT", u"12:30", 20, 50},  // starts 14 left of the control, clipped
        {"nonsense", u"1", 20, 30},
    };
    for (auto const& c : cases) {
        auto const control = lcd(c.alignment);
        control->set_text(c.text);
        Surface surface(100, 80);
        surface.paint(*control);
        EXPECT_EQ(surface.count_not(white, {c.left, 10, c.right, 26}), 0) << c.alignment;
        EXPECT_EQ(surface.count_not(0, {0, 0, c.left, 80}), 0) << c.alignment;
        EXPECT_EQ(surface.count_not(0, {c.right, 0, 100, 80}), 0) << c.alignment;
    }
}

}  // namespace
}  // namespace form_test
