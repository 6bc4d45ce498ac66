// The base of every list-like control: rows and columns laid out in a scrolling panel,
// visible items painted with state-dependent looks, stylus and keys turned into selection
// changes by the selection strategy, click, context and edit events raised to the container,
// and one in-place edit control over a cell.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/timer.h"
#include "skin/button.h"
#include "skin/grid_selection.h"
#include "skin/header_event.h"
#include "skin/panel_auto_scroll.h"

namespace skinner {

class ControlGrid : public ControlPanelAutoScroll, public virtual GridSelectionStrategy, public liba::Timer::Listener {
public:
    // Draws and hit-tests the item area; lives in the grid's own panel.
    class Painter : public Control {
    public:
        enum Area { AREA_HEADER = 0, AREA_ITEMS = 1, AREA_OUTSIDE = 2 };
        struct Hit {
            int area = AREA_OUTSIDE;
            int column = -1;
            int row = -1;
        };

        explicit Painter(ControlGrid* grid);

        void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
        void on_stylus_move(Point point, unsigned flags) override;
        void on_stylus_down(Point point, unsigned flags) override;
        void on_stylus_up(Point point, unsigned flags) override;
        void on_button2_down(Point point, unsigned flags) override;
        void on_button2_up(Point point, unsigned flags) override;
        void on_hover_leave(Control* now_hovered) override;

        // The point is relative to the painter.
        Hit hit(Point point) const;
        // Moves the first shown row by three rows a step, up for positive steps.
        void on_scroll_steps(int steps);

    private:
        ControlGrid* grid_;
        int press_area_ = AREA_OUTSIDE;
        bool second_pressed_ = false;
    };

    enum LookIndex { ITEM_NORMAL = 0, ITEM_SELECTION = 1, ITEM_HIGHLIGHT = 2, ITEM_SELECTION_HIGHLIGHT = 3, HEADER_NORMAL = 4 };

    ControlGrid(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlGrid() override;

    virtual int get_item_height() { return item_height_; }
    virtual int get_header_height() { return 0; }
    // 0 or more: fixed; negative: a weight in the width that the fixed columns leave.
    virtual int get_column_width(int /*column*/) { return -1; }
    virtual void paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                            bool highlighted) = 0;
    virtual void paint_header(int /*column*/, Canvas& /*canvas*/, Point /*position*/, Size /*size*/) {}
    virtual void notify_item_click(int column, int row, Point offset, Point point);
    virtual bool reserved_grid_1() { return false; }
    virtual void notify_item_context(int column, int row, Point offset, Point point);
    virtual bool reserved_grid_2() { return false; }
    virtual void notify_header_click(int column, Point offset, Point point);
    virtual void notify_header_context(int column, Point offset, Point point);
    virtual void notify_inplace_edit_done(int column, int row, bool accepted);
    virtual bool reserved_grid_3() { return false; }
    virtual void on_indent_click(Cell /*cell*/, Point /*point*/) {}
    virtual int get_indent_width(int /*row*/) { return 0; }
    virtual const StateLook& get_item_look(bool selected, bool highlighted);

    using ControlPanelAutoScroll::on_selection_changed;
    using ControlPanelAutoScroll::on_highlight_changed;
    using ControlPanelAutoScroll::on_timer;
    void on_scroll(Control* scroll_bar, int position) override;
    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    bool hit_test(Point point) override;
    void on_focus_lost(Control* next) override;
    void on_active_changed(bool active) override;
    void on_stylus_down(Point point, unsigned flags) override;
    void on_button2_down(Point point, unsigned flags) override;
    void on_button3_down(Point point, unsigned flags) override;
    bool on_keydown(int key) override;
    bool on_keyup(int key) override;
    void set_rect(Point position, Size size) override;
    void load_properties() override;

    // The strategy's half that the grid gives.
    void on_selection_changed() override;
    void on_highlight_changed() override;
    void ensure_column_visible(int column) override;
    void ensure_row_visible(int row) override;

    // The hold timer of Enter ran out.
    void on_timer(liba::Timer* timer) override;

    const StateLook& get_header_look() { return looks_[HEADER_NORMAL]; }
    // The item borders that item painters keep free ("BorderMin", "BorderMax").
    Point get_item_border_min() const { return border_min_; }
    Point get_item_border_max() const { return border_max_; }
    void start_inplace_edit(Control* edit, int column, int row);
    void end_inplace_edit(bool accepted);
    Control* get_inplace_edit() const { return edit_; }
    Cell get_inplace_cell() const { return edit_cell_; }
    void refresh();
    void set_top_row(int row);
    int get_top_row();
    int get_horizontal_offset();
    // Whole rows the painter shows; 0 when the item height is not positive.
    int get_page_rows();
    const std::vector<int>& get_column_positions() const { return positions_; }
    Painter& get_painter() { return *painter_; }
    bool is_hold_running() const { return hold_timer_.is_active(); }
    // The rectangle of a cell in the window's client coordinates (row -1 or column -1: none).
    void get_cell_rect(int column, int row, Point& position, Size& size);
    // The context event at the selected cell, as the context-menu key and a held Enter raise it.
    void raise_context();

private:
    void layout();
    void layout_columns(int column_count, int fixed_sum, int weight_sum, int last_weighted);
    void place_inplace_edit();
    void read_keys();
    const PictureRef& current_background();

    PictureRef normal_;
    PictureRef highlighted_;
    PictureRef disabled_;
    int item_height_ = 40;
    Point border_min_;
    Point border_max_;
    Control* edit_ = nullptr;
    Cell edit_cell_;
    liba::Timer hold_timer_;
    std::vector<int> positions_;
    StateLook looks_[5];
    std::unique_ptr<Painter> painter_;
};

}  // namespace skinner
