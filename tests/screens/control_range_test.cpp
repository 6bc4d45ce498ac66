// The range strip: where each chosen range is drawn over the file's length, the ranges that
// reach past the end, and a file of length 0.
#include "screens/control_range.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using screens::ControlRange;
using screens::RangeSelection;

class Chosen : public RangeSelection {
public:
    std::vector<Range> get_selected_ranges() const override { return ranges; }
    std::vector<Range> ranges;
};

class RangeTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("Bookmarks", 200, 100,
                                control_xml("Range", 10, 20, 100, 10,
                                            picture_xml("Background", "blue") + picture_xml("Range", "red"))));
        form = std::make_unique<EventForm>(properties.get(), u"Bookmarks", log);
    }
    void TearDown() override { form.reset(); }

    // The columns of the strip that show a range, as [first, last] runs.
    std::vector<std::pair<int, int>> red_runs(ControlRange& strip) {
        Surface surface(140, 40);
        surface.paint(strip);
        EXPECT_EQ(surface.count_not(0, {110, 0, 140, 40}), 0) << "nothing past the strip's end";
        std::vector<std::pair<int, int>> result;
        for (int x = 10; x < 110; ++x) {
            if (surface.at(x, 25) != red) continue;
            if (!result.empty() && result.back().second == x - 1) result.back().second = x;
            else result.push_back({x, x});
        }
        return result;
    }

    std::unique_ptr<EventForm> form;
};

TEST_F(RangeTest, EachChosenRangeIsDrawnOverItsShareOfTheLength) {
    using Runs = std::vector<std::pair<int, int>>;
    struct Case {
        const char* name;
        std::int64_t total;
        std::vector<RangeSelection::Range> ranges;
        Runs runs;
    };
    std::vector<Case> const cases = {
        {"a quarter from a quarter", 1000, {{250, 250}}, {{35, 60}}},
        {"length 0 is one pixel", 1000, {{500, 0}}, {{60, 60}}},
        {"two ranges", 1000, {{0, 100}, {900, 100}}, {{10, 20}, {100, 109}}},
        {"a range past the end stops at the strip's end", 1000, {{500, 5000}}, {{60, 109}}},
        {"a start past the end", 1000, {{3000, 10}}, {}},
        {"a file of length 0", 0, {{0, 100}}, {}},
        {"nothing chosen", 1000, {}, {}},
    };
    for (auto const& c : cases) {
        Chosen chosen;
        chosen.ranges = c.ranges;
        ControlRange strip(form.get(), u"Range", skinner::LOOKUP_BY_NAME, &chosen, c.total);
        EXPECT_EQ(red_runs(strip), c.runs) << c.name;
    }
}

TEST_F(RangeTest, WithoutASelectionOnlyTheBackgroundShows) {
    ControlRange strip(form.get(), u"Range", skinner::LOOKUP_BY_NAME, nullptr, 1000);
    Surface surface(140, 40);
    surface.paint(strip);
    EXPECT_EQ(surface.count_not(blue, {10, 20, 110, 30}), 0);
}

}  // namespace
}  // namespace form_test
