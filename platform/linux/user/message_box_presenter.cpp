#include "platform/linux/user/message_box_hooks.h"
#include "platform/linux/user/screen_windows.h"

namespace {

constexpr platform::detail::WindowSystemHooks window_system{&platform::detail::screen_reachable, &GetForegroundWindow};

}  // namespace

platform::MessageBoxPresenter platform::set_message_box_presenter(MessageBoxPresenter next) {
    return detail::install_message_box_presenter(next, &window_system);
}
