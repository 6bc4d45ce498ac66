#include "skin/combo_box_string.h"

namespace skinner {

ControlComboBoxStringReadonly::ControlComboBoxStringReadonly(Container* container, const std::u16string& name,
                                                             int lookup_mode)
    : ControlComboBoxGenericReadonly(container, name, lookup_mode) {}

std::u16string ControlComboBoxStringReadonly::get_item_text(int index) {
    if (index < 0 || index >= get_item_count()) return {};
    return items_[static_cast<std::size_t>(index)];
}

void ControlComboBoxStringReadonly::paint_item(int, int row, Canvas& canvas, Point position, Size size, bool selected,
                                               bool highlighted) {
    List* const list = get_list();
    if (!list || row < 0 || row >= get_item_count()) return;
    const StateLook& look = list->get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    Point const low = list->get_item_border_min();
    Point const high = list->get_item_border_max();
    int const indent = list->get_indent();
    POINT const text_position{position.x + low.x + indent, position.y + low.y};
    POINT const text_size{size.width - low.x - high.x - indent, size.height - low.y - high.y};
    look.font.draw_text(canvas, look.colour, items_[static_cast<std::size_t>(row)], text_position, text_size, 0, 1);
}

}  // namespace skinner
