// Registering window classes.
#include <atomic>

#include "platform/errors.h"
#include "platform/linux/user/window_tree.h"
#include "platform/windows.h"

using namespace platform::detail;

ATOM RegisterClassW(const WNDCLASSW* window_class) {
    if (!window_class || !window_class->lpszClassName || !window_class->lpszClassName[0] ||
        window_class->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    static std::atomic<ATOM> next_atom{0xC000};
    WindowClass record;
    record.name = window_class->lpszClassName;
    record.style = window_class->style;
    record.procedure = window_class->lpfnWndProc;
    record.extra_bytes = window_class->cbWndExtra;
    record.instance = window_class->hInstance;
    record.icon = window_class->hIcon;
    record.cursor = window_class->hCursor;
    record.background = window_class->hbrBackground;
    if (!register_window_class(std::move(record))) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    return ++next_atom;
}

BOOL UnregisterClassW(LPCWSTR class_name, HINSTANCE) {
    if (!class_name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD const error = unregister_window_class(class_name);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
