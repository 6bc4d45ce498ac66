// The two bars that extend the progress bar: the second fraction drawn over the first, and
// the bookmark marks of the position bar, which keeps its own copy of the list.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/bookmarks.h"
#include "screens/control_progress_2scale.h"
#include "screens/control_progress_bookmarks.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using screens::ControlProgress2Scale;
using screens::ControlProgressBookmarks;
using Rect = skinner::ControlProgress::Rect;

// Blue background, green progress, yellow second progress, no handle.
std::string levels_xml(const std::string& name, int orientation, int width, int height) {
    return control_xml(name, 10, 20, width, height,
                       integer_xml("Orientation", orientation) + picture_xml("Background", "blue") +
                           picture_xml("Progress", "green") + picture_xml("Progress2", "yellow"));
}

// At (10, 20), 100 x 16 from left to right, a white handle 10 wide, red bookmark marks 8 x 8.
std::string position_xml() {
    return control_xml("pbPosition", 10, 20, 100, 16,
                       integer_xml("Orientation", 3) + integer_xml("TrackSize", 10) + picture_xml("Background", "blue") +
                           picture_xml("Progress", "green") + picture_xml("Track", "digit") +
                           "<picture name=\"Bookmark\" image=\"red\"/>");
}

class ProgressVariantsTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("Main", 200, 200,
                                levels_xml("across", 3, 100, 10) + levels_xml("upward", 2, 10, 100) + position_xml()));
        form = std::make_unique<EventForm>(properties.get(), u"Main", log);
    }
    void TearDown() override { form.reset(); }

    // The colour of every pixel along the bar's length, from its start.
    static std::vector<std::uint32_t> colours_along(const Surface& surface, bool vertical, int length) {
        std::vector<std::uint32_t> colours;
        for (int i = 0; i < length; ++i) colours.push_back(vertical ? surface.at(14, 20 + i) : surface.at(10 + i, 24));
        return colours;
    }
    // Runs of one colour: {colour, count}, ...
    static std::vector<std::pair<std::uint32_t, int>> runs(const std::vector<std::uint32_t>& colours) {
        std::vector<std::pair<std::uint32_t, int>> result;
        for (std::uint32_t c : colours) {
            if (result.empty() || result.back().first != c) result.push_back({c, 0});
            ++result.back().second;
        }
        return result;
    }

    std::unique_ptr<EventForm> form;
};

TEST_F(ProgressVariantsTest, TheSecondFractionIsDrawnOverTheFirst) {
    using Runs = std::vector<std::pair<std::uint32_t, int>>;
    {
        ControlProgress2Scale bar(form.get(), u"across");
        bar.set_second_value(0.25);
        bar.set_progress(0.5);
        Surface surface(130, 140);
        surface.paint(bar);
        EXPECT_EQ(runs(colours_along(surface, false, 100)), (Runs{{yellow, 25}, {green, 25}, {blue, 50}}));
    }
    {
        ControlProgress2Scale bar(form.get(), u"upward");
        bar.set_second_value(0.25);
        bar.set_progress(0.5);
        Surface surface(130, 140);
        surface.paint(bar);
        // From the top: the background down to the first fraction, then the second picture
        // down to the second fraction, the progress picture below.
        EXPECT_EQ(runs(colours_along(surface, true, 100)), (Runs{{blue, 50}, {yellow, 25}, {green, 25}}));
    }
}

TEST_F(ProgressVariantsTest, ASecondValueOutsideTheBarIsClamped) {
    ControlProgress2Scale bar(form.get(), u"across");
    bar.set_second_value(7.0);
    bar.set_progress(0.5);
    Surface surface(130, 140);
    surface.paint(bar);
    EXPECT_EQ(runs(colours_along(surface, false, 100)), (std::vector<std::pair<std::uint32_t, int>>{{yellow, 100}}));
}

TEST_F(ProgressVariantsTest, MarksStandUnderTheHandleOfTheirFraction) {
    ControlProgressBookmarks bar(form.get(), u"pbPosition");
    struct Case {
        std::int64_t total;
        std::int32_t position;
        bool drawn;
        int x;  // the mark's left edge
    };
    // The handle's left edge is 10 + 90 x fraction; the mark is centred on the handle.
    std::vector<Case> const cases = {
        {1000, 0, false, 0},    {1000, 500, true, 56}, {1000, 1000, true, 101}, {1000, 2000, true, 101},
        {1000, -50, true, 11},  {0, 500, false, 0},    {-10, 500, false, 0},
    };
    for (auto const& c : cases) {
        bar.set_bookmarks(c.total, nullptr);
        Rect mark;
        ASSERT_EQ(bar.mark_rect(c.position, mark), c.drawn) << c.total << " " << c.position;
        if (c.drawn) {
            EXPECT_EQ(mark, (Rect{{c.x, 20}, {8, 8}})) << c.total << " " << c.position;
        }
    }
}

TEST_F(ProgressVariantsTest, TheBarKeepsItsOwnCopyOfTheBookmarks) {
    ControlProgressBookmarks bar(form.get(), u"pbPosition");
    {
        auto list = std::make_unique<Bookmarks>();
        list->insert(500, u"middle", false);
        list->insert(0, u"start", false);
        bar.set_bookmarks(1000, list.get());
    }
    // The list is gone, as the Document's is when its file changes inside a modal loop.
    Surface surface(130, 140);
    surface.paint(bar);
    EXPECT_EQ(surface.count_not(red, {56, 20, 64, 28}), 0) << "the mark of 500";
    EXPECT_EQ(surface.count_not(white, {10, 20, 20, 36}), 0) << "the handle at 0, over where the mark of 0 would be";
    EXPECT_EQ(bar.get_marks(), (std::vector<std::int32_t>{0, 500}));

    bar.set_bookmarks(1000, nullptr);
    Surface cleared(130, 140);
    cleared.paint(bar);
    EXPECT_EQ(cleared.count_not(blue, {20, 20, 110, 36}), 0) << "no mark without a list";
}

TEST_F(ProgressVariantsTest, TheHandleIsDrawnOverTheMarks) {
    ControlProgressBookmarks bar(form.get(), u"pbPosition");
    Bookmarks list;
    list.insert(500, u"middle", false);
    bar.set_bookmarks(1000, &list);
    bar.set_progress(0.5);
    Surface surface(130, 140);
    surface.paint(bar);
    EXPECT_EQ(surface.count_not(white, {55, 20, 65, 36}), 0);
}

TEST_F(ProgressVariantsTest, TappingThePositionBarReportsTheFraction) {
    ControlProgressBookmarks bar(form.get(), u"pbPosition");
    bar.set_bookmarks(0, nullptr);
    form->on_stylus_down({60, 28}, 0);
    form->on_stylus_up({60, 28}, 0);
    EXPECT_EQ(log, (Log{"value pbPosition 0.5"}));
    EXPECT_EQ(bar.get_progress(), 0.0) << "the listener decides";
}

}  // namespace
}  // namespace form_test
