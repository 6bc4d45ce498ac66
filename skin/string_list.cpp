#include "skin/string_list.h"

namespace skinner {

ControlListString::ControlListString(Container* container, const std::u16string& name, int lookup_mode)
    : ControlListGeneric(container, name, lookup_mode) {
    read_indent();
    refresh();
}

void ControlListString::read_indent() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    indent_ = get_scaled_integer_property(u"Indent", 0);
}

void ControlListString::load_properties() {
    ControlListGeneric::load_properties();
    read_indent();
}

void ControlListString::paint_item(int, int row, Canvas& canvas, Point position, Size size, bool selected,
                                   bool highlighted) {
    if (row < 0 || row >= get_row_count()) return;
    const StateLook& look = get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    look.font.draw_text(canvas, look.colour, rows_[static_cast<std::size_t>(row)],
                        POINT{position.x + indent_, position.y}, POINT{size.width - indent_, size.height}, 0, 1);
}

}  // namespace skinner
