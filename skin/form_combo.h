// The drop-down popup of a combo box: a popup window over its owner form at a place given in
// the owner's client coordinates. It holds the stylus capture while open, so a tap outside
// it, or close(), releases the capture and closes it.
#pragma once

#include <string>

#include "skin/form.h"

namespace skinner {

class FormCombo : public Form {
public:
    FormCombo(Form* owner, Properties* properties, const std::u16string& form_name, Point position, Size size,
              Listener* owner_listener);

    // Keeps the place it was given, whatever the skin form's own placement says, and
    // stretches the content control over the whole form.
    void layout() override;

    // The control that fills the form (the drop-down's list or tree); null for none.
    void set_content(Control* content);
    Control* get_content() const { return content_; }
    Point get_screen_position() const { return screen_position_; }

private:
    Point screen_position_;
    Size screen_size_;
    bool placed_ = false;
    Control* content_ = nullptr;
};

}  // namespace skinner
