// The main form's own controls on the shipped main skin, on the small and the large screen,
// kept as expected images: the clock, the lamps, the speed, the position bar with its
// bookmarks, the equalizer with three bands, the level meters and the bookmarks' range strip.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/bookmarks.h"
#include "screens/control_clock.h"
#include "screens/control_equalizer.h"
#include "screens/control_flash.h"
#include "screens/control_progress_2scale.h"
#include "screens/control_progress_bookmarks.h"
#include "screens/control_range.h"
#include "screens/control_speed.h"
#include "skin/panel.h"
#include "tests/skin/form_fixture.h"
#include "tests/support/expected_image.h"

namespace form_test {
namespace {

class ShippedSkinLook : public FormTest, public ::testing::WithParamInterface<const char*> {
protected:
    ShippedSkinLook() : FormTest(GetParam()) {}

    void SetUp() override {
        std::filesystem::copy(SONBRIX_DATA_STAGE, device.fs(), std::filesystem::copy_options::recursive);
        int const scale = std::string(GetParam()) == "240x320" ? 1 : 2;
        properties = std::make_unique<skinner::Properties>(u"\\Program Files\\Sonbrix\\skins\\Default\\Default.skin",
                                                           skinner::Size{240 * scale, 320 * scale});
        ASSERT_TRUE(properties->is_loaded());
        ASSERT_TRUE(properties->set_language(u"\\Program Files\\Sonbrix\\English.lng"));
    }

    void expect_look(const std::string& name) {
        ASSERT_TRUE(screen.connected());
        EXPECT_EQ(testing_support::compare_with_expected(painted(), SONBRIX_SCREENS_EXPECTED,
                                                         name + "-" + GetParam()),
                  "");
    }
};

class Chosen : public screens::RangeSelection {
public:
    std::vector<Range> get_selected_ranges() const override { return {{100, 150}, {600, 250}}; }
};

TEST_P(ShippedSkinLook, TheMainFormsControls) {
    TestForm form(nullptr, properties.get(), u"Main", log);
    screens::ControlClock clock(&form, u"Clock");
    clock.set_time(3725, 100);
    screens::ControlFlash recording(&form, u"checkRec", skinner::LOOKUP_BY_NAME, [] { return 0.7; });
    screens::ControlFlash playing(&form, u"checkPlay", skinner::LOOKUP_BY_NAME, [] { return 0.7; });
    playing.set_flashing(true);
    screens::ControlSpeed speed(&form, u"frmSpeed");
    speed.set_speed(1.5);
    screens::ControlProgressBookmarks position(&form, u"pbPosition");
    Bookmarks bookmarks;
    for (std::int32_t at : {0, 2500, 6000, 8000}) bookmarks.insert(at, u"mark", false);
    position.set_bookmarks(10000, &bookmarks);
    position.set_progress(0.4);
    skinner::ControlPanel panel(&form, u"PanelEqualizer");
    screens::ControlEqualizer equalizer(panel.get_panel_container(), u"Equalizer");
    equalizer.set_band(u"Eq1", 120, 8, 1.0);
    equalizer.set_band(u"Eq2", 900, -10, 0.4);
    equalizer.set_band(u"Eq3", 6000, 5, 1.6);
    form.set_visible(true);
    expect_look("main-controls");
}

TEST_P(ShippedSkinLook, TheLevelMeters) {
    TestForm form(nullptr, properties.get(), u"Main", log);
    skinner::ControlPanel panel(&form, u"PanelLevels");
    screens::ControlProgress2Scale left(panel.get_panel_container(), u"pbVASLeft");
    screens::ControlProgress2Scale right(panel.get_panel_container(), u"pbVASRight");
    left.set_second_value(0.3);
    left.set_progress(0.7);
    right.set_second_value(0.3);
    right.set_progress(0.2);
    form.set_visible(true);
    expect_look("level-meters");
}

TEST_P(ShippedSkinLook, TheRangeStrip) {
    TestForm form(nullptr, properties.get(), u"Bookmarks", log);
    Chosen chosen;
    screens::ControlRange range(&form, u"Range", skinner::LOOKUP_BY_NAME, &chosen, 1000);
    form.set_visible(true);
    expect_look("range-strip");
}

INSTANTIATE_TEST_SUITE_P(Screens, ShippedSkinLook, ::testing::Values("240x320", "480x640"),
                         [](const auto& info) { return std::string(info.param) == "240x320" ? "Small" : "Large"; });

}  // namespace
}  // namespace form_test
