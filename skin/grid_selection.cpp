#include "skin/grid_selection.h"

#include <algorithm>

#include "skin/control.h"

namespace skinner {

void GridSelectionStrategyWithHighlight::set_highlight(int column, int row) {
    Cell const cell{column, row};
    if (cell == highlight_) return;
    highlight_ = cell;
    on_highlight_changed();
}

void GridSelectionStrategySingleRow::set_current_row(int row) {
    if (row == current_row_) return;
    current_row_ = row;
    on_selection_changed();
    if (row >= 0 && row < get_row_count()) ensure_row_visible(row);
}

void GridSelectionStrategySingleRow::select_row(int row) {
    if (row >= 0 && row < get_row_count()) set_current_row(row);
}

void GridSelectionStrategySingleRow::on_rows_inserted(int at, int count) {
    if (current_row_ > at) set_current_row(current_row_ + count);
}

void GridSelectionStrategySingleRow::on_rows_removed(int at, int count) {
    if (current_row_ <= at) return;
    set_current_row(current_row_ <= at + count ? -1 : current_row_ - count);
}

bool GridSelectionStrategySingleRow::on_key(int key) {
    int const count = get_row_count();
    if (count <= 0) return false;
    int const current = current_row_;
    int row = current;
    switch (key) {
    case KEY_UP:
    case KEY_PRIOR:
        if (current == 0) return false;
        row = current < 0 ? 0 : current - 1;
        break;
    case KEY_DOWN:
    case KEY_NEXT:
        if (current >= count - 1) return false;
        row = current + 1;
        break;
    case KEY_HOME: row = 0; break;
    case KEY_END: row = count - 1; break;
    default: return false;
    }
    set_current_row(row);
    set_highlight(0, -1);
    ensure_row_visible(current_row_);
    return true;
}

void GridSelectionStrategySingleColumn::set_current_column(int column) {
    if (column == current_column_) return;
    current_column_ = column;
    on_selection_changed();
}

void GridSelectionStrategySingleColumn::select_column(int column) {
    if (column >= 0 && column < get_column_count()) set_current_column(column);
}

bool GridSelectionStrategySingleColumn::on_key(int key) {
    int const count = get_column_count();
    if (count <= 0) return false;
    int const current = current_column_;
    int column = current;
    switch (key) {
    case KEY_LEFT: column = current < 0 ? 0 : std::max(current - 1, 0); break;
    case KEY_RIGHT: column = current < 0 ? 0 : std::min(current + 1, count - 1); break;
    case KEY_HOME: column = 0; break;
    case KEY_END: column = count - 1; break;
    default: return false;
    }
    set_current_column(column);
    set_highlight(0, -1);
    ensure_column_visible(current_column_);
    return true;
}

void GridSelectionStrategyMultiRowBase::set_row_selected(int row, bool selected) {
    if (row < 0 || row >= get_row_count()) return;
    bool const changed = selected ? rows_.insert(row).second : rows_.erase(row) != 0;
    if (changed) on_selection_changed();
}

void GridSelectionStrategyMultiRowBase::select_only_row(int row) {
    if (rows_.size() == 1 && *rows_.begin() == row) return;
    bool changed = !rows_.empty();
    rows_.clear();
    if (row >= 0 && row < get_row_count()) {
        rows_.insert(row);
        changed = true;
    }
    if (changed) on_selection_changed();
}

void GridSelectionStrategyMultiRowBase::select_row_range(int from, int to) {
    int const count = get_row_count();
    if (count <= 0) return;
    int const start = std::max(from, 0);
    int const end = to < 0 ? 0 : std::min(to, count - 1);
    bool changed = false;
    if (!rows_.empty() && (*rows_.begin() < start || *rows_.rbegin() > end)) {
        rows_.clear();
        changed = true;
    }
    for (int row = start; row <= end; ++row) changed = rows_.insert(row).second || changed;
    if (changed) on_selection_changed();
}

void GridSelectionStrategyMultiRowBase::clear_selection() {
    if (rows_.empty()) return;
    rows_.clear();
    on_selection_changed();
}

Cell GridSelectionStrategyMultiRowBase::get_selected_cell() {
    return {-1, rows_.empty() ? -1 : *rows_.begin()};
}

void GridSelectionStrategyMultiRowBase::on_rows_inserted(int at, int count) {
    if (count <= 0) return;
    std::set<int> moved;
    for (int row : rows_) moved.insert(row >= at ? row + count : row);
    rows_ = std::move(moved);
    on_selection_changed();
}

void GridSelectionStrategyMultiRowBase::on_rows_removed(int at, int count) {
    if (count <= 0) return;
    std::set<int> kept;
    for (int row : rows_) {
        if (row < at) {
            kept.insert(row);
        } else if (row >= at + count) {
            kept.insert(row - count);
        }
    }
    rows_ = std::move(kept);
    on_selection_changed();
}

void GridSelectionStrategyMultiRowCE::on_press(int, int row) {
    anchor_ = row;
    select_only_row(row);
}

void GridSelectionStrategyMultiRowCE::on_drag(int, int row) {
    select_row_range(std::min(anchor_, row), std::max(anchor_, row));
}

void GridSelectionStrategyMultiRowCE::on_context_press(int, int row) {
    if (row >= 0 && row < get_row_count() && !is_row_selected(row)) select_only_row(row);
}

bool GridSelectionStrategyMultiRowCE::on_key(int key) {
    int const count = get_row_count();
    if (count <= 0) return false;
    auto const& rows = get_selected_rows();
    int target = 0;
    switch (key) {
    case KEY_DOWN:
    case KEY_NEXT:
        target = count - 1;
        if (!rows.empty()) {
            int const high = *rows.rbegin();
            if (high < count - 1) target = high + 1;
            clear_selection();
        }
        break;
    case KEY_UP:
    case KEY_PRIOR:
        if (!rows.empty()) {
            target = std::max(*rows.begin() - 1, 0);
            clear_selection();
        }
        break;
    default: return false;
    }
    set_row_selected(target, true);
    set_highlight(0, -1);
    ensure_row_visible(target);
    return true;
}

}  // namespace skinner
