// The grid: column widths, where a point falls, item, header and indent taps, the held
// Enter and the context key, in-place edits, paging and a non-positive item height.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "foundation/application.h"
#include "skin/grid.h"
#include "tests/skin/grid_fixture.h"

namespace grid_test {
namespace {

using form_test::control_xml;
using form_test::form_xml;
using skinner::Point;
using SingleList = TestList<skinner::GridSelectionStrategySingleRow>;
using MultiList = TestList<skinner::GridSelectionStrategyMultiRowCE>;
using Area = skinner::ControlGrid::Painter::Area;

// The grid lies at (10, 20), 100 x 100.
constexpr Point origin{10, 20};

class GridTest : public form_test::FormTest {
protected:
    template <class List = SingleList>
    List& make(int rows, std::vector<int> widths, int header = 0, int item_height = 10) {
        grid.reset();
        form.reset();
        use_skin(form_xml("Grids", 240, 320, control_xml("grid", origin.x, origin.y, 100, 100, grid_records(item_height))) +
                 scroll_kinds());
        form = std::make_unique<GridForm>(properties.get(), u"Grids", log);
        auto list = std::make_unique<List>(form.get(), u"grid", log);
        List& made = *list;
        made.rows = rows;
        made.widths = std::move(widths);
        made.header = header;
        made.refresh();
        grid = std::move(list);
        log.clear();
        return made;
    }

    void tap(Point local, int button = 0) {
        Point const at{origin.x + local.x, origin.y + local.y};
        form->on_button_down(button, at, 0);
        form->on_button_up(button, at, 0);
    }

    bool logged(const std::string& line) const { return std::count(log.begin(), log.end(), line) > 0; }

    void TearDown() override {
        grid.reset();
        form.reset();
    }

    // The hold timer runs on the application's scheduler.
    os::Application application{nullptr, u"GridTest"};
    std::unique_ptr<GridForm> form;
    std::unique_ptr<skinner::ControlGrid> grid;
};

TEST_F(GridTest, ColumnWidthsFixedWeightedAndTheLastWeightedTakingTheRest) {
    struct Case {
        std::vector<int> widths;
        std::vector<int> positions;
    };
    const std::vector<Case> cases = {
        {{30, 20}, {0, 30, 50}},
        {{-1, -1}, {0, 50, 100}},
        {{-1, -1, -1}, {0, 33, 66, 100}},
        {{20, -1, -2}, {0, 20, 46, 100}},
        {{-2, 30, -1}, {0, 46, 76, 100}},
        {{80, 50, -1}, {0, 80, 130, 130}},  // wider than the painter: no room for weights
        {{}, {0}},
    };
    for (auto const& c : cases) {
        auto& list = make(3, c.widths);
        EXPECT_EQ(list.get_column_positions(), c.positions) << ::testing::PrintToString(c.widths);
    }
}

TEST_F(GridTest, PainterHitMapping) {
    // 20 rows of 10 under a header of 10: the vertical bar takes 10, the painter is 90 x 100.
    auto& list = make(20, {30, -1}, 10);
    ASSERT_EQ(list.get_painter().get_rect_size(), (skinner::Size{90, 100}));
    ASSERT_EQ(list.get_page_rows(), 9);
    struct Case {
        int top_row;
        Point point;
        int area, column, row;
    };
    const Case cases[] = {
        {0, {5, 5}, Area::AREA_HEADER, 0, 0},   {0, {35, 15}, Area::AREA_ITEMS, 1, 0},
        {0, {35, 99}, Area::AREA_ITEMS, 1, 8},  {0, {95, 50}, Area::AREA_ITEMS, -1, 4},
        {0, {5, -1}, Area::AREA_OUTSIDE, -1, -1}, {0, {5, 100}, Area::AREA_OUTSIDE, -1, -1},
        {11, {5, 5}, Area::AREA_HEADER, 0, 11}, {11, {5, 95}, Area::AREA_ITEMS, 0, 19},
    };
    for (auto const& c : cases) {
        list.set_top_row(c.top_row);
        auto const hit = list.get_painter().hit(c.point);
        std::string const name = "top " + std::to_string(c.top_row) + " at " + std::to_string(c.point.x) + "," +
                                 std::to_string(c.point.y);
        EXPECT_EQ(hit.area, c.area) << name;
        if (c.area == Area::AREA_OUTSIDE) continue;
        EXPECT_EQ(hit.column, c.column) << name;
        EXPECT_EQ(hit.row, c.row) << name;
    }
    list.set_top_row(50);
    EXPECT_EQ(list.get_top_row(), 11) << "the last page";
    list.rows = 3;
    list.refresh();
    EXPECT_EQ(list.get_painter().hit({5, 75}).row, 3) << "past the last row: the row count";
}

TEST_F(GridTest, ItemHeaderAndIndentTaps) {
    auto& list = make(5, {30, -1}, 10);
    list.indent = 8;
    tap({40, 25});
    EXPECT_EQ(log, (form_test::Log{"selection", "item-click 1,1"}));
    EXPECT_EQ(list.get_current_row(), 1);
    log.clear();
    tap({35, 4});
    EXPECT_EQ(log, (form_test::Log{"header-click 1 at 5,4"}));
    log.clear();
    tap({3, 35});
    EXPECT_EQ(log, (form_test::Log{"indent 0,2"})) << "the indent strip takes the tap alone";
    log.clear();
    tap({10, 35});
    EXPECT_EQ(log, (form_test::Log{"selection", "item-click 0,2"}));
    log.clear();
    tap({40, 45}, 2);
    EXPECT_EQ(log, (form_test::Log{"selection", "item-context 1,3"}));
    log.clear();
    tap({40, 5}, 2);
    EXPECT_TRUE(log.empty()) << "a second button that went down on the header: " << ::testing::PrintToString(log);
    log.clear();
    tap({40, 85});
    EXPECT_EQ(list.get_current_row(), 3) << "a tap below the last row selects nothing";
    EXPECT_EQ(log, (form_test::Log{"item-click 1,5"}));
    log.clear();
    // A press that moves between the header and the items clicks nothing.
    form->on_stylus_down({origin.x + 40, origin.y + 5}, 0);
    form->on_stylus_up({origin.x + 40, origin.y + 25}, 0);
    form->on_stylus_down({origin.x + 40, origin.y + 25}, 0);
    form->on_stylus_up({origin.x + 40, origin.y + 5}, 0);
    EXPECT_EQ(log, (form_test::Log{"selection"}));
}

TEST_F(GridTest, APressAndDragSelectsRowsInAMultiRowList) {
    auto& list = make<MultiList>(8, {-1});
    form->on_stylus_down({origin.x + 20, origin.y + 25}, 0);
    form->on_stylus_move({origin.x + 20, origin.y + 55}, 0);
    form->on_stylus_up({origin.x + 20, origin.y + 55}, 0);
    EXPECT_EQ(list.get_selected_rows(), (std::set<int>{2, 3, 4, 5}));
    EXPECT_EQ(list.get_highlight_row(), 5);
}

TEST_F(GridTest, EnterHeldHalfASecondRaisesTheContextEventAtTheSelectedRow) {
    auto& list = make(5, {-1});
    list.set_current_row(2);
    log.clear();
    EXPECT_FALSE(list.on_keydown(skinner::KEY_RETURN));
    EXPECT_TRUE(list.is_hold_running());
    EXPECT_FALSE(list.on_keyup(skinner::KEY_RETURN));
    EXPECT_FALSE(list.is_hold_running()) << "released early: the timer is gone";
    EXPECT_TRUE(log.empty());

    list.on_keydown(skinner::KEY_RETURN);
    ASSERT_TRUE(pump_until([&] { return logged("item-context -1,2"); })) << ::testing::PrintToString(log);
    list.on_keyup(skinner::KEY_RETURN);
    log.clear();
    EXPECT_TRUE(list.on_keydown(skinner::KEY_APPS));
    EXPECT_EQ(log, (form_test::Log{"item-context -1,2"})) << "the context-menu key raises it at once";
}

TEST_F(GridTest, KeysMoveTheSelectionAndPage) {
    auto& list = make(30, {-1});
    ASSERT_EQ(list.get_page_rows(), 10);
    EXPECT_TRUE(list.on_keydown(skinner::KEY_END));
    EXPECT_EQ(list.get_current_row(), 29);
    EXPECT_EQ(list.get_top_row(), 20) << "the selected row is shown last";
    EXPECT_TRUE(list.on_keydown(skinner::KEY_HOME));
    EXPECT_EQ(list.get_top_row(), 0);
    EXPECT_FALSE(list.on_keydown(skinner::KEY_LEFT));
}

TEST_F(GridTest, InPlaceEditAcceptedOrCancelled) {
    auto& list = make(5, {30, -1});
    form_test::ProbeControl edit(list.get_panel_container(), "edit", log, 0, skinner::LOOKUP_NONE);
    edit.set_visible(false);
    struct Case {
        const char* name;
        std::function<void()> end;
        const char* logged;
    };
    const std::vector<Case> cases = {
        {"Escape", [&] { EXPECT_TRUE(list.on_keydown(skinner::KEY_ESCAPE)); }, "edit-done 1,2 0"},
        {"Enter", [&] { EXPECT_TRUE(list.on_keydown(skinner::KEY_RETURN)); }, "edit-done 1,2 1"},
        {"a tap outside the edit", [&] { tap({5, 5}); }, "edit-done 1,2 1"},
        {"the form going inactive", [&] { list.on_active_changed(false); }, "edit-done 1,2 0"},
    };
    for (auto const& c : cases) {
        list.on_active_changed(true);
        list.start_inplace_edit(&edit, 1, 2);
        EXPECT_EQ(edit.get_position(), (Point{origin.x + 30, origin.y + 20})) << c.name;
        EXPECT_EQ(edit.get_rect_size(), (skinner::Size{70, 10})) << c.name;
        EXPECT_TRUE(edit.is_visible()) << c.name;
        log.clear();
        c.end();
        EXPECT_TRUE(logged(c.logged)) << c.name << ": " << ::testing::PrintToString(log);
        EXPECT_EQ(list.get_inplace_edit(), nullptr) << c.name;
        EXPECT_FALSE(edit.get_own_visible()) << c.name;
    }
    list.on_active_changed(true);
    list.start_inplace_edit(&edit, 1, 2);
    log.clear();
    EXPECT_FALSE(list.on_keydown(skinner::KEY_DOWN)) << "other keys go to the edit";
    EXPECT_TRUE(logged("edit keydown 7"));
    list.end_inplace_edit(true);
}

TEST_F(GridTest, AnEditControlOutsideTheGridsPanelIsRefused) {
    auto& list = make(5, {-1});
    form_test::ProbeControl stranger(form.get(), "stranger", log, 0, skinner::LOOKUP_NONE);
    try {
        list.start_inplace_edit(&stranger, 0, 1);
        ADD_FAILURE() << "no report";
    } catch (const skin_test::Report& report) {
        EXPECT_EQ(report.id, u"ControlGrid::start_inplace_edit");
    }
    EXPECT_EQ(list.get_inplace_edit(), nullptr);
}

TEST_F(GridTest, ANonPositiveItemHeightHasNoItemRows) {
    for (int const height : {0, -5}) {
        auto& list = make(5, {-1}, 10, height);
        EXPECT_EQ(list.get_page_rows(), 0);
        EXPECT_EQ(list.get_painter().hit({20, 50}).row, 5) << height;
        tap({20, 50});
        EXPECT_EQ(list.get_current_row(), -1) << height;
        list.set_current_row(3);
        list.ensure_row_visible(4);
        EXPECT_EQ(list.get_top_row(), 0);
        list.painted_cells = 0;
        form->on_keydown(skinner::KEY_DOWN);
        platform::screen::ScreenPicture const shot = painted();
        EXPECT_EQ(list.painted_cells, 0) << height;
    }
}

}  // namespace
}  // namespace grid_test
