// The equalizer editor: its two scales, the skin values that would divide by zero, dragging
// bands and their handles with the stylus, the response curve and what is drawn on top.
#include "screens/control_equalizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using screens::ControlEqualizer;

// At (10, 10), 120 x 100: the first cell 10 wide ends at 100 Hz, then 20 pixels an octave.
// Band Eq1: red icon, yellow handles (8 x 8); Eq2: green icon, yellow handles; Eq3: blue
// icon and no handle.
std::string editor_xml(const std::string& name, const std::string& scale) {
    return control_xml(name, 10, 10, 120, 100,
                       scale + "<color name=\"Grid\" value=\"#00FF00\"/><color name=\"Line\" value=\"#FFFFFF\"/>" +
                           "<picture name=\"Eq1Icon\" image=\"red\"/><picture name=\"Eq1Handle\" image=\"yellow\"/>"
                           "<picture name=\"Eq2Icon\" image=\"green\"/><picture name=\"Eq2Handle\" image=\"yellow\"/>"
                           "<picture name=\"Eq3Icon\" image=\"blue\"/><color name=\"Eq1Color\" value=\"#0000FF\"/>");
}

std::string scale_xml(int cell, int first, int base) {
    return integer_xml("CellWidth", cell) + integer_xml("FirstCellWidth", first) + integer_xml("FrequencyBase", base);
}

class EqualizerTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("EqualizerPanel", 200, 200,
                                editor_xml("Equalizer", scale_xml(20, 10, 100)) + editor_xml("NoBase", "") +
                                    editor_xml("ZeroBase", scale_xml(20, 10, 0)) +
                                    editor_xml("NegativeBase", scale_xml(20, 10, -50)) +
                                    editor_xml("ZeroCell", scale_xml(0, 0, 100)) +
                                    control_xml("Flat", 10, 10, 120, 0, scale_xml(20, 10, 100))));
        form = std::make_unique<EventForm>(properties.get(), u"EqualizerPanel", log);
        editor = std::make_unique<ControlEqualizer>(form.get(), u"Equalizer");
    }
    void TearDown() override {
        editor.reset();
        form.reset();
    }

    void drag(POINT from, POINT to) {
        form->on_stylus_down({from.x, from.y}, 0);
        form->on_stylus_move({to.x, to.y}, 0);
        form->on_stylus_up({to.x, to.y}, 0);
    }

    std::unique_ptr<EventForm> form;
    std::unique_ptr<ControlEqualizer> editor;
};

TEST_F(EqualizerTest, FrequenciesLieOnAnOctaveScaleAfterALinearFirstCell) {
    struct Case {
        double frequency;
        int x;
    };
    double const nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<Case> const cases = {
        {100, 10}, {200, 30}, {400, 50}, {50, 5}, {25, 2}, {0, 0}, {-40, 0}, {nan, 0}, {1600, 90},
    };
    for (auto const& c : cases) EXPECT_EQ(editor->frequency_to_x(c.frequency), c.x) << c.frequency;

    struct Back {
        int x;
        double frequency;
    };
    std::vector<Back> const backs = {{10, 100}, {30, 200}, {50, 400}, {5, 50}, {-3, 0}, {40, 282}};
    for (auto const& c : backs) EXPECT_DOUBLE_EQ(editor->x_to_frequency(c.x), c.frequency) << c.x;
}

TEST_F(EqualizerTest, GainsRunFromTheTopEdgeToTheBottomEdge) {
    struct Case {
        double gain;
        int y;
    };
    std::vector<Case> const cases = {{20, 0}, {-20, 100}, {0, 50}, {10, 25}, {45, 0}, {-300, 100}};
    for (auto const& c : cases) EXPECT_EQ(editor->gain_to_y(c.gain), c.y) << c.gain;
    EXPECT_DOUBLE_EQ(editor->y_to_gain(0), 20.0);
    EXPECT_DOUBLE_EQ(editor->y_to_gain(100), -20.0);
    EXPECT_DOUBLE_EQ(editor->y_to_gain(25), 10.0);
}

TEST_F(EqualizerTest, SkinValuesThatWouldDivideByZeroAreReplaced) {
    struct Case {
        const char16_t* name;
        int base;
        int cell;
    };
    std::vector<Case> const cases = {
        {u"NoBase", 1000, 10}, {u"ZeroBase", 1000, 20}, {u"NegativeBase", 1000, 20}, {u"ZeroCell", 100, 1},
    };
    for (auto const& c : cases) {
        ControlEqualizer control(form.get(), c.name);
        std::string const name(c.name, c.name + std::char_traits<char16_t>::length(c.name));
        EXPECT_EQ(control.get_frequency_base(), c.base) << name;
        EXPECT_EQ(control.get_cell_width(), c.cell) << name;
        for (int x : {-5, 0, 1, 5, 60, 119, 120}) {
            EXPECT_TRUE(std::isfinite(control.x_to_frequency(x))) << name << " at " << x;
        }
        for (double f : {-1.0, 0.0, 1.0, 100.0, 1e9}) {
            int const x = control.frequency_to_x(f);
            EXPECT_TRUE(x >= 0 && x <= 1000000) << name << " of " << f;
        }
    }
    ControlEqualizer flat(form.get(), u"Flat");
    flat.set_band(u"Eq1", 100, 10, 1);
    EXPECT_EQ(flat.y_to_gain(0), 0.0) << "a control of height 0";
    EXPECT_EQ(flat.response_curve(), std::vector<int>(120, 0));
}

TEST_F(EqualizerTest, DraggingABandSetsItsFrequencyAndGain) {
    editor->set_band(u"Eq1", 100, 0, 1.0);
    POINT const marker = editor->find_band(u"Eq1")->position();
    EXPECT_EQ(marker.x, 20);
    EXPECT_EQ(marker.y, 60);
    drag(marker, {10 + 50, 10 + 25});
    EXPECT_EQ(editor->get_band_frequency(u"Eq1"), 400.0);
    EXPECT_EQ(editor->get_band_gain(u"Eq1"), 10.0);
    EXPECT_EQ(editor->get_band_width(u"Eq1"), 1.0);
    EXPECT_EQ(log, (Log{"click Equalizer"})) << "a finished drag is the owner's cue to read the bands";

    drag({60, 35}, {500, -40});
    EXPECT_EQ(editor->get_band_frequency(u"Eq1"), 4525.0) << "the right edge: 100 x 2^5.5, whole Hz";
    EXPECT_EQ(editor->get_band_gain(u"Eq1"), 20.0) << "the top edge";
    drag({129, 10}, {-30, 900});
    EXPECT_EQ(editor->get_band_frequency(u"Eq1"), 0.0);
    EXPECT_EQ(editor->get_band_gain(u"Eq1"), -20.0);
}

TEST_F(EqualizerTest, TheHandlesSetTheWidthWithinItsLimits) {
    // Handles 8 wide: half-widths from 8 to 24; width 1 (0.5 inside) gives 16.
    editor->set_band(u"Eq1", 200, 0, 1.0);
    POINT const c = editor->find_band(u"Eq1")->position();
    drag({c.x + 16, c.y}, {c.x + 20, c.y});
    EXPECT_DOUBLE_EQ(editor->get_band_width(u"Eq1"), 1.5);
    drag({c.x + 20, c.y}, {c.x + 200, c.y});
    EXPECT_DOUBLE_EQ(editor->get_band_width(u"Eq1"), 2.0);
    drag({c.x - 24, c.y}, {c.x + 100, c.y});
    EXPECT_DOUBLE_EQ(editor->get_band_width(u"Eq1"), 0.0);
    EXPECT_EQ(editor->get_band_frequency(u"Eq1"), 200.0) << "a handle leaves the centre alone";
    EXPECT_EQ(log, (Log{"click Equalizer", "click Equalizer", "click Equalizer"}));
}

TEST_F(EqualizerTest, ABandWithoutAHandlePictureKeepsItsWidth) {
    editor->set_band(u"Eq3", 200, 0, 1.0);
    POINT const c = editor->find_band(u"Eq3")->position();
    for (int dx : {-8, -1, 0, 1, 8}) drag({c.x + dx, c.y}, {c.x + dx + 30, c.y});
    EXPECT_EQ(editor->get_band_width(u"Eq3"), 1.0);
    EXPECT_TRUE(std::isfinite(editor->get_band_frequency(u"Eq3")));
}

TEST_F(EqualizerTest, BandsByName) {
    editor->set_band(u"Eq1", 100, 5, 1.0);
    editor->set_band(u"Eq2", 400, -5, 0.5);
    editor->set_band(u"Eq1", 800, 3, 2.0);
    ASSERT_EQ(editor->get_bands().size(), 2u) << "a second band of a name replaces the first";
    EXPECT_EQ(editor->get_bands().back().name(), u"Eq1");
    EXPECT_EQ(editor->get_band_frequency(u"Eq1"), 800.0);
    EXPECT_EQ(editor->get_band_width(u"Eq2"), 0.5);
    EXPECT_TRUE(editor->remove_band(u"Eq2"));
    EXPECT_FALSE(editor->remove_band(u"Eq2"));
    EXPECT_EQ(editor->get_band_gain(u"Eq2"), 0.0);
    EXPECT_EQ(editor->get_band_frequency(u"None"), 0.0);
}

TEST_F(EqualizerTest, TheStylusTakesTheBandAddedFirst) {
    editor->set_band(u"Eq1", 200, 0, 1.0);
    editor->set_band(u"Eq2", 200, 0, 1.0);
    POINT const c = editor->find_band(u"Eq1")->position();
    drag(c, {c.x + 20, c.y});
    EXPECT_EQ(editor->get_band_frequency(u"Eq1"), 400.0);
    EXPECT_EQ(editor->get_band_frequency(u"Eq2"), 200.0);

    Surface surface(200, 200);
    editor->set_band(u"Eq2", 400, 0, 1.0);  // now added after Eq1, on the same place
    surface.paint(*editor);
    EXPECT_EQ(surface.count_not(red, {c.x + 20 - 4, c.y - 4, c.x + 20 + 4, c.y + 4}), 0) << "the first band on top";
}

TEST_F(EqualizerTest, MissesDoubleTapsAndRemovedBandsRaiseNothing) {
    editor->set_band(u"Eq1", 200, 0, 1.0);
    POINT const c = editor->find_band(u"Eq1")->position();
    drag({100, 100}, {c.x, c.y});
    form->on_stylus_down({c.x, c.y}, 1);
    form->on_stylus_move({c.x + 20, c.y}, 0);
    form->on_stylus_up({c.x + 20, c.y}, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(editor->get_band_frequency(u"Eq1"), 200.0);

    form->on_stylus_down({c.x, c.y}, 0);
    editor->remove_band(u"Eq1");
    form->on_stylus_move({c.x + 20, c.y}, 0);
    form->on_stylus_up({c.x + 20, c.y}, 0);
    EXPECT_TRUE(log.empty()) << "the band went away under the stylus";
}

TEST_F(EqualizerTest, TheCurvePassesThroughALoneBandAndIsFlatBeyondItsReach) {
    editor->set_band(u"Eq1", 200, 10, 1.0);  // at x 30, y 25; reach 16 + 8
    std::vector<int> const curve = editor->response_curve();
    ASSERT_EQ(curve.size(), 120u);
    EXPECT_EQ(curve[30], 25);
    EXPECT_EQ(curve[30 - 12], curve[30 + 12]) << "symmetric";
    EXPECT_LT(curve[30 - 12], 50);
    EXPECT_GT(curve[30 - 12], 25);
    for (int x : {0, 6, 54, 119}) EXPECT_EQ(curve[static_cast<std::size_t>(x)], 50) << x;

    editor->set_band(u"Eq2", 200, 10, 1.0);
    EXPECT_EQ(editor->response_curve()[30], 0) << "two equal bands add up";
}

TEST_F(EqualizerTest, PaintsTheGridTheCurveAndTheBands) {
    editor->set_band(u"Eq1", 200, 10, 1.0);
    Surface surface(200, 200);
    surface.paint(*editor);
    EXPECT_EQ(surface.at(40, 60), green) << "the centre line, under the band's bump";
    EXPECT_EQ(surface.at(10 + 20, 100), green) << "the first vertical line, at a sixth";
    EXPECT_EQ(surface.at(100, 59), 0u);
    EXPECT_EQ(surface.at(10 + 80, 60), white) << "the flat curve over the centre line";
    EXPECT_EQ(surface.at(40, 35 - 1), red) << "the curve under the icon";
    EXPECT_EQ(surface.count_not(red, {36, 31, 44, 39}), 0) << "the icon at (40, 35)";
    EXPECT_EQ(surface.count_not(yellow, {52, 31, 60, 39}), 0) << "the right handle, 16 to the right";
    EXPECT_EQ(surface.count_not(yellow, {20, 31, 28, 39}), 0) << "the left handle";
}

}  // namespace
}  // namespace form_test
