// The buttons of a form's menu bar: skin controls that are also menu items of their form.
// A submenu button's children are asked for (on_menu_create) each time its popup opens.
#pragma once

#include <cstdint>
#include <string>

#include "skin/control.h"
#include "skin/menu_manager.h"

namespace skinner {

class MenuMainButton : public Control, private MenuManager::Item {
public:
    MenuMainButton(Container* parent, const std::u16string& name, const std::u16string& caption, int z_order,
                   const std::u16string& tag = {});
    ~MenuMainButton() override;

    void make_menu_entry(MenuItemInfo& entry) override;
    bool is_submenu() override { return false; }
    std::u16string get_text() override { return tag_.empty() ? get_name() : tag_; }
    std::int32_t get_command_id() override { return get_z_order(); }

    void on_shown_changed(bool shown) override;
    void on_active_changed(bool active) override;
    void load_properties() override;

    void set_separator_after(bool separator);
    void set_image_index(std::int32_t index);
    void set_checked(bool checked);
    const std::u16string& get_caption() const { return caption_; }

    MenuManager::Item* as_item() { return this; }

private:
    void translate_caption();

    std::u16string default_caption_;
    std::u16string caption_;
    std::u16string tag_;
    bool separator_after_ = false;
    bool checked_ = false;
    std::int32_t image_index_ = -1;
};

class MenuMainSubMenu : public MenuMainButton {
public:
    using MenuMainButton::MenuMainButton;
    bool is_submenu() override { return true; }
};

// Marks its form as owning a main menu.
class ControlMenuMain : public Control {
public:
    ControlMenuMain(Container* parent, const std::u16string& name);
    ~ControlMenuMain() override;
};

}  // namespace skinner
