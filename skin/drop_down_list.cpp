#include "skin/drop_down_list.h"

namespace skinner {

List::List(Container* container, const std::u16string& name, int lookup_mode, ControlComboBoxGenericInterface* combo)
    : ControlGrid(container, name, lookup_mode), combo_(combo) {
    read_indent();
    refresh();
}

List::~List() = default;

void List::read_indent() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    indent_ = get_scaled_integer_property(u"Indent", indent_);
}

void List::load_properties() {
    ControlGrid::load_properties();
    read_indent();
}

void List::paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                      bool highlighted) {
    combo_->paint_item(column, row, canvas, position, size, selected, highlighted);
}

void List::on_selection_changed() {
    combo_->set_selected_index(get_current_row());
    ControlGrid::on_selection_changed();
}

}  // namespace skinner
