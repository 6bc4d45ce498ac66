// The platform sides of skinned buttons on the Pocket PC: the title bar's text, the close
// button and the title bar's OK button.
#pragma once

#include "skin/button_impl.h"
#include "skin/control_subclass.h"

namespace skinner {

// The form window's text (which the task bar shows) follows the button's text.
class ControlButtonImplCaptionPocket : public ControlButtonImpl {
public:
    explicit ControlButtonImplCaptionPocket(ControlButtonBase* button);
    void set_text(const std::u16string& text) override;
};

// A click asks the form window to close.
class ControlButtonImplClosePocket : public ControlButtonImpl {
public:
    explicit ControlButtonImplClosePocket(ControlButtonBase* button);
    void on_click(const ButtonEvent& event) override;
};

// Shows the title bar's OK button while it lives; the OK there clicks this button.
class ControlButtonImplOKPocket : public ControlButtonImpl, public ControlSubclass {
public:
    explicit ControlButtonImplOKPocket(ControlButtonBase* button);
    ~ControlButtonImplOKPocket() override;
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override;

private:
    HWND form_window_;
};

// The form window of a button; null when it has none.
HWND form_window_of(const ControlButtonBase* button);
// WM_COMMAND with IDOK: the title bar's OK (or the Return soft key) was pressed.
bool is_ok_command(UINT message, WPARAM wparam);

}  // namespace skinner
