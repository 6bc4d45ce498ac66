// A tab control: pages of which one is shown at a time, under (or over) a header strip that
// lists the pages' texts side by side, with two scroll buttons at its right end when the
// texts do not fit. A page's name is also the command that shows it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/button.h"
#include "skin/grid.h"
#include "skin/grid_selection.h"
#include "skin/menu_manager.h"
#include "skin/panel.h"

namespace skinner {

class ControlTabElement;

// The ordered pages (not owned: each page adds itself and removes itself when it goes).
class ControlTabBase : public ControlPanel {
public:
    ControlTabBase(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);

    const std::vector<ControlTabElement*>& get_pages() const { return pages_; }
    // The first page whose own visibility is on; null when none.
    ControlTabElement* get_visible_page() const;
    int index_of(const ControlTabElement* page) const;

protected:
    std::vector<ControlTabElement*> pages_;
};

class ControlTab : public ControlTabBase, private MenuManager::Item {
public:
    // The header strip: one row, one item (column) per page.
    class Grid : public ControlGrid, public GridSelectionStrategySingleColumn {
    public:
        Grid(ControlTab* tab, const std::u16string& kind);

        int get_row_count() override { return 1; }
        int get_column_count() override;
        int get_column_width(int column) override;
        void paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                        bool highlighted) override;
        using ControlGrid::on_selection_changed;
        // A valid item chosen shows its page.
        void on_selection_changed() override;

    private:
        ControlTab* tab_;
    };

    ControlTab(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlTab() override;

    // The scroll buttons move the header by half its width.
    void on_click(Control* sender) override;
    void on_item_click(Control* sender, Cell cell) override;
    bool on_command(const std::u16string& command) override;
    void on_menu_create(MenuItemInfo& menu) override;
    void set_rect(Point position, Size size) override;
    void load_properties() override;
    // Selects the first visible page's item in the header and scrolls it into view.
    virtual void sync_header();

    void add_page(ControlTabElement* page);
    void remove_page(ControlTabElement* page);
    void set_header_shown(bool shown);
    // No wrap-around: nothing changes past the last or before the first page.
    void select_next_page();
    void select_previous_page();

    bool is_header_shown() const { return header_shown_; }
    Grid& get_header() { return *grid_; }
    ControlButton& get_min_button() { return *min_; }
    ControlButton& get_max_button() { return *max_; }
    const std::vector<int>& get_item_widths() const { return widths_; }
    int get_header_height() const { return header_height_; }

private:
    void make_menu_entry(MenuItemInfo& entry) override;
    bool is_submenu() override { return true; }
    std::u16string get_text() override;
    std::int32_t get_command_id() override { return -10; }

    void read_keys();
    void show_page_at(int index, bool focus);
    void measure_items();

    std::unique_ptr<Grid> grid_;
    std::unique_ptr<ControlButton> min_;
    std::unique_ptr<ControlButton> max_;
    std::vector<int> widths_;
    bool header_shown_ = true;
    bool in_menu_ = false;
    int header_height_ = 0;
    int button_width_ = 0;
    int text_border_ = 0;
    std::u16string orientation_;
};

// One page: a panel inside its tab control, with the text its header item shows.
class ControlTabElement : public ControlPanel {
public:
    ControlTabElement(ControlTab* tab, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlTabElement() override;

    // Shown, it hides the tab's other pages and moves the header to itself.
    void on_shown_changed(bool shown) override;
    // Left and Right that the page leaves go to the previous and the next page.
    bool on_keydown(int key) override;
    void load_properties() override;

    ControlTab* get_tab() const { return tab_; }
    const std::u16string& get_text() const { return text_; }

private:
    void read_text();

    ControlTab* tab_;
    std::u16string text_;
};

}  // namespace skinner
