// Creating and destroying windows, their procedures, words, names, relations and state.
#include "platform/windows.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/remote_windows.h"
#include "platform/linux/user/window_table.h"
#include "platform/unicode.h"

using namespace platform::detail;

namespace {

std::atomic<HWND> focus_window{nullptr};
std::atomic<HWND> foreground_window{nullptr};

LPARAM make_lparam(int low, int high) {
    return static_cast<LPARAM>((static_cast<DWORD>(high & 0xFFFF) << 16) | static_cast<DWORD>(low & 0xFFFF));
}

int or_zero_for_default(int value) { return value == CW_USEDEFAULT ? 0 : value; }

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

// The style of a window of this or another process of the device.
std::optional<DWORD> style_of(HWND window) {
    if (is_local_window(window)) {
        auto const record = find_window(window);
        if (record) return record->style;
    } else if (auto const info = query_remote_window(window)) {
        return info->style;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return std::nullopt;
}

int copy_text(std::u16string_view text, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    auto const count = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = u'\0';
    return static_cast<int>(count);
}

bool is_own_thread_window(const WindowRecord& record) { return record.thread_id == GetCurrentThreadId(); }

void clear_if(std::atomic<HWND>& slot, HWND window) {
    HWND expected = window;
    slot.compare_exchange_strong(expected, nullptr);
}

}  // namespace

HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
    auto const window_class = class_name ? find_window_class(class_name) : nullptr;
    if (!window_class) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent && !find_window(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((style & WS_CHILD) && !parent) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    WindowRecord record;
    record.window_class = window_class;
    record.procedure = window_class->procedure;
    record.style = style & ~WS_VISIBLE;
    record.ex_style = ex_style;
    record.parent = parent;
    record.text = title ? title : u"";
    record.thread_id = GetCurrentThreadId();
    record.instance = instance;
    record.id = reinterpret_cast<LONG_PTR>(menu);
    record.extra.assign(static_cast<std::size_t>(window_class->extra_bytes + 3) / 4, 0);
    x = or_zero_for_default(x);
    y = or_zero_for_default(y);
    width = or_zero_for_default(width);
    height = or_zero_for_default(height);
    record.rect = RECT{x, y, x + width, y + height};

    current_queue();  // a window's thread has a queue
    if (!(style & WS_CHILD)) announce_windows();
    HWND const window = add_window(std::move(record));

    CREATESTRUCTW create{parameter, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
                         title, class_name, ex_style};
    auto const create_lparam = reinterpret_cast<LPARAM>(&create);
    if (SendMessageW(window, WM_NCCREATE, 0, create_lparam) == 0 ||
        SendMessageW(window, WM_CREATE, 0, create_lparam) == -1) {
        DestroyWindow(window);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, make_lparam(width, height));
    SendMessageW(window, WM_MOVE, 0, make_lparam(x, y));
    if (style & WS_VISIBLE) ShowWindow(window, SW_SHOW);
    return window;
}

BOOL DestroyWindow(HWND window) {
    auto const record = find_window(window);
    if (!record) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (!is_own_thread_window(*record)) return fail(ERROR_ACCESS_DENIED);
    if (record->destroying) return TRUE;
    update_window(window, [](WindowRecord& r) { r.destroying = true; });
    SendMessageW(window, WM_DESTROY, 0, 0);
    for (HWND below : windows_below(window)) DestroyWindow(below);
    SendMessageW(window, WM_NCDESTROY, 0, 0);
    if (auto const queue = find_queue(record->thread_id)) queue->forget_window(window);
    clear_if(focus_window, window);
    clear_if(foreground_window, window);
    remove_window(window);
    return TRUE;
}

BOOL IsWindow(HWND window) {
    if (!window) return FALSE;
    if (is_local_window(window)) return find_window(window) ? TRUE : FALSE;
    return query_remote_window(window) ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SETTEXT: {
        std::u16string const text = lparam ? reinterpret_cast<LPCWSTR>(lparam) : u"";
        return update_window(window, [&](WindowRecord& r) { r.text = text; }) ? TRUE : FALSE;
    }
    case WM_GETTEXT: {
        auto const record = find_window(window);
        return record ? copy_text(record->text, reinterpret_cast<LPWSTR>(lparam), static_cast<int>(wparam)) : 0;
    }
    case WM_GETTEXTLENGTH: {
        auto const record = find_window(window);
        return record ? static_cast<LRESULT>(record->text.size()) : 0;
    }
    default: return 0;
    }
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return procedure ? procedure(window, message, wparam, lparam) : 0;
}

LONG_PTR GetWindowLongW(HWND window, int index) {
    if (!is_local_window(window) && index == GWL_STYLE) {
        auto const style = style_of(window);
        return style ? static_cast<LONG_PTR>(*style) : 0;
    }
    auto const record = find_window(window);
    if (!record) return fail(ERROR_INVALID_WINDOW_HANDLE);
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(record->procedure);
    case GWL_ID: return record->id;
    case GWL_STYLE: return static_cast<LONG_PTR>(record->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(record->ex_style);
    case GWL_USERDATA: return record->user_data;
    default:
        if (index < 0 || index % 4 != 0 || static_cast<std::size_t>(index / 4) >= record->extra.size()) {
            return fail(ERROR_INVALID_INDEX);
        }
        return record->extra[static_cast<std::size_t>(index / 4)];
    }
}

LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value) {
    LONG_PTR previous = 0;
    bool valid_index = true;
    bool const found = update_window(window, [&](WindowRecord& r) {
        switch (index) {
        case GWL_WNDPROC:
            previous = reinterpret_cast<LONG_PTR>(r.procedure);
            r.procedure = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_ID: previous = std::exchange(r.id, value); break;
        case GWL_STYLE: previous = static_cast<LONG_PTR>(std::exchange(r.style, static_cast<DWORD>(value))); break;
        case GWL_EXSTYLE:
            previous = static_cast<LONG_PTR>(std::exchange(r.ex_style, static_cast<DWORD>(value)));
            break;
        case GWL_USERDATA: previous = std::exchange(r.user_data, value); break;
        default:
            if (index < 0 || index % 4 != 0 || static_cast<std::size_t>(index / 4) >= r.extra.size()) {
                valid_index = false;
                return;
            }
            previous = std::exchange(r.extra[static_cast<std::size_t>(index / 4)], value);
        }
    });
    if (!found) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (!valid_index) return fail(ERROR_INVALID_INDEX);
    return previous;
}

int GetClassNameW(HWND window, LPWSTR buffer, int size) {
    if (is_local_window(window)) {
        if (auto const record = find_window(window)) return copy_text(record->window_class->name, buffer, size);
    } else if (auto const info = query_remote_window(window)) {
        return copy_text(info->class_name, buffer, size);
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

HWND GetParent(HWND window) {
    if (is_local_window(window)) {
        if (auto const record = find_window(window)) return record->parent;
    } else if (auto const info = query_remote_window(window)) {
        return info->parent;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

HWND SetParent(HWND window, HWND parent) {
    if (parent && !find_window(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND previous = nullptr;
    bool const found = update_window(window, [&](WindowRecord& r) {
        previous = r.parent;
        r.parent = parent;
        if (!parent) r.style = (r.style & ~WS_CHILD) | WS_POPUP;
    });
    if (!found) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!parent) announce_windows();
    return previous;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (!find_window(window)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
    if (is_local_window(window)) {
        auto const record = find_window(window);
        if (record && is_own_thread_window(*record)) {
            return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(std::max(size, 0)),
                                                 reinterpret_cast<LPARAM>(buffer)));
        }
        if (record) return copy_text(record->text, buffer, size);
    } else if (auto const info = query_remote_window(window)) {
        return copy_text(info->text, buffer, size);
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

int GetWindowTextLengthW(HWND window) {
    if (is_local_window(window)) {
        auto const record = find_window(window);
        if (record && is_own_thread_window(*record)) {
            return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
        }
        if (record) return static_cast<int>(record->text.size());
    } else if (auto const info = query_remote_window(window)) {
        return static_cast<int>(info->text.size());
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

BOOL ShowWindow(HWND window, int command) {
    bool const show = command != SW_HIDE;
    bool was_visible = false;
    if (!update_window(window, [&](WindowRecord& r) {
            was_visible = (r.style & WS_VISIBLE) != 0;
            r.style = show ? (r.style | WS_VISIBLE) : (r.style & ~WS_VISIBLE);
        })) {
        return fail(ERROR_INVALID_WINDOW_HANDLE);
    }
    if (was_visible != show) SendMessageW(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    return was_visible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    if (!is_local_window(window)) {
        auto const style = style_of(window);
        return style && (*style & WS_VISIBLE) ? TRUE : FALSE;
    }
    while (window) {
        auto const record = find_window(window);
        if (!record || !(record->style & WS_VISIBLE)) return FALSE;
        window = record->is_child() ? record->parent : nullptr;
    }
    return TRUE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    bool was_disabled = false;
    if (!update_window(window, [&](WindowRecord& r) {
            was_disabled = (r.style & WS_DISABLED) != 0;
            r.style = enable ? (r.style & ~WS_DISABLED) : (r.style | WS_DISABLED);
        })) {
        return fail(ERROR_INVALID_WINDOW_HANDLE);
    }
    if (was_disabled == (enable != FALSE)) SendMessageW(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return was_disabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    auto const style = style_of(window);
    return style && !(*style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    if (!update_window(window, [&](WindowRecord& r) { r.rect = RECT{x, y, x + width, y + height}; })) {
        return fail(ERROR_INVALID_WINDOW_HANDLE);
    }
    SendMessageW(window, WM_MOVE, 0, make_lparam(x, y));
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, make_lparam(width, height));
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    auto record = find_window(window);
    if (!record || !rect) return fail(record ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    *rect = record->rect;
    // A child's place is relative to its parent's client area.
    while (record->is_child() && (record = find_window(record->parent))) {
        rect->left += record->rect.left;
        rect->right += record->rect.left;
        rect->top += record->rect.top;
        rect->bottom += record->rect.top;
    }
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    auto const record = find_window(window);
    if (!record || !rect) return fail(record ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
    return TRUE;
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter) {
    if (!callback) return fail(ERROR_INVALID_PARAMETER);
    for (HWND window : local_top_level_windows()) {
        if (!callback(window, parameter)) return TRUE;
    }
    for (HWND window : remote_top_level_windows()) {
        if (!callback(window, parameter)) return TRUE;
    }
    return TRUE;
}

HWND FindWindowW(LPCWSTR class_name, LPCWSTR title) {
    auto const matches = [&](std::u16string_view window_class, std::u16string_view text) {
        return (!class_name || platform::equal_ignore_case(window_class, class_name)) && (!title || text == title);
    };
    for (HWND window : local_top_level_windows()) {
        auto const record = find_window(window);
        if (record && matches(record->window_class->name, record->text)) return window;
    }
    // One question per process: its answer carries every window's class and text.
    for (auto const& info : remote_top_level_window_infos()) {
        if (matches(info.class_name, info.text)) return info.handle;
    }
    return nullptr;
}

HWND SetFocus(HWND window) {
    if (window && !find_window(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND const previous = focus_window.exchange(window);
    if (previous == window) return previous;
    if (previous) SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window) SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus() { return focus_window.load(); }

BOOL SetForegroundWindow(HWND window) {
    if (!IsWindow(window)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    foreground_window.store(window);
    return TRUE;
}

HWND GetForegroundWindow() { return foreground_window.load(); }
