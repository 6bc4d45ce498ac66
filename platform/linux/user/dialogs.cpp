#include "platform/dialogs.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/linux/user/message_box_hooks.h"
#include "platform/unicode.h"

namespace {

std::atomic<platform::MessageBoxPresenter> presenter{nullptr};
std::atomic<const platform::detail::WindowSystemHooks*> window_system{nullptr};

std::string to_utf8(LPCWSTR text) { return text ? platform::utf16_to_utf8(text) : std::string(); }

void write_to_stderr(const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        ssize_t const n = write(STDERR_FILENO, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        written += static_cast<std::size_t>(n);
    }
}

// The answer a user who presses the first button of the box gives.
int first_button(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

}  // namespace

platform::MessageBoxPresenter platform::detail::install_message_box_presenter(MessageBoxPresenter next,
                                                                             const WindowSystemHooks* hooks) {
    if (hooks) window_system.store(hooks);
    return presenter.exchange(next);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    auto const show = presenter.load();
    auto const* const windows = window_system.load();
    if (show && windows && windows->screen_reachable()) {
        int const answer = show(owner, text, caption, type);
        if (answer != 0) return answer;
    }
    write_to_stderr(to_utf8(caption) + ": " + to_utf8(text) + "\n");
    return first_button(type);
}

int platform::show_error_box(LPCWSTR text, LPCWSTR caption) {
    auto const* const windows = window_system.load();
    return MessageBoxW(windows ? windows->foreground() : nullptr, text, caption, MB_OK);
}
