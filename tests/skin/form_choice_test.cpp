#include <gtest/gtest.h>

#include <string>

#include "skin/properties.h"
#include "tests/skin/skin_fixture.h"

namespace {

using skin_test::CaughtReports;
using skin_test::FixedWorkArea;
using skinner::Size;

std::string form(const std::string& name, const std::string& properties, const std::string& extra = "") {
    return "<form name=\"" + name + "\"" + extra + ">" + properties + "<control name=\"btn\"/></form>";
}

std::string size(int width, int height) {
    return "<point name=\"Size\" x=\"" + std::to_string(width) + "\" y=\"" + std::to_string(height) + "\"/>";
}

// The name of the form chosen for the request, "" when none is.
std::string chosen(skinner::PropertiesImpl& skin, const std::u16string& request) {
    std::uint32_t node = skin.select_form(request);
    return node == 0 ? "" : skin_test::narrow(skin.get_image().name(node));
}

const std::string variants = form("Main", size(240, 268)) + form("MainLarge", size(480, 536), " variant-of=\"Main\"");

TEST(FormChoiceTest, TheWidestThenTallestVariantThatFitsTheWorkArea) {
    struct Case {
        Size work_area;
        const char* form;
    };
    Case const cases[] = {
        {{480, 536}, "MainLarge"}, {{240, 268}, "Main"},       {{479, 536}, "Main"},
        {{480, 535}, "Main"},      {{1000, 1000}, "MainLarge"}, {{239, 268}, ""},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.work_area.width) + "x" + std::to_string(c.work_area.height));
        FixedWorkArea area(c.work_area);
        auto skin = skin_test::load(skin_test::compile(variants), {480, 640});
        EXPECT_EQ(chosen(*skin, u"Main"), c.form);
    }
}

TEST(FormChoiceTest, AShorterRequestChoosesAmongEveryFormThatBeginsWithIt) {
    FixedWorkArea area({480, 536});
    auto skin = skin_test::load(skin_test::compile(variants + form("Other", size(10, 10))), {480, 640});
    EXPECT_EQ(chosen(*skin, u"Ma"), "MainLarge");
    EXPECT_EQ(chosen(*skin, u"MainL"), "MainLarge");
    EXPECT_EQ(chosen(*skin, u"MainLargeX"), "");
    EXPECT_EQ(chosen(*skin, u"Other"), "Other");
}

TEST(FormChoiceTest, FullscreenVariantsAreMeasuredAgainstTheScreen) {
    FixedWorkArea area({240, 268});
    std::string body = form("Settings", size(240, 300) + "<integer name=\"Fullscreen\" value=\"1\"/>") +
                       form("Dialog", size(240, 300));
    auto skin = skin_test::load(skin_test::compile(body), {240, 320});
    EXPECT_EQ(chosen(*skin, u"Settings"), "Settings");
    EXPECT_EQ(chosen(*skin, u"Dialog"), "");
}

TEST(FormChoiceTest, VariantsForAnotherDeviceAreListedButNeverChosen) {
    FixedWorkArea area({480, 536});
    std::string body = form("Main", size(240, 268)) +
                       form("MainPhone", size(480, 536) + "<string name=\"Devices\" value=\"S\"/>",
                            " variant-of=\"Main\"") +
                       form("Zeta", "");
    auto skin = skin_test::load(skin_test::compile(body), {480, 640});
    EXPECT_EQ(chosen(*skin, u"Main"), "Main");
    // Sorted Main, MainPhone, Zeta: MainPhone is the root, so it is visited first.
    EXPECT_EQ(skin_test::narrow(skin->get_list_text()),
              "+MainPhone Size=480 536 Devices=S\n"
              "+Main Size=240 268 Devices= good_for_device\n"
              "-Zeta\n");
}

TEST(FormChoiceTest, OfEqualSizesTheOneVisitedLaterWins) {
    FixedWorkArea area({480, 536});
    // Sorted Main, MainA, MainB: pre-order visits MainA, Main, MainB.
    std::string body = form("Main", size(240, 268)) + form("MainA", size(240, 268), " variant-of=\"Main\"") +
                       form("MainB", size(240, 268), " variant-of=\"Main\"");
    auto skin = skin_test::load(skin_test::compile(body), {480, 640});
    EXPECT_EQ(chosen(*skin, u"Main"), "MainB");
    EXPECT_EQ(chosen(*skin, u"MainA"), "MainA");
}

TEST(FormChoiceTest, AVariantWithoutSizeIsChosenOnlyWhenNoSizedOneFits) {
    std::string body = form("Main", "") + form("MainSmall", size(100, 100), " variant-of=\"Main\"");
    {
        FixedWorkArea area({240, 268});
        auto skin = skin_test::load(skin_test::compile(body), {240, 320});
        EXPECT_EQ(chosen(*skin, u"Main"), "MainSmall");
    }
    {
        FixedWorkArea area({50, 50});
        auto skin = skin_test::load(skin_test::compile(body), {240, 320});
        EXPECT_EQ(chosen(*skin, u"Main"), "Main");
    }
}

TEST(FormChoiceTest, SizesAreComparedAtTheSkinsScale) {
    // A 240 x 320 skin on a 480 x 640 screen has scale 2: Main measures 480 x 536.
    FixedWorkArea area({480, 600});
    std::string body = "<screens><screen width=\"240\" height=\"320\"/></screens>" + variants;
    auto skin = skin_test::load(skin_test::compile(body), {480, 640});
    ASSERT_EQ(skin->get_scale(), 2);
    EXPECT_EQ(chosen(*skin, u"Main"), "Main");
    EXPECT_EQ(skin_test::narrow(skin->get_list_text()).substr(0, 27), "+MainLarge Size=960 1072 De");
}

TEST(FormChoiceTest, EachChangeOfFormMakesANewChoiceAndAFailedChoiceIsTriedAgain) {
    CaughtReports reports;
    FixedWorkArea area({240, 268});
    skinner::Properties properties(skin_test::load(skin_test::compile(form("First", "") + form("Second", "") + form("Big", size(999, 999)))));
    skinner::PropertiesImpl& skin = properties.get_skin();
    auto compares_of = [&](const std::u16string& form_name) {
        std::uint32_t before = skin.compare_counter;
        properties.find_node(form_name, u"btn");
        return skin.compare_counter - before;
    };
    std::uint32_t first = compares_of(u"First");
    EXPECT_GT(first, 0u);
    EXPECT_EQ(compares_of(u"First"), 0u);  // form and control cached
    EXPECT_GT(compares_of(u"Second"), 0u);
    EXPECT_EQ(compares_of(u"First"), first);
    std::uint32_t before = skin.compare_counter;
    skin_test::report_of([&] { properties.find_form(u"Big"); });
    std::uint32_t failed = skin.compare_counter - before;
    EXPECT_GT(failed, 0u);
    skin_test::report_of([&] { properties.find_form(u"Big"); });
    EXPECT_EQ(skin.compare_counter - before, 2 * failed);
}

}  // namespace
