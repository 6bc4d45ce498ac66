// Progress bars: the pointed fraction in the four orientations, the clamp and the rule that
// an unchanged value raises nothing, the drag state machine, and the pixels at 0 and 1.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "skin/progress.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlProgress;
using skinner::Point;

// Every bar lies at (10, 20), 100 x 100, with a handle 10 long unless said.
std::string bar_xml(const std::string& name, int orientation, int track_size = 10) {
    return control_xml(name, 10, 20, 100, 100,
                       integer_xml("Orientation", orientation) + integer_xml("TrackSize", track_size) +
                           picture_xml("Background", "blue") + picture_xml("Progress", "green") +
                           picture_xml("Track", "yellow") + picture_xml("TrackDisabled", "red"));
}

class ProgressTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("Bars", 200, 200,
                                bar_xml("top", 0) + bar_xml("right", 1) + bar_xml("bottom", 2) + bar_xml("left", 3) +
                                    bar_xml("odd", 7) + bar_xml("full", 3, 100) + bar_xml("fullv", 0, 100)));
        form = std::make_unique<EventForm>(properties.get(), u"Bars", log);
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<ControlProgress> bar(const std::u16string& name) {
        return std::make_unique<ControlProgress>(form.get(), name);
    }

    std::unique_ptr<EventForm> form;
};

TEST_F(ProgressTest, APointStandsForTheFractionAlongTheBar) {
    struct Case {
        const char16_t* bar;
        Point point;
        double fraction;
    };
    // The handle's half length (5) is free at each end; a length equal to the handle gives 0.
    std::vector<Case> const cases = {
        {u"left", {15, 50}, 0.0},   {u"left", {105, 50}, 1.0},  {u"left", {60, 50}, 0.5},
        {u"left", {-40, 50}, 0.0},  {u"left", {400, 50}, 1.0},  {u"right", {105, 50}, 0.0},
        {u"right", {15, 50}, 1.0},  {u"right", {60, 50}, 0.5},  {u"right", {500, 50}, 0.0},
        {u"top", {50, 25}, 0.0},    {u"top", {50, 115}, 1.0},   {u"top", {50, 70}, 0.5},
        {u"top", {50, -90}, 0.0},   {u"bottom", {50, 115}, 0.0}, {u"bottom", {50, 25}, 1.0},
        {u"bottom", {50, 0}, 1.0},  {u"bottom", {50, 70}, 0.5}, {u"odd", {60, 70}, 0.0},
        {u"full", {10, 50}, 0.0},   {u"full", {200, 50}, 0.0},  {u"fullv", {50, 200}, 0.0},
    };
    for (auto const& c : cases) {
        auto const control = bar(c.bar);
        std::string const name(c.bar, c.bar + std::char_traits<char16_t>::length(c.bar));
        EXPECT_DOUBLE_EQ(control->position_to_fraction(c.point), c.fraction)
            << name << " at " << c.point.x << "," << c.point.y;
    }
}

TEST_F(ProgressTest, SetProgressClampsAndRaisesOnlyOnAChange) {
    auto const control = bar(u"left");
    double const nan = std::numeric_limits<double>::quiet_NaN();
    double const infinity = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::function<void()> set;
        double stored;
        bool raised;
    };
    std::vector<Case> const cases = {
        {"1.5", [&] { control->set_progress(1.5); }, 1.0, true},
        {"1.0 again", [&] { control->set_progress(1.0); }, 1.0, false},
        {"above again", [&] { control->set_progress(7.0); }, 1.0, false},
        {"below", [&] { control->set_progress(-3.0); }, 0.0, true},
        {"a half", [&] { control->set_progress(0.5); }, 0.5, true},
        {"NaN counts as 0", [&] { control->set_progress(nan); }, 0.0, true},
        {"NaN again", [&] { control->set_progress(nan); }, 0.0, false},
        {"infinity", [&] { control->set_progress(infinity); }, 1.0, true},
        {"an empty range", [&] { control->set_progress_in_range(10, 10, 5); }, 0.0, true},
        {"a quarter of a range", [&] { control->set_progress_in_range(0, 200, 50); }, 0.25, true},
        {"a reversed range", [&] { control->set_progress_in_range(200, 0, 50); }, 0.0, true},
        {"NaN in a range", [&] { control->set_progress_in_range(0, 1, nan); }, 0.0, false},
    };
    for (auto const& c : cases) {
        log.clear();
        c.set();
        EXPECT_EQ(control->get_progress(), c.stored) << c.name;
        EXPECT_FALSE(std::isnan(control->get_progress())) << c.name;
        EXPECT_EQ(logged("progress left"), c.raised) << c.name;
        EXPECT_FALSE(logged("value left 0")) << c.name << ": set_progress reports no pointed value";
    }
}

TEST_F(ProgressTest, AnUnchangedValueDoesNotRepaint) {
    ASSERT_TRUE(screen.connected());
    auto const control = bar(u"left");
    control->set_progress(0.5);
    painted();
    control->set_progress(0.5);
    RECT rect;
    EXPECT_FALSE(GetUpdateRect(form->get_window(), &rect, FALSE));
    control->set_progress(0.75);
    EXPECT_TRUE(GetUpdateRect(form->get_window(), &rect, FALSE));
}

TEST_F(ProgressTest, TheStylusReportsThePointedFractionAndLeavesTheValueToTheListener) {
    auto const control = bar(u"left");
    form->on_stylus_down({60, 50}, 1);
    EXPECT_TRUE(log.empty()) << "a double tap starts nothing";
    form->on_stylus_move({80, 50}, 0);
    EXPECT_TRUE(log.empty());
    form->on_stylus_up({80, 50}, 1);

    form->on_stylus_down({60, 50}, 0);
    EXPECT_TRUE(control->is_dragging());
    form->on_stylus_move({400, 50}, 0);
    form->on_stylus_up({400, 50}, 0);
    EXPECT_FALSE(control->is_dragging());
    form->on_stylus_move({15, 50}, 0);
    EXPECT_EQ(log, (Log{"value left 0.5", "value left 1"})) << "the capture brings the move outside; the clamp";
    EXPECT_EQ(control->get_progress(), 0.0);

    control->set_enabled(false);
    log.clear();
    control->on_stylus_down({15, 50}, 0);
    EXPECT_EQ(log, (Log{"value left 0"})) << "a disabled bar still reacts to what reaches it";
}

TEST_F(ProgressTest, TheFilledPartAndTheHandleAtBothEnds) {
    // At (10, 20), 100 x 100, handle 10: the usable length is 90.
    struct Case {
        const char16_t* bar;
        double fraction;
        RECT progress;  // where the progress picture shows (may be empty)
        RECT handle;
    };
    std::vector<Case> const cases = {
        {u"left", 0.0, {10, 20, 10, 120}, {10, 20, 20, 120}},
        {u"left", 1.0, {10, 20, 100, 120}, {100, 20, 110, 120}},
        {u"right", 0.0, {100, 20, 100, 120}, {100, 20, 110, 120}},
        {u"right", 1.0, {10, 20, 110, 120}, {10, 20, 20, 120}},
        {u"top", 0.0, {10, 20, 110, 20}, {10, 20, 110, 30}},
        {u"top", 1.0, {10, 20, 110, 110}, {10, 110, 110, 120}},
        {u"bottom", 0.0, {10, 110, 110, 110}, {10, 110, 110, 120}},
        {u"bottom", 1.0, {10, 20, 110, 120}, {10, 20, 110, 30}},
    };
    for (auto const& c : cases) {
        auto const control = bar(c.bar);
        control->set_progress(c.fraction);
        Surface surface(130, 140);
        surface.paint(*control);
        std::string const name = std::string(c.bar, c.bar + std::char_traits<char16_t>::length(c.bar)) + " at " +
                                 std::to_string(c.fraction);
        RECT const& h = c.handle;
        EXPECT_EQ(surface.count_not(yellow, h), 0) << name;
        // Outside the handle: progress inside its rectangle, background elsewhere.
        int wrong = 0;
        for (int y = 20; y < 120; ++y) {
            for (int x = 10; x < 110; ++x) {
                if (x >= h.left && x < h.right && y >= h.top && y < h.bottom) continue;
                RECT const& p = c.progress;
                bool const in_progress = x >= p.left && x < p.right && y >= p.top && y < p.bottom;
                wrong += surface.at(x, y) != (in_progress ? green : blue);
            }
        }
        EXPECT_EQ(wrong, 0) << name;
        EXPECT_EQ(surface.at(9, 50), 0u) << name;
    }
}

TEST_F(ProgressTest, ADisabledBarDrawsTheDisabledHandle) {
    auto const control = bar(u"left");
    control->set_progress(1.0);
    control->set_enabled(false);
    Surface surface(130, 140);
    surface.paint(*control);
    EXPECT_EQ(surface.count_not(red, {100, 20, 110, 120}), 0);
}

TEST_F(ProgressTest, AnUnknownOrientationDrawsOnlyTheBackground) {
    auto const control = bar(u"odd");
    control->set_progress(0.5);
    Surface surface(130, 140);
    surface.paint(*control);
    EXPECT_EQ(surface.count_not(blue, {10, 20, 110, 120}), 0);
}

}  // namespace
}  // namespace form_test
