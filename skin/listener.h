// The events that controls raise and that containers and forms receive.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace skinner {

class Control;
struct MenuItemInfo;
struct HeaderEvent;

// A cell of a grid or list; -1 for none.
struct Cell {
    int column = -1;
    int row = -1;
    bool operator==(const Cell&) const = default;
};

// The end of an in-place edit in a grid cell.
struct EditRecord {
    int column = -1;
    int row = -1;
    bool accepted = false;
};

// Every event a control raises goes up, unchanged, from the control to its container and from
// the container to its owner listener; whoever cares overrides the event. The reserved events
// answer false.
class Listener {
public:
    virtual ~Listener() = default;

    virtual void on_click(Control* sender) = 0;
    virtual bool on_reserved_1() { return false; }
    virtual void on_item_click(Control* sender, Cell cell) = 0;
    virtual bool on_reserved_3() { return false; }
    virtual void on_item_context(Control* sender, Cell item) = 0;
    virtual bool on_reserved_5() { return false; }
    virtual bool on_reserved_6() { return false; }
    virtual bool on_reserved_7() { return false; }
    virtual bool on_reserved_8() { return false; }
    virtual void on_inplace_edit_done(Control* grid, const EditRecord& record) = 0;
    virtual bool on_reserved_10() { return false; }
    virtual void on_notify_11(WPARAM first, LPARAM second) = 0;
    virtual void on_scroll(Control* scroll_bar, int position) = 0;
    // True when someone ran the command.
    virtual bool on_command(const std::u16string& command) = 0;
    virtual void on_value_changed(Control* sender, double value) = 0;
    virtual void on_progress_changed(Control* sender) = 0;
    virtual void on_text_changed(Control* sender) = 0;
    virtual void on_header_click(Control* grid, const HeaderEvent& event) = 0;
    virtual void on_header_context(Control* grid, const HeaderEvent& event) = 0;
    virtual void on_selection_changed(Control* sender) = 0;
    virtual void on_highlight_changed(Control* sender) = 0;
    virtual void on_focus_changed() = 0;
    virtual void on_menu_create(MenuItemInfo& menu) = 0;
    virtual void on_combo_changed(Control* combo) = 0;
};

// How a control follows a resize of its container.
enum Anchor : std::int32_t { MIN_SIDE = 0, BOTH_SIDE = 1, MAX_SIDE = 2, RATIO = 3, CENTER = 4 };

// The anchor a skin text names, compared exactly; MIN_SIDE for any other text.
Anchor parse_anchor(const std::u16string& text);

}  // namespace skinner
