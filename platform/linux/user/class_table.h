// The window classes of this process (inside the Linux back end only).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/windows.h"

namespace platform::detail {

struct WindowClass {
    std::u16string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int extra_bytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

// False: the name (ignoring case) exists.
bool register_window_class(WindowClass window_class);
std::shared_ptr<const WindowClass> find_window_class(std::u16string_view name);
// ERROR_SUCCESS, ERROR_CLASS_DOES_NOT_EXIST or ERROR_CLASS_HAS_WINDOWS (asked of the
// window tree).
DWORD unregister_window_class(std::u16string_view name);

}  // namespace platform::detail
