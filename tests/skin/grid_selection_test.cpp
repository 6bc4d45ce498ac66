// Selection strategies on their own, over a stand-in grid that counts the notifications:
// keys, inserted and removed rows, presses and drags.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "skin/control.h"
#include "skin/grid_selection.h"

namespace {

using skinner::Cell;

template <class Strategy>
class StandIn : public Strategy {
public:
    int get_row_count() override { return rows; }
    int get_column_count() override { return columns; }
    void on_selection_changed() override { ++selection_changes; }
    void on_highlight_changed() override { ++highlight_changes; }
    void ensure_column_visible(int column) override { shown_column = column; }
    void ensure_row_visible(int row) override { shown_row = row; }

    int rows = 5;
    int columns = 3;
    int selection_changes = 0;
    int highlight_changes = 0;
    int shown_column = -2;
    int shown_row = -2;
};

using SingleRow = StandIn<skinner::GridSelectionStrategySingleRow>;
using SingleColumn = StandIn<skinner::GridSelectionStrategySingleColumn>;
using MultiRow = StandIn<skinner::GridSelectionStrategyMultiRowCE>;

constexpr int not_handled = -100;

TEST(GridSelectionTest, SingleRowKeys) {
    struct Case {
        int current;
        int key;
        int rows;
        int expected;  // the current row after, or not_handled
    };
    const Case cases[] = {
        {-1, skinner::KEY_DOWN, 5, 0},         {-1, skinner::KEY_UP, 5, 0},
        {-1, skinner::KEY_END, 5, 4},          {-1, skinner::KEY_HOME, 5, 0},
        {4, skinner::KEY_DOWN, 5, not_handled}, {4, skinner::KEY_NEXT, 5, not_handled},
        {0, skinner::KEY_UP, 5, not_handled},   {0, skinner::KEY_PRIOR, 5, not_handled},
        {2, skinner::KEY_NEXT, 5, 3},          {2, skinner::KEY_PRIOR, 5, 1},
        {2, skinner::KEY_LEFT, 5, not_handled}, {-1, skinner::KEY_DOWN, 0, not_handled},
    };
    for (auto const& c : cases) {
        SingleRow s;
        s.rows = c.rows;
        s.set_current_row(c.current);
        s.set_highlight(1, 2);
        bool const handled = s.on_key(c.key);
        std::string const name = "from " + std::to_string(c.current) + " key " + std::to_string(c.key);
        EXPECT_EQ(handled, c.expected != not_handled) << name;
        if (!handled) {
            EXPECT_EQ(s.get_current_row(), c.current) << name;
            continue;
        }
        EXPECT_EQ(s.get_current_row(), c.expected) << name;
        EXPECT_EQ(s.shown_row, c.expected) << name;
        EXPECT_EQ(s.get_highlight_row(), -1) << name << ": the highlight goes";
        EXPECT_EQ(s.get_selected_cell(), (Cell{-1, c.expected})) << name;
    }
}

TEST(GridSelectionTest, SingleRowNotifiesOnlyRealChanges) {
    SingleRow s;
    s.on_press(0, 2);
    EXPECT_EQ(s.selection_changes, 1);
    EXPECT_EQ(s.shown_row, 2);
    s.on_press(1, 2);
    EXPECT_EQ(s.selection_changes, 1) << "the current row again";
    s.on_press(0, 7);
    s.on_context_press(0, -1);
    EXPECT_EQ(s.get_current_row(), 2) << "rows that are not there";
    EXPECT_EQ(s.selection_changes, 1);
    s.on_context_press(0, 4);
    EXPECT_EQ(s.get_current_row(), 4);
    EXPECT_TRUE(s.is_selected(2, 4)) << "the column does not matter";
    s.set_highlight(1, 3);
    s.set_highlight(1, 3);
    EXPECT_EQ(s.highlight_changes, 1);
    EXPECT_TRUE(s.is_highlighted(0, 3));
}

// The strategy's own reading of `at`: the row before the change.
TEST(GridSelectionTest, SingleRowInsertedAndRemovedRowsAfterTheRowAt) {
    struct Case {
        bool insert;
        int at;
        int count;
        int expected;
    };
    const Case cases[] = {
        {true, 3, 2, 3}, {true, 2, 2, 5}, {false, 3, 2, 3}, {false, 1, 2, -1}, {false, 0, 2, 1},
    };
    for (auto const& c : cases) {
        SingleRow s;
        s.rows = 10;
        s.set_current_row(3);
        if (c.insert) {
            s.on_rows_inserted(c.at, c.count);
        } else {
            s.on_rows_removed(c.at, c.count);
        }
        EXPECT_EQ(s.get_current_row(), c.expected) << (c.insert ? "insert at " : "remove at ") << c.at;
    }
}

// Callers give the first row changed; each strategy gets the `at` it reads.
TEST(GridSelectionTest, CallersGiveTheFirstChangedRowToEveryStrategy) {
    struct Case {
        bool insert;
        int first;
        int count;
        int expected;  // where row 3 goes; -1 when it was removed
    };
    const Case cases[] = {
        {true, 3, 2, 5}, {true, 4, 2, 3}, {true, 0, 1, 4}, {false, 3, 2, -1},
        {false, 1, 2, 1}, {false, 4, 1, 3}, {false, 2, 1, 2},
    };
    for (auto const& c : cases) {
        std::string const name = (c.insert ? "insert from " : "remove from ") + std::to_string(c.first);
        SingleRow single;
        MultiRow multi;
        single.rows = multi.rows = 10;
        single.set_current_row(3);
        multi.select_only_row(3);
        for (skinner::GridSelectionStrategy* s : {static_cast<skinner::GridSelectionStrategy*>(&single),
                                                  static_cast<skinner::GridSelectionStrategy*>(&multi)}) {
            if (c.insert) {
                s->rows_inserted_at(c.first, c.count);
            } else {
                s->rows_removed_at(c.first, c.count);
            }
        }
        EXPECT_EQ(single.get_current_row(), c.expected) << "single row, " << name;
        std::set<int> const expected = c.expected < 0 ? std::set<int>{} : std::set<int>{c.expected};
        EXPECT_EQ(multi.get_selected_rows(), expected) << "multi row, " << name;
    }
}

TEST(GridSelectionTest, SingleColumnKeys) {
    struct Case {
        int current;
        int key;
        int expected;
    };
    const Case cases[] = {
        {-1, skinner::KEY_LEFT, 0}, {-1, skinner::KEY_RIGHT, 0}, {0, skinner::KEY_LEFT, 0},
        {2, skinner::KEY_RIGHT, 2}, {1, skinner::KEY_RIGHT, 2}, {2, skinner::KEY_HOME, 0},
        {0, skinner::KEY_END, 2},   {1, skinner::KEY_DOWN, not_handled},
    };
    for (auto const& c : cases) {
        SingleColumn s;
        s.set_current_column(c.current);
        s.selection_changes = 0;
        bool const handled = s.on_key(c.key);
        std::string const name = "from " + std::to_string(c.current) + " key " + std::to_string(c.key);
        EXPECT_EQ(handled, c.expected != not_handled) << name;
        if (!handled) continue;
        EXPECT_EQ(s.get_current_column(), c.expected) << name;
        EXPECT_EQ(s.selection_changes, c.current == c.expected ? 0 : 1) << name;
        EXPECT_EQ(s.shown_column, c.expected) << name;
        EXPECT_EQ(s.get_selected_cell(), (Cell{c.expected, -1})) << name;
    }
    SingleColumn none;
    none.columns = 0;
    EXPECT_FALSE(none.on_key(skinner::KEY_LEFT));
    none.on_press(0, 0);
    EXPECT_EQ(none.get_current_column(), -1);
}

TEST(GridSelectionTest, MultiRowPressDragAndContextPress) {
    MultiRow s;
    s.rows = 10;
    s.on_press(0, 2);
    s.on_drag(0, 5);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{2, 3, 4, 5}));
    s.on_drag(0, 1);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{1, 2}));
    s.on_drag(0, 5);
    int const changes = s.selection_changes;
    s.on_context_press(0, 3);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{2, 3, 4, 5})) << "a selected row keeps the selection";
    EXPECT_EQ(s.selection_changes, changes);
    s.on_context_press(0, 8);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{8}));
    s.on_drag(0, 40);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{2, 3, 4, 5, 6, 7, 8, 9})) << "limited to the rows there are";
    EXPECT_EQ(s.get_selected_cell(), (Cell{-1, 2}));
    s.on_press(0, 12);
    EXPECT_TRUE(s.get_selected_rows().empty()) << "a press past the last row";
    EXPECT_EQ(s.get_selected_cell(), (Cell{-1, -1}));
}

TEST(GridSelectionTest, MultiRowRangeAndOnlyRowNotifyOnce) {
    MultiRow s;
    s.rows = 10;
    s.select_row_range(-3, 2);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{0, 1, 2}));
    EXPECT_EQ(s.selection_changes, 1);
    s.select_row_range(0, 2);
    s.select_only_row(4);
    s.select_only_row(4);
    EXPECT_EQ(s.selection_changes, 2);
    s.set_row_selected(4, true);
    s.set_row_selected(11, true);
    EXPECT_EQ(s.selection_changes, 2);
    s.clear_selection();
    s.clear_selection();
    EXPECT_EQ(s.selection_changes, 3);
}

TEST(GridSelectionTest, MultiRowRemovedRowsCloseTheGap) {
    MultiRow s;
    s.rows = 10;
    s.set_row_selected(2, true);
    s.set_row_selected(5, true);
    s.on_rows_removed(3, 2);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{2, 3}));
    s.on_rows_inserted(3, 4);
    EXPECT_EQ(s.get_selected_rows(), (std::set<int>{2, 7}));
}

TEST(GridSelectionTest, MultiRowKeys) {
    struct Case {
        std::set<int> selected;
        int key;
        std::set<int> expected;
    };
    const std::vector<Case> cases = {
        {{2, 3, 4}, skinner::KEY_DOWN, {5}}, {{2, 3, 4}, skinner::KEY_UP, {1}},
        {{}, skinner::KEY_DOWN, {9}},        {{}, skinner::KEY_PRIOR, {0}},
        {{9}, skinner::KEY_NEXT, {9}},       {{0, 1}, skinner::KEY_UP, {0}},
    };
    for (auto const& c : cases) {
        MultiRow s;
        s.rows = 10;
        for (int row : c.selected) s.set_row_selected(row, true);
        EXPECT_TRUE(s.on_key(c.key));
        EXPECT_EQ(s.get_selected_rows(), c.expected) << "key " << c.key;
        EXPECT_EQ(s.shown_row, *c.expected.begin());
    }
    MultiRow s;
    EXPECT_FALSE(s.on_key(skinner::KEY_HOME));
    EXPECT_FALSE(s.on_key(skinner::KEY_END));
    s.rows = 0;
    EXPECT_FALSE(s.on_key(skinner::KEY_DOWN));
}

}  // namespace
