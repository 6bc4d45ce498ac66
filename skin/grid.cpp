#include "skin/grid.h"

#include <algorithm>

#include "skin/container.h"
#include "skin/skin_report.h"

namespace skinner {

ControlGrid::Painter::Painter(ControlGrid* grid)
    : Control(grid->get_panel_container(), u"", LOOKUP_NONE), grid_(grid) {}

ControlGrid::Painter::Hit ControlGrid::Painter::hit(Point point) const {
    Hit result;
    int const height = get_rect_size().height;
    int const header = grid_->get_header_height();
    if (point.y < 0 || point.y >= height) return result;
    result.area = point.y < header ? AREA_HEADER : AREA_ITEMS;
    auto const& positions = grid_->positions_;
    int const x = point.x + grid_->get_horizontal_offset();
    for (std::size_t column = 0; column + 1 < positions.size(); ++column) {
        if (x >= positions[column] && x < positions[column + 1]) result.column = static_cast<int>(column);
    }
    int const rows = grid_->get_row_count();
    int const item_height = grid_->get_item_height();
    int const first = grid_->get_top_row();
    if (item_height <= 0) {
        result.row = rows;  // no item rows
    } else if (point.y < header) {
        result.row = first;
    } else {
        result.row = std::min(first + (point.y - header) / item_height, rows);
    }
    return result;
}

void ControlGrid::Painter::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    int const rows = grid_->get_row_count();
    int const columns = grid_->get_column_count();
    int const header = grid_->get_header_height();
    int const item_height = grid_->get_item_height();
    auto const& positions = grid_->positions_;
    if (positions.size() != static_cast<std::size_t>(columns) + 1) {
        raise_report(u"ControlGrid::Painter::paint",
                     u"Number of items in grid " + grid_->get_name() + u" had changed, but no refresh was called");
    }
    Point const origin = get_position();
    Size const size = get_rect_size();
    canvas.push_clip(POINT{origin.x, origin.y}, POINT{size.width, size.height});
    int const offset = grid_->get_horizontal_offset();
    for (int column = 0; column < columns; ++column) {
        grid_->paint_header(column, canvas, {origin.x + positions[column] - offset, origin.y},
                            {positions[column + 1] - positions[column], header});
    }
    if (item_height > 0) {
        for (int row = grid_->get_top_row(), y = header; row < rows && y < size.height; ++row, y += item_height) {
            for (int column = 0; column < columns; ++column) {
                grid_->paint_item(column, row, canvas, {origin.x + positions[column] - offset, origin.y + y},
                                  {positions[column + 1] - positions[column], item_height},
                                  grid_->is_selected(column, row), grid_->is_highlighted(column, row));
            }
        }
    }
    canvas.pop_clip();
    Control::paint(canvas, clip_position, clip_size);
}

void ControlGrid::Painter::on_stylus_move(Point point, unsigned) {
    Point const origin = get_position();
    Hit const at = hit({point.x - origin.x, point.y - origin.y});
    if (at.area == AREA_ITEMS) {
        grid_->set_highlight(at.column, at.row);
    } else {
        grid_->set_highlight(-1, -1);
    }
    if (press_area_ == AREA_ITEMS) grid_->on_drag(at.column, at.row);
}

void ControlGrid::Painter::on_stylus_down(Point point, unsigned) {
    Point const origin = get_position();
    Point const local{point.x - origin.x, point.y - origin.y};
    Hit const at = hit(local);
    if (at.area == AREA_ITEMS && at.column == 0 && at.row < grid_->get_row_count()) {
        int const cell_left = grid_->positions_[0] - grid_->get_horizontal_offset();
        if (local.x >= cell_left && local.x < cell_left + grid_->get_indent_width(at.row)) {
            grid_->on_indent_click({at.column, at.row}, point);
            return;
        }
    }
    press_area_ = at.area;
    if (at.area == AREA_ITEMS) grid_->on_press(at.column, at.row);
}

void ControlGrid::Painter::on_stylus_up(Point point, unsigned) {
    Point const origin = get_position();
    Hit const at = hit({point.x - origin.x, point.y - origin.y});
    int const pressed = press_area_;
    press_area_ = AREA_OUTSIDE;
    Point cell;
    Size cell_size;
    grid_->get_cell_rect(at.column, at.row, cell, cell_size);
    Point const offset{point.x - cell.x, point.y - cell.y};
    if (pressed == AREA_HEADER && at.area == AREA_HEADER) {
        grid_->get_cell_rect(at.column, -1, cell, cell_size);
        grid_->notify_header_click(at.column, {point.x - cell.x, point.y - origin.y}, point);
    } else if (pressed == AREA_ITEMS) {
        grid_->on_release(at.column, at.row);
        if (at.area == AREA_ITEMS) grid_->notify_item_click(at.column, at.row, offset, point);
    }
}

void ControlGrid::Painter::on_button2_down(Point point, unsigned) {
    Point const origin = get_position();
    Point const local{point.x - origin.x, point.y - origin.y};
    Hit const at = hit(local);
    if (at.area != AREA_ITEMS) return;
    if (at.column == 0 && at.row < grid_->get_row_count()) {
        int const cell_left = grid_->positions_[0] - grid_->get_horizontal_offset();
        if (local.x >= cell_left && local.x < cell_left + grid_->get_indent_width(at.row)) return;
    }
    second_pressed_ = true;
    grid_->on_context_press(at.column, at.row);
}

void ControlGrid::Painter::on_button2_up(Point point, unsigned) {
    if (!second_pressed_) return;
    second_pressed_ = false;
    Point const origin = get_position();
    Hit const at = hit({point.x - origin.x, point.y - origin.y});
    grid_->on_context_release(at.column, at.row);
    Point cell;
    Size cell_size;
    if (at.area == AREA_HEADER) {
        grid_->get_cell_rect(at.column, -1, cell, cell_size);
        grid_->notify_header_context(at.column, {point.x - cell.x, point.y - origin.y}, point);
    } else if (at.area == AREA_ITEMS) {
        grid_->get_cell_rect(at.column, at.row, cell, cell_size);
        grid_->notify_item_context(at.column, at.row, {point.x - cell.x, point.y - cell.y}, point);
    }
}

void ControlGrid::Painter::on_hover_leave(Control*) { grid_->set_highlight(-1, -1); }

void ControlGrid::Painter::on_scroll_steps(int steps) {
    grid_->set_top_row(grid_->get_top_row() - 3 * steps);
    grid_->set_highlight(-1, -1);
}

ControlGrid::ControlGrid(Container* container, const std::u16string& name, int lookup_mode)
    : ControlPanelAutoScroll(container, name, lookup_mode), hold_timer_(this) {
    painter_ = std::make_unique<Painter>(this);
    read_keys();
}

ControlGrid::~ControlGrid() {
    hold_timer_.stop();
    painter_.reset();
}

void ControlGrid::read_keys() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    item_height_ = get_scaled_integer_property(u"ItemHeight", 40);
    border_min_ = get_point_property(u"BorderMin", {});
    border_max_ = get_point_property(u"BorderMax", border_min_);
    looks_[ITEM_NORMAL] = build_state_look(*this, u"ItemNormal", nullptr);
    looks_[ITEM_SELECTION] = build_state_look(*this, u"ItemSelection", &looks_[ITEM_NORMAL]);
    looks_[ITEM_HIGHLIGHT] = build_state_look(*this, u"ItemHighlight", &looks_[ITEM_NORMAL]);
    looks_[ITEM_SELECTION_HIGHLIGHT] = build_state_look(*this, u"ItemSelectionHighlight", &looks_[ITEM_SELECTION]);
    looks_[HEADER_NORMAL] = build_state_look(*this, u"HeaderNormal", &looks_[ITEM_NORMAL]);
    normal_ = get_picture_property(u"Normal", PictureRef());
    highlighted_ = get_picture_property(u"Highlighted", normal_);
    disabled_ = get_picture_property(u"Disabled", normal_);
}

void ControlGrid::load_properties() {
    ControlPanelAutoScroll::load_properties();
    read_keys();
    layout();
}

const StateLook& ControlGrid::get_item_look(bool selected, bool highlighted) {
    if (selected && highlighted) return looks_[ITEM_SELECTION_HIGHLIGHT];
    if (selected) return looks_[ITEM_SELECTION];
    if (highlighted) return looks_[ITEM_HIGHLIGHT];
    return looks_[ITEM_NORMAL];
}

void ControlGrid::notify_item_click(int column, int row, Point, Point) { on_item_click(this, {column, row}); }
void ControlGrid::notify_item_context(int column, int row, Point, Point) { on_item_context(this, {column, row}); }
void ControlGrid::notify_header_click(int column, Point offset, Point point) {
    on_header_click(this, HeaderEvent{column, offset, point});
}
void ControlGrid::notify_header_context(int column, Point offset, Point point) {
    on_header_context(this, HeaderEvent{column, offset, point});
}
void ControlGrid::notify_inplace_edit_done(int column, int row, bool accepted) {
    on_inplace_edit_done(this, EditRecord{column, row, accepted});
}

int ControlGrid::get_top_row() { return get_vertical_bar().get_scroll_position(); }
int ControlGrid::get_horizontal_offset() { return get_horizontal_bar().get_scroll_position(); }

int ControlGrid::get_page_rows() {
    int const item_height = get_item_height();
    if (item_height <= 0 || !painter_) return 0;
    return std::max(0, (painter_->get_rect_size().height - get_header_height()) / item_height);
}

void ControlGrid::set_rect(Point position, Size size) {
    ControlPanelAutoScroll::set_rect(position, size);
    layout();
}

void ControlGrid::layout() {
    if (!painter_) return;
    int const rows = get_row_count();
    int const columns = get_column_count();
    int const item_height = get_item_height();
    int const header = get_header_height();
    int fixed_sum = 0;
    int weight_sum = 0;
    int last_weighted = -1;
    for (int column = 0; column < columns; ++column) {
        int const width = get_column_width(column);
        if (width >= 0) {
            fixed_sum += width;
        } else {
            weight_sum += width;
            last_weighted = column;
        }
    }
    layout_content(painter_.get(), {fixed_sum, item_height * rows + header});
    layout_columns(columns, fixed_sum, weight_sum, last_weighted);
    if (item_height > 0) {
        get_vertical_bar().set_range(0, rows);
        get_vertical_bar().set_page(get_page_rows());
    }
    get_horizontal_bar().set_range(0, positions_.back());
    get_horizontal_bar().set_page(painter_->get_rect_size().width);
    place_inplace_edit();
}

void ControlGrid::layout_columns(int column_count, int fixed_sum, int weight_sum, int last_weighted) {
    positions_.assign(1, 0);
    int const free = std::max(0, painter_->get_rect_size().width - fixed_sum);
    int given = 0;
    for (int column = 0; column < column_count; ++column) {
        int width = get_column_width(column);
        if (width < 0) {
            width = column == last_weighted ? free - given
                                            : static_cast<int>(static_cast<long long>(width) * free / weight_sum);
            given += width;
        }
        positions_.push_back(positions_.back() + width);
    }
}

void ControlGrid::place_inplace_edit() {
    if (!edit_) return;
    ensure_column_visible(edit_cell_.column);
    ensure_row_visible(edit_cell_.row);
    Point cell;
    Size size;
    get_cell_rect(edit_cell_.column, edit_cell_.row, cell, size);
    Point const origin = painter_->get_position();
    Size const room = painter_->get_rect_size();
    int const x = cell.x - origin.x;
    int const y = cell.y - origin.y;
    size.width = std::max(0, std::min(size.width, room.width - x));
    size.height = std::max(0, std::min(size.height, room.height - y));
    edit_->set_rect(cell, size);
    edit_->set_visible(true);
}

void ControlGrid::get_cell_rect(int column, int row, Point& position, Size& size) {
    Point const origin = painter_->get_position();
    Size const room = painter_->get_rect_size();
    int const header = get_header_height();
    int const item_height = get_item_height();
    bool const known_column = column >= 0 && static_cast<std::size_t>(column) + 1 < positions_.size();
    position.x = known_column ? origin.x + positions_[column] - get_horizontal_offset() : origin.x;
    size.width = known_column ? positions_[column + 1] - positions_[column] : room.width;
    position.y = row >= 0 ? origin.y + header + (row - get_top_row()) * item_height : origin.y + header;
    size.height = row >= 0 ? item_height : room.height - header;
}

void ControlGrid::refresh() {
    layout();
    repaint();
}

void ControlGrid::set_top_row(int row) { get_vertical_bar().set_position(row); }

void ControlGrid::ensure_row_visible(int row) {
    int const page = get_page_rows();
    if (page <= 0) return;
    int const first = get_top_row();
    if (row < first) {
        set_top_row(row);
    } else if (row >= first + page) {
        set_top_row(row - page + 1);
    }
}

void ControlGrid::ensure_column_visible(int column) {
    if (column < 0 || static_cast<std::size_t>(column) + 1 >= positions_.size()) return;
    ControlScrollBar& bar = get_horizontal_bar();
    int const width = painter_->get_rect_size().width;
    if (positions_[column + 1] > bar.get_scroll_position() + width) bar.set_position(positions_[column + 1] - width);
    if (positions_[column] < bar.get_scroll_position()) bar.set_position(positions_[column]);
}

void ControlGrid::on_selection_changed() {
    on_selection_changed(this);
    repaint();
}

void ControlGrid::on_highlight_changed() {
    on_highlight_changed(this);
    repaint();
}

void ControlGrid::on_scroll(Control* scroll_bar, int position) {
    if (scroll_bar == &get_vertical_bar() || scroll_bar == &get_horizontal_bar()) {
        repaint();
        place_inplace_edit();
    }
    ControlPanelAutoScroll::on_scroll(scroll_bar, position);
}

const PictureRef& ControlGrid::current_background() {
    if (!is_enabled()) return disabled_;
    if (has_focus()) return highlighted_;
    return normal_;
}

void ControlGrid::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    Point const p = get_position();
    Size const s = get_rect_size();
    current_background().draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
    ControlPanelAutoScroll::paint(canvas, clip_position, clip_size);
}

bool ControlGrid::hit_test(Point point) {
    if (get_panel_container()->contains_control_at(point)) return true;
    if (!Control::hit_test(point)) return false;
    PictureRef const& background = current_background();
    Point const p = get_position();
    Size const s = get_rect_size();
    return background.is_empty() ||
           !background.is_transparent_at(POINT{point.x, point.y}, POINT{p.x, p.y}, POINT{s.width, s.height});
}

void ControlGrid::start_inplace_edit(Control* edit, int column, int row) {
    end_inplace_edit(true);
    if (edit && edit->get_container() != get_panel_container()) {
        raise_report(u"ControlGrid::start_inplace_edit", u"inplace_control->get_container() != get_panel_container()");
    }
    edit_ = edit;
    edit_cell_ = edit ? Cell{column, row} : Cell{};
    if (!edit) return;
    edit->set_z_order(1);
    layout();
    edit->set_focus();
}

void ControlGrid::end_inplace_edit(bool accepted) {
    if (!edit_) return;
    Control* const edit = edit_;
    Cell const cell = edit_cell_;
    edit->set_visible(false);
    if (get_panel_container()->get_focused() == edit) get_panel_container()->set_focus(nullptr);
    edit_ = nullptr;
    edit_cell_ = {};
    notify_inplace_edit_done(cell.column, cell.row, accepted);
    repaint();
}

void ControlGrid::on_focus_lost(Control* next) {
    ControlPanelAutoScroll::on_focus_lost(next);
    end_inplace_edit(true);
}

void ControlGrid::on_active_changed(bool active) {
    ControlPanelAutoScroll::on_active_changed(active);
    if (!active) end_inplace_edit(false);
}

void ControlGrid::on_stylus_down(Point point, unsigned flags) {
    if (edit_ && !edit_->hit_test(point)) end_inplace_edit(true);
    ControlPanelAutoScroll::on_stylus_down(point, flags);
}

void ControlGrid::on_button2_down(Point point, unsigned flags) {
    if (edit_ && !edit_->hit_test(point)) end_inplace_edit(true);
    ControlPanelAutoScroll::on_button2_down(point, flags);
}

void ControlGrid::on_button3_down(Point point, unsigned flags) {
    if (edit_ && !edit_->hit_test(point)) end_inplace_edit(true);
    ControlPanelAutoScroll::on_button3_down(point, flags);
}

bool ControlGrid::on_keydown(int key) {
    if (edit_) {
        if (key == KEY_ESCAPE || key == KEY_RETURN) {
            end_inplace_edit(key == KEY_RETURN);
            return true;
        }
        return ControlPanelAutoScroll::on_keydown(key);
    }
    if (key == KEY_RETURN) {
        if (!hold_timer_.is_active()) hold_timer_.start(0.5);
        return false;
    }
    if (key == KEY_APPS) {
        raise_context();
        return true;
    }
    if (!on_key(key)) return false;
    layout();
    repaint();
    return true;
}

bool ControlGrid::on_keyup(int key) {
    if (key == KEY_RETURN) {
        hold_timer_.stop();
        return false;
    }
    return edit_ && ControlPanelAutoScroll::on_keyup(key);
}

void ControlGrid::on_timer(liba::Timer*) { raise_context(); }

void ControlGrid::raise_context() {
    Cell const cell = get_selected_cell();
    Point position;
    Size size;
    get_cell_rect(cell.column, cell.row, position, size);
    Point const origin = painter_->get_position();
    Size const room = painter_->get_rect_size();
    Point point{position.x + size.width / 2, position.y + size.height / 2};
    if (cell.column == -1) point.x = origin.x + room.width / 5;
    if (cell.row == -1) point.y = origin.y + room.height / 5;
    notify_item_context(cell.column, cell.row, {point.x - position.x, point.y - position.y}, point);
}

}  // namespace skinner
