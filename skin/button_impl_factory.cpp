#include "skin/button.h"
#include "skin/button_impl.h"

namespace skinner {

// The plain kinds until the platform's own kinds (caption, close, OK, soft-key menus)
// replace them; the system-menu action has none.
std::unique_ptr<ControlButtonImpl> create_button_impl(ControlButtonBase* button) {
    int const action = button->get_action();
    if (action == ACTION_BUTTON_SYSMENU) return nullptr;
    if (action >= 2 && action <= 9) return std::make_unique<ControlButtonImpl>(button, false, false);
    return std::make_unique<ControlButtonImpl>(button, true, true);
}

}  // namespace skinner
