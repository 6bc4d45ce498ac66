// Frames: the text split into lines (the typed line-break token and a real line feed, wrap,
// a word longer than the line), the size asked for by auto size, the ellipsis, and repaints.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/font_ref.h"
#include "skin/frame.h"
#include "skin/text_fit.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlFrame;
using Lines = std::vector<std::u16string>;

std::string font_xml() {
    return "<font name=\"Normal\" description=\"14 1 0 0 Tahoma\"/><color name=\"Normal\" value=\"#FFFFFF\"/>";
}

class FrameTest : public ControlKindsTest {
protected:
    FrameTest() { font.set_description(u"14 1 0 0 Tahoma"); }

    int width_of(const std::u16string& text) const { return font.measure_text(text).cx; }

    // One frame "frm" at (10, 10) of the width and height, with the font and the records.
    std::unique_ptr<ControlFrame> frame(int width, int height, const std::string& records) {
        form.reset();
        use_kinds_skin(form_xml("Frames", 240, 200, control_xml("frm", 10, 10, width, height, font_xml() + records)));
        form = std::make_unique<EventForm>(properties.get(), u"Frames", log);
        return std::make_unique<ControlFrame>(form.get(), u"frm");
    }

    void TearDown() override { form.reset(); }

    skinner::FontRef font;
    std::unique_ptr<EventForm> form;
};

TEST_F(FrameTest, TheTextIsSplitIntoLines) {
    ASSERT_GT(width_of(u"one two"), width_of(u"one"));
    struct Case {
        const char* name;
        std::u16string text;
        bool wrap;
        int width;
        Lines lines;
    };
    int const two_words = width_of(u"one two");
    std::vector<Case> const cases = {
        {"the typed token, wrapped", u"a\\nb", true, 200, {u"a", u"b"}},
        {"the typed token, not wrapped", u"a\\nb", false, 200, {u"a\\nb"}},
        {"a real line feed, wrapped", u"a\nb", true, 200, {u"a", u"b"}},
        {"a real line feed, not wrapped", u"a\nb", false, 200, {u"a\nb"}},
        {"a token at the end", u"a\\n", true, 200, {u"a", u""}},
        {"the break's space is dropped", u"one two six", true, two_words, {u"one two", u"six"}},
        {"no wrap keeps a long line", u"one two six", false, two_words, {u"one two six"}},
        {"a long word stays whole", u"xx unbreakableword yy", true, width_of(u"xx"), {u"xx", u"unbreakableword", u"yy"}},
        {"a long word alone", u"unbreakableword", true, width_of(u"xx"), {u"unbreakableword"}},
        {"an empty text", u"", true, 200, {u""}},
    };
    for (auto const& c : cases) {
        auto const f = frame(c.width, 40, integer_xml("Wrap", c.wrap));
        f->set_text(c.text);
        EXPECT_EQ(f->get_lines(), c.lines) << c.name;
    }
}

TEST_F(FrameTest, WrapLeavesTheBordersFree) {
    // Wide enough for two words only with the borders left out of the count.
    int const width = width_of(u"one two") + 7 + 5;
    auto const f = frame(width, 40,
                         integer_xml("Wrap", 1) + "<point name=\"BorderMin\" x=\"7\" y=\"0\"/>"
                                                  "<point name=\"BorderMax\" x=\"6\" y=\"0\"/>");
    f->set_text(u"one two six");
    EXPECT_EQ(f->get_lines(), (Lines{u"one", u"two six"}));
}

TEST_F(FrameTest, AutoSizeAsksForTheWidestLineAndAllLinesWithTheBorders) {
    std::string const borders = "<point name=\"BorderMin\" x=\"2\" y=\"3\"/><point name=\"BorderMax\" x=\"2\" y=\"3\"/>";
    int const line_height = font.measure_text(u"ab").cy;
    ASSERT_GT(line_height, 0);
    struct Case {
        const char* name;
        int width, height;
        bool auto_size;
        skinner::Size size;
    };
    std::vector<Case> const cases = {
        {"grown to the text", 1, 1, true, {width_of(u"abcdef") + 4, 2 * line_height + 6}},
        {"never below the skin's size", 300, 100, true, {300, 100}},
        {"without auto size, the borders only", 1, 1, false, {4, 6}},
    };
    for (auto const& c : cases) {
        auto const f = frame(c.width, c.height, borders + integer_xml("Wrap", 1) + integer_xml("AutoSize", c.auto_size));
        f->set_text(u"ab\\nabcdef");
        EXPECT_EQ(f->get_size(), c.size) << c.name;
    }
}

TEST_F(FrameTest, ATextTooWideEndsInAnEllipsisWhenAsked) {
    std::u16string const text = u"unbreakableword";
    int const width = width_of(u"unbreak");
    Surface with(260, 60);
    {
        auto const cut = frame(width, 30, integer_xml("Ellipsis", 1) + string_xml("HAlignment", "LEFT"));
        cut->set_text(text);
        with.paint(*cut);
    }
    ASSERT_GT(with.count_not(0, {0, 0, 260, 60}), 0) << "white text was drawn";

    // The same box drawn by hand with the text cut as the ellipsis cuts it.
    std::u16string const shown =
        skinner::fit_with_ellipsis(text, width, [&](const std::u16string& t) { return width_of(t); });
    ASSERT_NE(shown, text);
    Surface expected(260, 60);
    skinner::CanvasImpl impl(expected.dc(), {0, 0}, {260, 60});
    skinner::Canvas canvas(&impl);
    font.draw_text(canvas, 0xFFFFFF, shown, {10, 10}, {width, 30}, 0, 1);
    int differing = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 260; ++x) differing += with.at(x, y) != expected.at(x, y);
    EXPECT_EQ(differing, 0);

    auto const clipped = frame(width, 30, string_xml("HAlignment", "LEFT"));
    clipped->set_text(text);
    Surface without(260, 60);
    without.paint(*clipped);
    EXPECT_GT(without.count_not(0, {10, 10, 10 + width, 40}), 0);
    EXPECT_EQ(without.count_not(0, {10 + width, 0, 260, 60}), 0) << "without the ellipsis the word is clipped";
}

TEST_F(FrameTest, TheSameTextAgainDoesNotRepaint) {
    ASSERT_TRUE(screen.connected());
    auto const f = frame(100, 20, "");
    f->set_text(u"one");
    painted();
    f->set_text(u"one");
    RECT rect;
    EXPECT_FALSE(GetUpdateRect(form->get_window(), &rect, FALSE));
    f->set_text(u"two");
    EXPECT_TRUE(GetUpdateRect(form->get_window(), &rect, FALSE));
}

TEST_F(FrameTest, AFrameTakesNeitherTheFocusNorTheStylus) {
    auto const f = frame(100, 20, integer_xml("WantFocus", 1));
    EXPECT_FALSE(f->hit_test({20, 15}));
    f->load_properties();
    EXPECT_FALSE(f->hit_test({20, 15}));
}

}  // namespace
}  // namespace form_test
