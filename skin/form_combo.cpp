#include "skin/form_combo.h"

#include "platform/windows.h"
#include "skin/control.h"
#include "skin/form_impl.h"

namespace skinner {

FormCombo::FormCombo(Form* owner, Properties* properties, const std::u16string& form_name, Point position, Size size,
                     Listener* owner_listener)
    : Form(owner, new FormImpl(owner, true, true), properties, form_name, owner_listener) {
    POINT screen{position.x, position.y};
    if (owner) ClientToScreen(owner->get_window(), &screen);
    screen_position_ = {screen.x, screen.y};
    screen_size_ = size;
    placed_ = true;
    layout();
    SetCapture(get_window());
    SetFocus(get_window());
}

void FormCombo::layout() {
    if (!placed_) return;
    move_window(screen_position_, screen_size_);
    // The window's resize laid the controls out from their skin places: the content has none.
    if (content_) content_->set_rect(get_position(), get_current_size());
}

void FormCombo::set_content(Control* content) {
    content_ = content;
    if (content_) content_->set_rect(get_position(), get_current_size());
}

}  // namespace skinner
