#include "skin/button_impl_soft_keys.h"

#include <cstdint>
#include <utility>

#include "foundation/log.h"
#include "skin/button.h"
#include "skin/button_impl_pocket.h"
#include "skin/form.h"

namespace skinner {

namespace {

std::u16string hex_text(std::uintptr_t value) {
    std::u16string text;
    do {
        text.insert(text.begin(), u"0123456789abcdef"[value % 16]);
        value /= 16;
    } while (value);
    return text;
}

}  // namespace

ControlButtonImplMenuItem::ControlButtonImplMenuItem(ControlButtonBase* button, std::u16string tag)
    : ControlButtonImpl(button), tag_(std::move(tag)) {
    if (button->is_visible()) MenuManager::add_item(button->get_form(), this);
}

ControlButtonImplMenuItem::~ControlButtonImplMenuItem() { MenuManager::remove_item(button_->get_form(), this); }

void ControlButtonImplMenuItem::set_text(const std::u16string&) { MenuManager::invalidate(button_->get_form()); }

void ControlButtonImplMenuItem::on_shown_changed(bool shown) {
    if (shown) {
        MenuManager::add_item(button_->get_form(), this);
    } else {
        MenuManager::remove_item(button_->get_form(), this);
    }
}

void ControlButtonImplMenuItem::on_active_changed(bool) { MenuManager::invalidate(button_->get_form()); }

void ControlButtonImplMenuItem::make_menu_entry(MenuItemInfo& entry) {
    entry.command = button_->get_name();
    entry.text = button_->get_text();
    entry.id = reinterpret_cast<std::uintptr_t>(static_cast<Control*>(button_));
    entry.enabled = button_->is_enabled();
}

std::int32_t ControlButtonImplMenuItem::get_command_id() { return button_->get_z_order() + 1000000; }

ControlButtonImplMenu5PocketOK::ControlButtonImplMenu5PocketOK(ControlButtonBase* button)
    : ControlButtonImplMenu5Pocket(button, soft_key_tag_ok) {
    if (HWND const window = form_window_of(button)) install(window);
}

LRESULT ControlButtonImplMenu5PocketOK::on_message(UINT message, WPARAM wparam, LPARAM, bool& pass_on) {
    if (!is_ok_command(message, wparam)) return 0;
    pass_on = false;
    button_->activate();
    return 0;
}

ControlButtonCloseSmartphone::ControlButtonCloseSmartphone(ControlButtonBase* button)
    : ControlButtonImplMenuSmartphone(button, u"") {}

void ControlButtonCloseSmartphone::on_click(const ButtonEvent&) {
    os::get_log() << "ControlButtonCloseSmartphone WM_CLOSE sent\n";
    PostMessageW(form_window_of(button_), WM_CLOSE, 0, 0);
}

void ControlButtonImplCaptionSmartphone::set_text(const std::u16string& text) {
    HWND const window = form_window_of(button_);
    os::get_log() << "Setting gext of hwnd=" << hex_text(reinterpret_cast<std::uintptr_t>(window)) << " to {" << text;
    if (window) SetWindowTextW(window, text.c_str());
}

}  // namespace skinner
