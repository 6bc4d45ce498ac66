// The current cursor, kept until a screen shows it.
#include "platform/cursors.h"

#include <atomic>

namespace {

std::atomic<HCURSOR> current_cursor{nullptr};

bool is_system_cursor(LPCWSTR name) { return name == IDC_ARROW || name == IDC_WAIT; }

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (instance || !is_system_cursor(name)) return nullptr;
    // A system cursor's handle is its resource number.
    return reinterpret_cast<HCURSOR>(const_cast<WCHAR*>(name));
}

HCURSOR SetCursor(HCURSOR cursor) { return current_cursor.exchange(cursor); }

HCURSOR GetCursor() { return current_cursor.load(); }
