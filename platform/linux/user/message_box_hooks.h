#pragma once

#include "platform/dialogs.h"

namespace platform::detail {

// What MessageBoxW needs of the window system, handed over with the presenter by
// set_message_box_presenter, so that a program without windows does not take in the window
// system (and the drawing libraries behind it) only for its error messages.
struct WindowSystemHooks {
    bool (*screen_reachable)();
    HWND (*foreground)();
};

// Installs the presenter (null: none) with the hooks it needs; the previous presenter.
MessageBoxPresenter install_message_box_presenter(MessageBoxPresenter next, const WindowSystemHooks* hooks);

}  // namespace platform::detail
