// A menu bar: its window at the bottom of the screen, the toolbar it holds, taps on its
// buttons, and the owner it follows.
#pragma once

#include "native/toolbar.h"

namespace native {

class MenuBar {
public:
    MenuBar(HWND owner, int scale);
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    // The bar of a window made by SHCreateMenuBar, or null.
    static MenuBar* of(HWND window);

    HWND owner() const { return owner_; }
    Toolbar& toolbar() { return toolbar_; }
    void attach(HWND window) { window_ = window; }

    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
    // The owner was shown or hidden (WM_SHOWWINDOW), moved, activated or deactivated
    // (WM_ACTIVATE): the bar is shown at the bottom of the screen while its owner is shown
    // and active.
    void follow_owner(UINT message, WPARAM wparam);
    // Lays the buttons out again and repaints.
    void relayout();

private:
    void place(bool shown);
    void on_paint();
    void on_stylus_down(POINT point);
    void on_stylus_up(POINT point);
    void open_popup(int index);
    void press(int index);

    HWND owner_;
    HWND window_ = nullptr;
    int scale_;
    HFONT font_ = nullptr;
    Toolbar toolbar_;
    bool owner_active_ = true;
    int pressed_ = -1;
    HMENU opening_popup_ = nullptr;
    WPARAM overridden_key_ = 0;
    LPARAM override_flags_ = 0;
};

}  // namespace native
