// The scroll bar's limits, the layout of its parts, dragging the thumb, held arrows on a test
// clock (the timer ticks are handed to the part), and the auto-scroll panel's need of bars.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/panel_auto_scroll.h"
#include "skin/scroll_bar.h"
#include "tests/skin/grid_fixture.h"

namespace grid_test {
namespace {

using form_test::control_xml;
using form_test::form_xml;
using skinner::ControlScrollBar;
using skinner::Point;
using skinner::Size;

// A vertical bar at (0, 100), 20 x 100, with arrows of 10 and a thumb at least 8 long.
class ScrollBarTest : public form_test::FormTest {
protected:
    void make(const std::string& more = "") {
        use_skin(form_xml("Bars", 240, 320,
                          control_xml("bar", 0, 100, 20, 100,
                                      "<integer name=\"Vertical\" value=\"1\"/><integer name=\"Min\" value=\"0\"/>"
                                      "<integer name=\"Max\" value=\"100\"/><integer name=\"Page\" value=\"10\"/>"
                                      "<string name=\"KindMin\" value=\"Arrow\"/><string name=\"KindMax\" value=\"Arrow\"/>"
                                      "<string name=\"KindSpace\" value=\"Space\"/><string name=\"KindTrack\" value=\"Thumb\"/>"
                                      "<integer name=\"MinButtonSize\" value=\"10\"/><integer name=\"MaxButtonSize\" value=\"10\"/>" +
                                          more) +
                              control_xml("plain", 0, 0, 50, 10) + control_xml("panel", 100, 0, 100, 100, grid_records())) +
                 scroll_kinds());
        form = std::make_unique<GridForm>(properties.get(), u"Bars", log);
        bar = std::make_unique<ControlScrollBar>(form.get(), u"bar");
        log.clear();
    }

    void TearDown() override {
        bar.reset();
        form.reset();
    }

    // The part's start and length along the bar, relative to the bar.
    std::pair<int, int> span(int part) {
        auto& button = bar->get_part(part);
        return {button.get_position().y - bar->Control::get_position().y, button.get_rect_size().height};
    }

    std::unique_ptr<GridForm> form;
    std::unique_ptr<ControlScrollBar> bar;
};

TEST_F(ScrollBarTest, PositionsAreClampedToTheRangeLessThePage) {
    make();
    struct Case {
        int min, max, page, value;
        int position, expected_max, expected_page;
    };
    const Case cases[] = {
        {0, 100, 10, 95, 90, 100, 10},  {0, 100, 10, -5, 0, 100, 10},   {0, 100, 10, 50, 50, 100, 10},
        {10, 5, 10, 7, 10, 10, 0},      {0, 100, 200, 50, 0, 100, 100}, {0, 100, -3, 100, 100, 100, 0},
        {-50, 50, 10, -60, -50, 50, 10},
    };
    for (auto const& c : cases) {
        bar->set_range(c.min, c.max);
        bar->set_page(c.page);
        bar->set_position(c.value);
        std::string const name = std::to_string(c.min) + ".." + std::to_string(c.max) + " page " +
                                 std::to_string(c.page) + " to " + std::to_string(c.value);
        EXPECT_EQ(bar->get_scroll_position(), c.position) << name;
        EXPECT_EQ(bar->get_max(), c.expected_max) << name;
        EXPECT_EQ(bar->get_page(), c.expected_page) << name;
    }
}

TEST_F(ScrollBarTest, PagePressesStopAtTheLastPageAndOnlyChangesAreRaised) {
    make();
    bar->set_position(85);
    log.clear();
    bar->press_part(ControlScrollBar::PART_SPACE_AFTER);
    EXPECT_EQ(bar->get_scroll_position(), 90);
    bar->press_part(ControlScrollBar::PART_SPACE_AFTER);
    bar->press_part(ControlScrollBar::PART_THUMB);
    EXPECT_EQ(log, (form_test::Log{"scroll 90"}));
    bar->press_part(ControlScrollBar::PART_MIN);
    bar->press_part(ControlScrollBar::PART_SPACE_BEFORE);
    EXPECT_EQ(bar->get_scroll_position(), 79);
}

TEST_F(ScrollBarTest, ThumbLayout) {
    make();
    // free = 100 - 10 - 8 - 10 = 72
    struct Case {
        int position;
        std::pair<int, int> before, thumb, after;
    };
    const Case cases[] = {
        {0, {10, 0}, {10, 16}, {26, 64}},
        {45, {10, 32}, {42, 16}, {58, 32}},
        {90, {10, 64}, {74, 16}, {90, 0}},
    };
    for (auto const& c : cases) {
        bar->set_position(c.position);
        EXPECT_EQ(span(ControlScrollBar::PART_MIN), (std::pair{0, 10})) << c.position;
        EXPECT_EQ(span(ControlScrollBar::PART_MAX), (std::pair{90, 10})) << c.position;
        EXPECT_EQ(span(ControlScrollBar::PART_SPACE_BEFORE), c.before) << c.position;
        EXPECT_EQ(span(ControlScrollBar::PART_THUMB), c.thumb) << c.position;
        EXPECT_EQ(span(ControlScrollBar::PART_SPACE_AFTER), c.after) << c.position;
        EXPECT_EQ(bar->get_part(ControlScrollBar::PART_THUMB).get_rect_size().width, 20);
    }
    bar->set_range(0, 0);
    EXPECT_EQ(span(ControlScrollBar::PART_THUMB), (std::pair{10, 80})) << "an empty range: the thumb fills the track";
}

TEST_F(ScrollBarTest, DraggingTheThumbPastEitherEnd) {
    make();
    auto& thumb = bar->get_part(ControlScrollBar::PART_THUMB);
    Point const grip{10, thumb.get_position().y + 3};
    struct Case {
        int to_y;  // where the stylus goes, in the form
        int position;
    };
    const Case cases[] = {{grip.y - 500, 0}, {grip.y + 36, 50}, {grip.y + 500, 90}, {grip.y - 20, 0}};
    form->on_stylus_down(grip, 0);
    for (auto const& c : cases) {
        form->on_stylus_move({grip.x, c.to_y}, 0);
        EXPECT_EQ(bar->get_scroll_position(), c.position) << c.to_y;
    }
    form->on_stylus_up({grip.x, grip.y - 20}, 0);
    form->on_stylus_move({grip.x, grip.y + 40}, 0);
    EXPECT_EQ(bar->get_scroll_position(), 0) << "the thumb no longer follows";
}

TEST_F(ScrollBarTest, AHeldArrowStepsAtOnceThenAfterSixTicksThenEveryTick) {
    make();
    bar->set_position(50);
    auto& arrow = bar->get_part(ControlScrollBar::PART_MAX);
    Point const on_arrow{10, arrow.get_position().y + 5};
    auto const tick = [&] { arrow.on_timer_message(arrow.get_timer_id(), 0); };
    form->on_stylus_down(on_arrow, 0);
    EXPECT_EQ(bar->get_scroll_position(), 51);
    std::vector<int> positions;
    for (int ticks = 0; ticks < 8; ++ticks) {
        tick();
        positions.push_back(bar->get_scroll_position());
    }
    EXPECT_EQ(positions, (std::vector<int>{51, 51, 51, 51, 51, 52, 53, 54}));
    form->on_stylus_up(on_arrow, 0);
    EXPECT_EQ(arrow.get_timer_id(), 0u) << "lifting the stylus stops the timer";

    form->on_stylus_down(on_arrow, 0);
    arrow.set_enabled(false);
    for (int ticks = 0; ticks < 8; ++ticks) tick();
    EXPECT_EQ(bar->get_scroll_position(), 55) << "a disabled part does not repeat";
    form->on_stylus_up(on_arrow, 0);
}

TEST_F(ScrollBarTest, ABarWithoutTheVerticalKeyIsHorizontal) {
    make();
    ControlScrollBar plain(form.get(), u"plain");
    EXPECT_FALSE(plain.is_vertical());
    EXPECT_EQ(plain.get_page(), 0) << "an empty range holds no page";
}

TEST_F(ScrollBarTest, TheAutoScrollPanelShowsOnlyTheBarsTheContentNeeds) {
    make();
    skinner::ControlPanelAutoScroll panel(form.get(), u"panel");
    form_test::ProbeControl content(panel.get_panel_container(), "content", log, 0, skinner::LOOKUP_NONE);
    // The panel is 100 x 100; each bar takes 10.
    struct Case {
        Size content;
        bool vertical, horizontal;
        Size client;
    };
    const Case cases[] = {
        {{100, 100}, false, false, {100, 100}},
        {{95, 95}, false, false, {100, 100}},
        {{100, 101}, true, true, {90, 90}},  // the vertical bar's width brings the horizontal one
        {{101, 95}, true, true, {90, 90}},   // the horizontal bar's height brings the vertical one
        {{101, 90}, false, true, {100, 90}},
        {{90, 101}, true, false, {90, 100}},
        {{95, 40}, false, false, {100, 100}},
        {{150, 40}, false, true, {100, 90}},
        {{200, 200}, true, true, {90, 90}},
    };
    for (auto const& c : cases) {
        panel.layout_content(&content, c.content);
        std::string const name = std::to_string(c.content.width) + " x " + std::to_string(c.content.height);
        EXPECT_EQ(panel.needs_vertical_bar(), c.vertical) << name;
        EXPECT_EQ(panel.needs_horizontal_bar(), c.horizontal) << name;
        EXPECT_EQ(panel.get_vertical_bar().get_own_visible(), c.vertical) << name;
        EXPECT_EQ(panel.get_horizontal_bar().get_own_visible(), c.horizontal) << name;
        EXPECT_EQ(content.get_rect_size(), c.client) << name;
        EXPECT_EQ(content.get_position(), (Point{100, 0})) << name;
    }
    EXPECT_EQ(panel.get_vertical_bar().Control::get_position(), (Point{190, 0}));
    EXPECT_EQ(panel.get_vertical_bar().get_rect_size(), (Size{10, 90}));
    EXPECT_EQ(panel.get_horizontal_bar().Control::get_position(), (Point{100, 90}));
    EXPECT_EQ(panel.get_horizontal_bar().get_rect_size(), (Size{90, 10}));
}

}  // namespace
}  // namespace grid_test
