#include "skin/button.h"
#include "skin/button_impl.h"
#include "skin/button_impl_pocket.h"
#include "skin/button_impl_soft_keys.h"
#include "skin/form.h"
#include "skin/form_impl.h"

namespace skinner {

namespace {

// The actions whose buttons are soft-key items in soft-key mode.
constexpr int ACTION_BUTTON_CANCEL = 15;
constexpr int ACTION_BUTTON_YES = 16;

std::unique_ptr<ControlButtonImpl> plain(ControlButtonBase* button, bool painted, bool focusable) {
    return std::make_unique<ControlButtonImpl>(button, painted, focusable);
}

std::unique_ptr<ControlButtonImpl> create_pocket_impl(ControlButtonBase* button, bool soft_keys) {
    switch (button->get_action()) {
    case ACTION_CAPTION: return std::make_unique<ControlButtonImplCaptionPocket>(button);
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: return plain(button, false, false);
    case ACTION_BUTTON_CLOSE: return std::make_unique<ControlButtonImplClosePocket>(button);
    // The system menu has nothing of its own here: neither drawn nor a focus stop.
    case ACTION_BUTTON_SYSMENU: return plain(button, false, false);
    case ACTION_BUTTON_OK:
        if (soft_keys) return std::make_unique<ControlButtonImplMenu5PocketOK>(button);
        return std::make_unique<ControlButtonImplOKPocket>(button);
    case ACTION_BUTTON_CANCEL:
        if (soft_keys) return std::make_unique<ControlButtonImplMenu5Pocket>(button, soft_key_tag_menu);
        return plain(button, true, true);
    case ACTION_BUTTON_YES:
        if (soft_keys) return std::make_unique<ControlButtonImplMenu5Pocket>(button, soft_key_tag_ok);
        return plain(button, true, true);
    default: return plain(button, true, true);
    }
}

std::unique_ptr<ControlButtonImpl> create_smartphone_impl(ControlButtonBase* button) {
    switch (button->get_action()) {
    case ACTION_CAPTION: return std::make_unique<ControlButtonImplCaptionSmartphone>(button);
    case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: return plain(button, false, false);
    case ACTION_BUTTON_CLOSE: return std::make_unique<ControlButtonCloseSmartphone>(button);
    case 11: case 12: return plain(button, false, false);
    case ACTION_BUTTON_SYSMENU: return plain(button, false, false);
    case ACTION_BUTTON_OK:
    case ACTION_BUTTON_YES: return std::make_unique<ControlButtonImplMenuSmartphone>(button, soft_key_tag_ok);
    case ACTION_BUTTON_CANCEL: return std::make_unique<ControlButtonImplMenuSmartphone>(button, soft_key_tag_menu);
    case ACTION_BUTTON_NO_MENU: return plain(button, true, true);
    default:
        // A focusable button that lies on its form itself (not inside a panel).
        if (button->Control::can_focus() && button->get_container() == button->get_form()) {
            return std::make_unique<ControlButtonImplMenuSmartphone>(button, u"");
        }
        return plain(button, true, false);
    }
}

}  // namespace

std::unique_ptr<ControlButtonImpl> create_button_impl(ControlButtonBase* button) {
    if (is_smartphone()) return create_smartphone_impl(button);
    return create_pocket_impl(button, has_soft_keys());
}

}  // namespace skinner
