#include "skin/button_impl_pocket.h"

#include "foundation/log.h"
#include "platform/dialogs.h"
#include "skin/button.h"
#include "skin/form.h"
#include "skin/shell_buttons.h"

namespace skinner {

HWND form_window_of(const ControlButtonBase* button) {
    Form* const form = button ? button->get_form() : nullptr;
    return form ? form->get_window() : nullptr;
}

bool is_ok_command(UINT message, WPARAM wparam) { return message == WM_COMMAND && (wparam & 0xFFFF) == IDOK; }

ControlButtonImplCaptionPocket::ControlButtonImplCaptionPocket(ControlButtonBase* button) : ControlButtonImpl(button) {
    set_text(button->get_text());
}

void ControlButtonImplCaptionPocket::set_text(const std::u16string& text) {
    if (HWND const window = form_window_of(button_)) SetWindowTextW(window, text.c_str());
}

ControlButtonImplClosePocket::ControlButtonImplClosePocket(ControlButtonBase* button)
    : ControlButtonImpl(button, true, true) {}

void ControlButtonImplClosePocket::on_click(const ButtonEvent&) {
    os::get_log() << "ControlButtonImplClosePocket WM_CLOSE sent\n";
    PostMessageW(form_window_of(button_), WM_CLOSE, 0, 0);
}

ControlButtonImplOKPocket::ControlButtonImplOKPocket(ControlButtonBase* button)
    : ControlButtonImpl(button), form_window_(form_window_of(button)) {
    if (!form_window_) return;
    shell::title_ok_button(form_window_, shell::TITLE_OK_SHOW);
    install(form_window_);
}

ControlButtonImplOKPocket::~ControlButtonImplOKPocket() {
    if (form_window_ && IsWindow(form_window_)) shell::title_ok_button(form_window_, shell::TITLE_OK_HIDE);
    uninstall();
}

LRESULT ControlButtonImplOKPocket::on_message(UINT message, WPARAM wparam, LPARAM, bool& pass_on) {
    if (!is_ok_command(message, wparam)) return 0;
    pass_on = false;
    button_->activate();
    return 0;
}

}  // namespace skinner
