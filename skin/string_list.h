// A one-column list whose rows are plain texts: ControlListGeneric keeps the rows and tells
// the grid and its one-row selection when they change; ControlListString paints each row's
// text after a left indent.
#pragma once

#include <string>
#include <vector>

#include "skin/grid.h"
#include "skin/grid_selection.h"

namespace skinner {

template <class Rows>
class ControlListGeneric : public ControlGrid, public GridSelectionStrategySingleRow {
public:
    ControlListGeneric(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME)
        : ControlGrid(container, name, lookup_mode) {}

    int get_row_count() override { return static_cast<int>(rows_.size()); }
    int get_column_count() override { return 1; }

    const Rows& get_rows() const { return rows_; }

    // Replaces every row; the selection is cleared.
    void set_rows(Rows rows) {
        rows_removed_at(0, get_row_count());
        rows_ = std::move(rows);
        rows_inserted_at(0, get_row_count());
        refresh();
    }

    void add_row(typename Rows::value_type row) { insert_row(get_row_count(), std::move(row)); }

    // An index past the end appends.
    void insert_row(int at, typename Rows::value_type row) {
        const int first = at < 0 ? 0 : (at > get_row_count() ? get_row_count() : at);
        rows_.insert(rows_.begin() + first, std::move(row));
        rows_inserted_at(first, 1);
        refresh();
    }

    // False, with nothing changed, for a row that does not exist.
    bool remove_row(int row) {
        if (row < 0 || row >= get_row_count()) return false;
        rows_.erase(rows_.begin() + row);
        rows_removed_at(row, 1);
        refresh();
        return true;
    }

    void clear_rows() { set_rows(Rows()); }

protected:
    Rows rows_;
};

class ControlListString : public ControlListGeneric<std::vector<std::u16string>> {
public:
    ControlListString(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);

    void load_properties() override;
    void paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                    bool highlighted) override;

    int get_indent() const { return indent_; }

private:
    void read_indent();

    int indent_ = 0;
};

}  // namespace skinner
