// A popup menu open on the screen: one top-level window for the menu and one for each
// submenu opened from it, and the modal loop that runs while it is open.
#pragma once

#include <vector>

#include "native/menu_table.h"
#include "platform/gdi.h"

namespace native {

class MenuTracker {
public:
    MenuTracker(HWND owner, HFONT font, int scale);
    ~MenuTracker();
    MenuTracker(const MenuTracker&) = delete;
    MenuTracker& operator=(const MenuTracker&) = delete;

    // Opens the menu with (x, y) at the corner the flags name and runs until an item is
    // chosen (its id) or the menu is dismissed (0).
    UINT_PTR track(HMENU menu, UINT flags, int x, int y);

    void on_paint(HWND window);
    void on_capture_lost();

private:
    struct Level {
        HMENU menu = nullptr;
        std::vector<MenuItem> items;
        std::vector<RECT> item_rects;  // client coordinates
        HWND window = nullptr;
        RECT place{};                  // screen coordinates
        int selected = -1;
    };

    bool open_level(HMENU menu, int x, int y, UINT flags, int parent_index);
    void open_submenu_of_selected(bool select_first);
    void close_levels_above(std::size_t count);
    SIZE lay_out(Level& level) const;
    void select(std::size_t level_index, int item);
    int item_at(const Level& level, POINT screen_point) const;
    int level_at(POINT screen_point) const;
    int next_selectable(const Level& level, int from, int step) const;

    bool on_message(const MSG& message);
    void on_key(WPARAM key);
    void on_stylus(UINT message, POINT screen_point);
    void choose(const MenuItem& item);
    void finish(UINT_PTR id);

    HWND owner_;
    HFONT font_;
    int scale_;
    std::vector<Level> levels_;
    bool done_ = false;
    UINT_PTR chosen_ = 0;
};

}  // namespace native
