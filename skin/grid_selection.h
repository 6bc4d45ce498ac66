// What a selection means in a grid: one current row, one current column or a set of rows.
// A strategy is mixed into a concrete grid as a virtual base: the strategy answers and
// changes the selection, the grid gives the row and column counts and reacts to changes.
#pragma once

#include <set>

#include "skin/listener.h"

namespace skinner {

class GridSelectionStrategy {
public:
    virtual ~GridSelectionStrategy() = default;

    virtual int get_row_count() = 0;
    virtual int get_column_count() = 0;
    virtual bool is_selected(int column, int row) = 0;
    virtual void on_press(int column, int row) = 0;
    virtual void on_drag(int column, int row) = 0;
    virtual void on_release(int column, int row) = 0;
    virtual void on_context_press(int column, int row) = 0;
    virtual void on_context_release(int column, int row) = 0;
    // Each strategy reads `at` in its own way; callers go through rows_inserted_at and
    // rows_removed_at, which take the index of the first row inserted or removed.
    virtual void on_rows_inserted(int /*at*/, int /*count*/) {}
    virtual void on_rows_removed(int /*at*/, int /*count*/) {}
    virtual void set_highlight(int column, int row) = 0;
    virtual bool is_highlighted(int column, int row) = 0;
    virtual int get_highlight_row() = 0;
    virtual int get_highlight_column() = 0;
    virtual Cell get_selected_cell() = 0;
    virtual bool on_key(int key) = 0;
    virtual void on_selection_changed() = 0;
    virtual void on_highlight_changed() = 0;
    virtual void ensure_column_visible(int column) = 0;
    virtual void ensure_row_visible(int row) = 0;

    // The `at` this strategy reads for a change whose first row is first_row: the multi-row
    // strategies read the first row itself, the single-row one the row before it.
    virtual int rows_changed_at(int first_row) const { return first_row; }
    // count rows were inserted so that the first of them is now first_row.
    void rows_inserted_at(int first_row, int count) { on_rows_inserted(rows_changed_at(first_row), count); }
    // count rows were removed starting with the one that was first_row.
    void rows_removed_at(int first_row, int count) { on_rows_removed(rows_changed_at(first_row), count); }
};

class GridSelectionStrategyWithHighlight : public virtual GridSelectionStrategy {
public:
    void set_highlight(int column, int row) override;
    int get_highlight_row() override { return highlight_.row; }
    int get_highlight_column() override { return highlight_.column; }

private:
    Cell highlight_;
};

class GridSelectionStrategySingleRow : public GridSelectionStrategyWithHighlight {
public:
    void set_current_row(int row);
    int get_current_row() const { return current_row_; }
    // Makes the row current when it exists.
    void select_row(int row);

    bool is_selected(int, int row) override { return row == current_row_; }
    bool is_highlighted(int, int row) override { return row == get_highlight_row(); }
    void on_press(int, int row) override { select_row(row); }
    void on_drag(int, int row) override { select_row(row); }
    void on_release(int, int) override {}
    void on_context_press(int, int row) override { select_row(row); }
    void on_context_release(int, int) override {}
    // `at` is the last row before the change: rows at + 1 .. at + count.
    void on_rows_inserted(int at, int count) override;
    void on_rows_removed(int at, int count) override;
    int rows_changed_at(int first_row) const override { return first_row - 1; }
    Cell get_selected_cell() override { return {-1, current_row_}; }
    bool on_key(int key) override;

private:
    int current_row_ = -1;
};

class GridSelectionStrategySingleColumn : public GridSelectionStrategyWithHighlight {
public:
    void set_current_column(int column);
    int get_current_column() const { return current_column_; }
    void select_column(int column);

    bool is_selected(int column, int) override { return column == current_column_; }
    bool is_highlighted(int column, int) override { return column == get_highlight_column(); }
    void on_press(int column, int) override { select_column(column); }
    void on_drag(int column, int) override { select_column(column); }
    void on_release(int, int) override {}
    void on_context_press(int column, int) override { select_column(column); }
    void on_context_release(int, int) override {}
    Cell get_selected_cell() override { return {current_column_, -1}; }
    bool on_key(int key) override;

private:
    int current_column_ = -1;
};

class GridSelectionStrategyMultiRowBase : public GridSelectionStrategyWithHighlight {
public:
    bool is_row_selected(int row) const { return rows_.count(row) != 0; }
    void set_row_selected(int row, bool selected);
    void select_only_row(int row);
    // Exactly the rows from..to afterwards, limited to the rows there are.
    void select_row_range(int from, int to);
    void clear_selection();
    const std::set<int>& get_selected_rows() const { return rows_; }

    bool is_selected(int, int row) override { return is_row_selected(row); }
    bool is_highlighted(int, int row) override { return row == get_highlight_row(); }
    Cell get_selected_cell() override;
    // `at` is the first row inserted or removed.
    void on_rows_inserted(int at, int count) override;
    void on_rows_removed(int at, int count) override;

private:
    std::set<int> rows_;
};

class GridSelectionStrategyMultiRowCE : public GridSelectionStrategyMultiRowBase {
public:
    void on_press(int column, int row) override;
    void on_drag(int column, int row) override;
    void on_release(int, int) override {}
    void on_context_press(int column, int row) override;
    void on_context_release(int, int) override {}
    bool on_key(int key) override;

private:
    int anchor_ = -1;
};

}  // namespace skinner
