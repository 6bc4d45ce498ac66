// The form window's menu bar: rebuilt from the form's menu items when they changed, its
// drop-down popups filled when they open, and its commands sent back to the controls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/menu_bar.h"
#include "skin/control_subclass.h"
#include "skin/menu_item_info.h"

namespace skinner {

class Control;
class Form;

class MenuManagerImpl {
public:
    virtual ~MenuManagerImpl() = default;
    virtual void on_menu_command(int id) = 0;
    virtual void on_init_popup(HMENU popup, int id) = 0;
    virtual void on_back_key(Form* form, WPARAM wparam, LPARAM lparam) = 0;
    virtual void invalidate() = 0;
    virtual void update() = 0;
    virtual void set_visible(bool visible) = 0;
};

// The Pocket PC bar: toolbar buttons with images, or two soft keys.
class MenuManagerImplPocket : public MenuManagerImpl, private ControlSubclass {
public:
    // Command ids below this belong to no item.
    static constexpr int first_item_id = 100;

    MenuManagerImplPocket(Form* form, bool soft_key_mode);
    ~MenuManagerImplPocket() override;

    void on_menu_command(int id) override;
    void on_init_popup(HMENU popup, int id) override;
    void on_back_key(Form*, WPARAM, LPARAM) override {}
    void invalidate() override { dirty_ = true; }
    void update() override;
    void set_visible(bool visible) override;

    HWND get_bar() const { return info_.hwndMB; }
    int get_resource_id() const { return resource_id_; }
    bool is_dirty() const { return dirty_; }

private:
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override;
    void build();
    void load_images();
    void clear_bar();
    void add_button(const MenuItemInfo& entry, bool submenu, bool separators_allowed, int& position);
    MenuItemInfo make_soft_key_entry(bool left) const;
    void receive_in(MenuItemInfo& entry, Control* control) const;

    Form* form_;
    bool soft_key_mode_;
    SHMENUBARINFO info_{};
    std::vector<std::u16string> commands_;
    std::vector<std::uintptr_t> controls_;
    std::vector<HMENU> popups_;
    int first_image_ = -1;
    int image_count_ = 0;
    int resource_id_ = 0;
    bool dirty_ = true;
    std::size_t toolbar_entry_count_ = 0;
};

}  // namespace skinner
