#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>

#include "skin/properties.h"
#include "tests/skin/skin_fixture.h"
#include "tests/support/test_device.h"

namespace {

using skin_test::CaughtReports;
using skin_test::FixedWorkArea;
using skinner::PicturePart;
using skinner::Point;
using skinner::Size;

class PropertyLookupTest : public testing_support::DeviceTest {
protected:
    // The sample skin on a screen of 240 x 320 (scale 1) or 480 x 640 (scale 2).
    std::unique_ptr<skinner::Properties> sample(Size screen) {
        return std::make_unique<skinner::Properties>(skin_test::load(skin_test::compile_sample(), screen));
    }

    CaughtReports reports;
    FixedWorkArea area{{240, 268}};
};

TEST_F(PropertyLookupTest, TypedGettersScaleGeometryButNeverDefaults) {
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        FixedWorkArea scaled_area({240 * scale, 268 * scale});
        auto properties = sample({240 * scale, 320 * scale});
        ASSERT_EQ(properties->get_skin().get_scale(), scale);
        EXPECT_EQ(properties->get_integer(u"Main", u"btnPlay", u"ZOrder", -1), 3);
        EXPECT_EQ(properties->get_scaled_integer(u"Main", u"btnPlay", u"ZOrder", -1), 3 * scale);
        EXPECT_EQ(properties->get_scaled_integer(u"Main", u"btnPlay", u"Missing", 7), 7);
        EXPECT_EQ(properties->get_point(u"Main", u"btnPlay", u"Position", {}), (Point{4 * scale, -2 * scale}));
        EXPECT_EQ(properties->get_point(u"Main", u"btnPlay", u"Missing", {5, 6}), (Point{5, 6}));
        EXPECT_EQ(properties->get_color(u"Main", u"btnPlay", u"TextColor", 0), 0x0080FFu);
        EXPECT_EQ(properties->get_color(u"Main", u"btnPlay", u"Shade", 0), 0x40302010u);
        EXPECT_EQ(properties->get_font_index(u"Main", u"btnPlay", u"Font", -1), 0);
        EXPECT_EQ(properties->get_font_index(u"Main", u"lstFiles", u"Font", -1), 1);
        EXPECT_EQ(properties->get_cursor_name(u"Main", u"btnPlay", u"Cursor", u"none"), u"HAND");

        PicturePart pressed = properties->get_picture_part(u"Main", u"btnPlay", u"Pressed", {});
        EXPECT_EQ(pressed.picture, 1);
        EXPECT_EQ(pressed.outer_top_left, (Point{20 * scale, 0}));
        EXPECT_EQ(pressed.inner_top_left, (Point{22 * scale, 2 * scale}));
        EXPECT_EQ(pressed.inner_bottom_right, (Point{38 * scale, 18 * scale}));
        EXPECT_EQ(pressed.outer_bottom_right, (Point{40 * scale, 20 * scale}));
        EXPECT_FALSE(pressed.stretch);
        PicturePart fallback{5, {1, 1}, {2, 2}, {3, 3}, {4, 4}, true};
        EXPECT_EQ(properties->get_picture_part(u"Main", u"btnPlay", u"Missing", fallback), fallback);

        PicturePart background = properties->get_form_picture_part(u"Main", u"Background", {});
        EXPECT_EQ(background.picture, 0);
        EXPECT_TRUE(background.stretch);
        EXPECT_EQ(properties->get_form_point(u"Main", u"Size", {}), (Point{240 * scale, 268 * scale}));
        EXPECT_EQ(properties->get_form_integer(u"Main", u"Fullscreen", 9), 9);
    }
}

TEST_F(PropertyLookupTest, ScaledIntegersStopAtTheEndsOfTheirRange) {
    std::string body = "<screens><screen width=\"240\" height=\"320\"/></screens><kind name=\"K\">"
                       "<integer name=\"Big\" value=\"2147483647\"/><integer name=\"Small\" value=\"-2147483648\"/>"
                       "<integer name=\"Fits\" value=\"-536870912\"/></kind>";
    skinner::Properties properties(skin_test::load(skin_test::compile(body), {960, 1280}));
    ASSERT_EQ(properties.get_skin().get_scale(), 4);
    EXPECT_EQ(properties.get_scaled_integer(u"", u"K", u"Big", 0), INT32_MAX);
    EXPECT_EQ(properties.get_scaled_integer(u"", u"K", u"Small", 0), INT32_MIN);
    EXPECT_EQ(properties.get_scaled_integer(u"", u"K", u"Fits", 0), INT32_MIN);
    EXPECT_EQ(properties.get_integer(u"", u"K", u"Big", 0), INT32_MAX);
}

TEST_F(PropertyLookupTest, StringsAreTranslatedButDefaultsAreNot) {
    testing_support::write_host_file(device.host_path("English.lng"), "PLAY Play now\nDEFAULT Translated\n");
    auto properties = sample({240, 320});
    ASSERT_TRUE(properties->set_language(u"\\English.lng"));
    EXPECT_EQ(properties->get_string(u"Main", u"btnPlay", u"Text", u""), u"Play now");
    EXPECT_EQ(properties->get_string(u"Main", u"btnPlay", u"Cursor", u""), u"HAND");  // not a key: itself
    EXPECT_EQ(properties->get_string(u"Main", u"btnPlay", u"Missing", u"DEFAULT"), u"DEFAULT");
    EXPECT_EQ(properties->translate(u"DEFAULT"), u"Translated");
    EXPECT_EQ(properties->translate(u"UNKNOWN"), u"UNKNOWN");
    EXPECT_FALSE(properties->set_language(u"\\Missing.lng"));
    EXPECT_EQ(properties->translate(u"PLAY"), u"Play now");
}

TEST_F(PropertyLookupTest, KindsAndAutomaticControls) {
    auto properties = sample({240, 320});
    EXPECT_EQ(properties->get_integer(u"", u"Auto.Button", u"WantFocus", 0), 1);
    EXPECT_EQ(properties->get_color(u"", u"Auto.Frame", u"Border", 7), 0u);
    EXPECT_EQ(properties->get_integer(u"", u"", u"WantFocus", 42), 42);  // no node, no report
    ASSERT_EQ(properties->get_auto_control_count(u"Main"), 2u);
    EXPECT_EQ(properties->get_auto_control(u"Main", 0), std::make_pair(std::u16string(u"frmTop"), std::u16string(u"Auto.Frame")));
    EXPECT_EQ(properties->get_auto_control(u"Main", 1), std::make_pair(std::u16string(u"btnAuto"), std::u16string(u"Auto.Button")));
}

TEST_F(PropertyLookupTest, RecordSearchFindsExactNamesAmongPrefixesAndCountsComparisons) {
    std::string body =
        "<kind name=\"K\">"
        "<integer name=\"Icon\" value=\"1\"/><integer name=\"IconWidth\" value=\"2\"/>"
        "<integer name=\"IconWidthMax\" value=\"3\"/><integer name=\"Id\" value=\"4\"/>"
        "<integer name=\"I\" value=\"5\"/></kind>"
        "<kind name=\"Empty\"/>";
    skinner::Properties properties(skin_test::load(skin_test::compile(body)));
    struct Case {
        std::u16string name;
        int value;
    };
    Case const cases[] = {{u"Icon", 1},  {u"IconWidth", 2}, {u"IconWidthMax", 3}, {u"Id", 4}, {u"I", 5},
                          {u"Ico", -1}, {u"IconW", -1},    {u"IconWidthMaxX", -1}, {u"", -1}, {u"J", -1}};
    for (Case const& c : cases) {
        SCOPED_TRACE(skin_test::narrow(c.name));
        EXPECT_EQ(properties.get_integer(u"", u"K", c.name, -1), c.value);
    }
    skinner::PropertiesImpl& skin = properties.get_skin();
    properties.get_integer(u"", u"Empty", u"Any", 0);  // finds the kind
    std::uint32_t before = skin.compare_counter;
    EXPECT_EQ(properties.get_integer(u"", u"Empty", u"Any", 8), 8);
    EXPECT_EQ(skin.compare_counter, before);  // cached kind, empty array: no comparison
    properties.get_integer(u"", u"K", u"Icon", 0);
    before = skin.compare_counter;
    properties.get_integer(u"", u"K", u"Icon", 0);
    EXPECT_LE(skin.compare_counter - before, 3u);  // five records: at most three halvings
}

TEST_F(PropertyLookupTest, RefreshResetsTheCountersAndReloadsTheForms) {
    auto properties = sample({240, 320});
    properties->get_integer(u"Main", u"btnPlay", u"ZOrder", 0);
    int refreshed = 0;
    auto previous = skinner::Properties::set_form_refresher([&](skinner::Properties& p) {
        ++refreshed;
        p.get_integer(u"Main", u"btnPlay", u"ZOrder", 0);
        p.get_integer(u"Main", u"btnPlay", u"Missing", 0);
    });
    properties->refresh_skin();
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(properties->get_skin().property_counter, 2u);
    EXPECT_EQ(properties->get_skin().found_property_counter, 1u);
    properties->set_skin(skin_test::load(skin_test::compile_sample()));
    testing_support::write_host_file(device.host_path("English.lng"), "PLAY Play\n");
    EXPECT_TRUE(properties->set_language(u"\\English.lng"));
    EXPECT_FALSE(properties->set_language(u"\\Missing.lng"));
    skinner::Properties::set_form_refresher(previous);
    EXPECT_EQ(refreshed, 3);  // a new skin and a new language table; not a table that failed
}

TEST_F(PropertyLookupTest, ReportsNameTheSkinTheFormAndWhatIsMissing) {
    auto properties = sample({240, 320});
    const std::u16string path = u"\\skins\\Test\\Test.skin";
    struct Case {
        const char* what;
        std::function<void()> lookup;
        std::u16string id;
        std::u16string message;
    };
    Case const cases[] = {
        {"missing control", [&] { properties->get_integer(u"Main", u"btnNone", u"X", 0); }, u"report_no_control",
         u"Skin file {" + path + u"} form {Main} has no control {btnNone}"},
        {"control of a missing form", [&] { properties->get_integer(u"Nothing", u"btnPlay", u"X", 0); },
         u"report_no_control", u"Skin file {" + path + u"} form {Nothing} has no control {btnPlay}"},
        {"missing kind", [&] { properties->get_integer(u"", u"Auto.None", u"X", 0); }, u"report_no_form",
         u"Skin file {" + path + u"} has no kind {Auto.None}"},
        {"missing form", [&] { properties->get_form_integer(u"Phone", u"X", 0); }, u"report_no_form",
         u"Skin file {" + path + u"} has no form {Phone} for workarea_size=240 268. list of all forms:\n"
         u"+Phone Size=0 0 Devices=S\n-MainLarge\n-Main\n-Settings\n"},
        {"automatic controls of a missing form", [&] { properties->get_auto_control_count(u"Nothing"); },
         u"report_no_form",
         u"Skin file {" + path + u"} has no form {Nothing} for workarea_size=240 268. list of all forms:\n"
         u"-Phone\n-MainLarge\n-Main\n-Settings\n"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        skin_test::Report report = skin_test::report_of(c.lookup);
        EXPECT_EQ(skin_test::narrow(report.id), skin_test::narrow(c.id));
        EXPECT_EQ(skin_test::narrow(report.message), skin_test::narrow(c.message));
    }
}

TEST_F(PropertyLookupTest, AnInvalidSkinReportsAtItsFirstLookup) {
    skinner::Properties properties(skin_test::load({1, 2, 3}));
    EXPECT_FALSE(properties.is_loaded());
    EXPECT_FALSE(properties.is_suitable(u"", {0, 0}));
    skin_test::Report report = skin_test::report_of([&] { properties.get_integer(u"Main", u"btn", u"X", 0); });
    EXPECT_EQ(skin_test::narrow(report.id), "report_no_skin");
    EXPECT_EQ(skin_test::narrow(report.message),
              "Skin file {\\skins\\Test\\Test.skin} was invalid, but no check_version performed");
    report = skin_test::report_of([&] { properties.get_form_integer(u"Main", u"X", 0); });
    EXPECT_EQ(skin_test::narrow(report.id), "report_no_skin");
}

TEST(PropertyReportTest, WithoutAStopPutInAReportEndsTheProgram) {
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            skinner::Properties properties;
            properties.get_integer(u"Main", u"btn", u"X", 0);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
