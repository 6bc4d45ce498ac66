// What a typed combo box gives its drop-down list: the items to paint and the selection.
#pragma once

#include "skin/canvas.h"
#include "skin/geometry.h"

namespace skinner {

class ControlComboBoxGenericInterface {
public:
    virtual ~ControlComboBoxGenericInterface() = default;

    virtual void paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                            bool highlighted) = 0;
    virtual int get_item_count() = 0;
    virtual int get_column_count() { return 1; }
    // -1 for none.
    virtual int get_selected_index() = 0;
    virtual void set_selected_index(int index) = 0;
};

}  // namespace skinner
