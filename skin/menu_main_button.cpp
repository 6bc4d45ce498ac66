#include "skin/menu_main_button.h"

#include "skin/form.h"

namespace skinner {

MenuMainButton::MenuMainButton(Container* parent, const std::u16string& name, const std::u16string& caption,
                               int z_order, const std::u16string& tag)
    : Control(parent, name), default_caption_(caption), caption_(caption), tag_(tag) {
    set_z_order(z_order);
    set_want_focus(false);
    translate_caption();
    if (get_own_visible()) MenuManager::add_item(get_form(), this);
}

MenuMainButton::~MenuMainButton() { MenuManager::remove_item(get_form(), this); }

void MenuMainButton::translate_caption() {
    if (!default_caption_.empty()) caption_ = translate(get_name(), default_caption_);
}

void MenuMainButton::make_menu_entry(MenuItemInfo& entry) {
    entry.command = get_name();
    entry.text = caption_;
    entry.enabled = is_enabled();
    entry.separator_after = separator_after_;
    entry.checked = checked_;
    entry.image_index = image_index_;
    entry.id = reinterpret_cast<std::uintptr_t>(static_cast<Control*>(this));
}

void MenuMainButton::on_shown_changed(bool shown) {
    if (shown) {
        MenuManager::add_item(get_form(), this);
    } else {
        MenuManager::remove_item(get_form(), this);
    }
}

void MenuMainButton::on_active_changed(bool) { MenuManager::invalidate(get_form()); }

void MenuMainButton::load_properties() {
    Control::load_properties();
    translate_caption();
    MenuManager::invalidate(get_form());
}

void MenuMainButton::set_separator_after(bool separator) {
    if (separator == separator_after_) return;
    separator_after_ = separator;
    MenuManager::invalidate(get_form());
}

void MenuMainButton::set_image_index(std::int32_t index) {
    if (index == image_index_) return;
    image_index_ = index;
    MenuManager::invalidate(get_form());
}

void MenuMainButton::set_checked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    MenuManager::invalidate(get_form());
}

ControlMenuMain::ControlMenuMain(Container* parent, const std::u16string& name) : Control(parent, name) {
    set_want_focus(false);
    if (Form* const form = get_form()) form->register_menu_main(this);
}

ControlMenuMain::~ControlMenuMain() {
    if (Form* const form = get_form()) form->unregister_menu_main(this);
}

}  // namespace skinner
