#include "tests/skin/grid_fixture.h"

namespace grid_test {

namespace {

std::string cell_text(skinner::Cell cell) { return std::to_string(cell.column) + "," + std::to_string(cell.row); }

}  // namespace

GridForm::GridForm(skinner::Properties* properties, const std::u16string& name, form_test::Log& log)
    : form_test::TestForm(nullptr, properties, name, log), log_(log) {}

void GridForm::on_item_click(skinner::Control*, skinner::Cell cell) { log_.push_back("item-click " + cell_text(cell)); }
void GridForm::on_item_context(skinner::Control*, skinner::Cell cell) {
    log_.push_back("item-context " + cell_text(cell));
}
void GridForm::on_header_click(skinner::Control*, const skinner::HeaderEvent& event) {
    log_.push_back("header-click " + std::to_string(event.column) + " at " + std::to_string(event.offset.x) + "," +
                   std::to_string(event.offset.y));
}
void GridForm::on_header_context(skinner::Control*, const skinner::HeaderEvent& event) {
    log_.push_back("header-context " + std::to_string(event.column));
}
void GridForm::on_inplace_edit_done(skinner::Control*, const skinner::EditRecord& record) {
    log_.push_back("edit-done " + cell_text({record.column, record.row}) + " " + (record.accepted ? "1" : "0"));
}
void GridForm::on_selection_changed(skinner::Control*) { log_.push_back("selection"); }
void GridForm::on_scroll(skinner::Control*, int position) { log_.push_back("scroll " + std::to_string(position)); }

std::string grid_records(int item_height) {
    return "<integer name=\"ItemHeight\" value=\"" + std::to_string(item_height) +
           "\"/><integer name=\"ScrollWidth\" value=\"10\"/>"
           "<string name=\"KindScroll\" value=\"VBar\"/><string name=\"KindHScroll\" value=\"HBar\"/>";
}

std::string scroll_kinds() {
    std::string const parts = "<string name=\"KindMin\" value=\"Arrow\"/><string name=\"KindMax\" value=\"Arrow\"/>"
                              "<string name=\"KindSpace\" value=\"Space\"/><string name=\"KindTrack\" value=\"Thumb\"/>"
                              "<integer name=\"MinButtonSize\" value=\"10\"/><integer name=\"MaxButtonSize\" value=\"10\"/>";
    return "<kind name=\"VBar\"><integer name=\"Vertical\" value=\"1\"/>" + parts + "</kind>" +
           "<kind name=\"HBar\">" + parts + "</kind><kind name=\"Arrow\"/><kind name=\"Space\"/>" +
           "<kind name=\"Thumb\"><picture name=\"Normal\" image=\"back\" outer=\"0 0 16 16\" inner=\"4 4 12 12\"/></kind>";
}

}  // namespace grid_test
