// The read-only combo box over plain texts.
#pragma once

#include <string>
#include <vector>

#include "skin/combo_box_generic.h"

namespace skinner {

class ControlComboBoxStringReadonly : public ControlComboBoxGenericReadonly<std::vector<std::u16string>> {
public:
    ControlComboBoxStringReadonly(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);

    std::u16string get_item_text(int index) override;
    // The list's item look, then the text inside the list's item borders, after its indent.
    void paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                    bool highlighted) override;
};

}  // namespace skinner
