// The list that a typed combo box shows in its drop-down: a one-row-selection grid whose
// rows are the combo's items; the combo paints them, and a row chosen here becomes the
// combo's selected index before the grid tells its listener.
#pragma once

#include <string>

#include "skin/combo_box_interface.h"
#include "skin/grid.h"
#include "skin/grid_selection.h"

namespace skinner {

class List : public ControlGrid, public GridSelectionStrategySingleRow {
public:
    List(Container* container, const std::u16string& name, int lookup_mode, ControlComboBoxGenericInterface* combo);
    ~List() override;

    void load_properties() override;
    void paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                    bool highlighted) override;
    int get_row_count() override { return combo_->get_item_count(); }
    int get_column_count() override { return combo_->get_column_count(); }

    using ControlGrid::on_selection_changed;
    void on_selection_changed() override;

    int get_indent() const { return indent_; }

private:
    void read_indent();

    ControlComboBoxGenericInterface* combo_;
    int indent_ = 0;
};

}  // namespace skinner
