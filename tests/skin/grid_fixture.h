// A list of plain coloured cells on a test form, for the grid, scroll bar and auto-scroll
// panel tests, with a form that logs the list events as short texts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skin/grid.h"
#include "tests/skin/form_fixture.h"

namespace grid_test {

// Logs "item-click 1,2", "item-context 1,2", "header-click 1 at 4,5", "edit-done 1,2 0",
// "selection", "scroll 7".
class GridForm : public form_test::TestForm {
public:
    GridForm(skinner::Properties* properties, const std::u16string& name, form_test::Log& log);

    void on_item_click(skinner::Control* sender, skinner::Cell cell) override;
    void on_item_context(skinner::Control* sender, skinner::Cell cell) override;
    void on_header_click(skinner::Control* grid, const skinner::HeaderEvent& event) override;
    void on_header_context(skinner::Control* grid, const skinner::HeaderEvent& event) override;
    void on_inplace_edit_done(skinner::Control* grid, const skinner::EditRecord& record) override;
    void on_selection_changed(skinner::Control* sender) override;
    void on_scroll(skinner::Control* scroll_bar, int position) override;

private:
    form_test::Log& log_;
};

// Rows of cells filled grey, selected ones black; logs the rows it paints and indent taps.
template <class Strategy>
class TestList : public skinner::ControlGrid, public Strategy {
public:
    TestList(skinner::Container* container, const std::u16string& name, form_test::Log& log)
        : skinner::ControlGrid(container, name), log_(log) {}

    int get_row_count() override { return rows; }
    int get_column_count() override { return static_cast<int>(widths.size()); }
    int get_column_width(int column) override { return widths[column]; }
    int get_header_height() override { return header; }
    int get_indent_width(int) override { return indent; }
    int get_item_height() override { return item_height ? *item_height : skinner::ControlGrid::get_item_height(); }
    void paint_item(int, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size, bool selected,
                    bool) override {
        ++painted_cells;
        last_painted_row = row;
        canvas.fill_rect(POINT{position.x, position.y}, POINT{size.width, size.height},
                         selected ? RGB(0, 0, 0) : RGB(128, 128, 128));
    }
    void on_indent_click(skinner::Cell cell, skinner::Point) override {
        log_.push_back("indent " + std::to_string(cell.column) + "," + std::to_string(cell.row));
    }

    int rows = 5;
    std::vector<int> widths{-1};
    int header = 0;
    int indent = 0;
    const int* item_height = nullptr;
    int painted_cells = 0;
    int last_painted_row = -1;

private:
    form_test::Log& log_;
};

// The records of a grid control: item height 10, scroll bars 10 wide from the kinds "VBar"
// and "HBar" (arrows and thumb from "Arrow", "Space" and "Thumb", whose picture is at least
// 8 long).
std::string grid_records(int item_height = 10);
// The kinds that grid_records and scroll bars name.
std::string scroll_kinds();

}  // namespace grid_test
