#include "platform/dialogs.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/unicode.h"

namespace {

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

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    write_to_stderr(to_utf8(caption) + ": " + to_utf8(text) + "\n");
    return first_button(type);
}
