// Buttons that become entries of the form's soft-key menus (in the Pocket PC's soft-key
// mode and on the Smartphone) and the Smartphone's own caption and close kinds.
#pragma once

#include <string>

#include "skin/button_impl.h"
#include "skin/control_subclass.h"
#include "skin/menu_manager.h"
#include "skin/soft_key_lists.h"

namespace skinner {

// Whether the device has two soft keys under the screen; not the device this build serves.
constexpr bool has_soft_keys() { return false; }

// A button as a menu item of its form, listed while the button is shown, under a soft-key
// tag (empty: the right key's plain items).
class ControlButtonImplMenuItem : public ControlButtonImpl, public MenuManager::Item {
public:
    ControlButtonImplMenuItem(ControlButtonBase* button, std::u16string tag);
    ~ControlButtonImplMenuItem() override;

    void set_text(const std::u16string& text) override;
    void on_shown_changed(bool shown) override;
    void on_active_changed(bool active) override;

    void make_menu_entry(MenuItemInfo& entry) override;
    bool is_submenu() override { return false; }
    std::u16string get_text() override { return tag_; }
    // After every menu-bar button of the form.
    std::int32_t get_command_id() override;

private:
    std::u16string tag_;
};

class ControlButtonImplMenu5Pocket : public ControlButtonImplMenuItem {
public:
    using ControlButtonImplMenuItem::ControlButtonImplMenuItem;
};

// The left soft key's item that also answers the title bar's OK.
class ControlButtonImplMenu5PocketOK : public ControlButtonImplMenu5Pocket, public ControlSubclass {
public:
    explicit ControlButtonImplMenu5PocketOK(ControlButtonBase* button);
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override;
};

class ControlButtonImplMenuSmartphone : public ControlButtonImplMenuItem {
public:
    using ControlButtonImplMenuItem::ControlButtonImplMenuItem;
};

// A right-key item that asks the form window to close.
class ControlButtonCloseSmartphone : public ControlButtonImplMenuSmartphone {
public:
    explicit ControlButtonCloseSmartphone(ControlButtonBase* button);
    void on_click(const ButtonEvent& event) override;
};

// The form window's text follows the button's text.
class ControlButtonImplCaptionSmartphone : public ControlButtonImpl {
public:
    explicit ControlButtonImplCaptionSmartphone(ControlButtonBase* button) : ControlButtonImpl(button) {}
    void set_text(const std::u16string& text) override;
};

}  // namespace skinner
