// Creating and destroying windows, their procedures, words, names, relations and state.
#include "platform/windows.h"

#include <algorithm>
#include <utility>

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/linux/user/activation.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/painting.h"
#include "platform/linux/user/remote_windows.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/linux/user/window_tree.h"
#include "platform/unicode.h"

using namespace platform::detail;

namespace {

LPARAM make_lparam(int low, int high) {
    return static_cast<LPARAM>((static_cast<DWORD>(high & 0xFFFF) << 16) | static_cast<DWORD>(low & 0xFFFF));
}

int or_zero_for_default(int value) { return value == CW_USEDEFAULT ? 0 : value; }

// CW_USEDEFAULT places a top-level window on the work area; a child at 0 with no size.
RECT initial_rect(DWORD style, int x, int y, int width, int height) {
    if (!(style & WS_CHILD)) {
        RECT const area = work_area();
        if (x == CW_USEDEFAULT) x = area.left, y = area.top;
        if (width == CW_USEDEFAULT) width = area.right - area.left, height = area.bottom - area.top;
    }
    x = or_zero_for_default(x);
    y = or_zero_for_default(y);
    width = or_zero_for_default(width);
    height = or_zero_for_default(height);
    return RECT{x, y, x + width, y + height};
}

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

// The style of a window of this or another process of the device.
std::optional<DWORD> style_of(HWND window) {
    if (is_local_window(window)) {
        if (auto const facts = window_facts(window)) return facts->style;
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

bool is_own_thread_window(HWND window) { return window_thread(window) == GetCurrentThreadId(); }

// A change of the window's visibility or size makes its whole client area (and that of the
// windows below it) need painting.
void invalidate_all(HWND window) {
    invalidate_window(window, nullptr, true);
    for (HWND child : child_windows(window)) invalidate_all(child);
}

bool overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A shown child left the place `where` (its parent's client coordinates): what it covered
// there, on its parent and its siblings, is painted again.
void uncover_in_parent(HWND parent, HWND child, const RECT& where) {
    if (!parent || !is_window_shown(parent)) return;
    invalidate_window(parent, &where, true);
    for (HWND sibling : child_windows(parent)) {
        auto const facts = sibling == child ? std::nullopt : window_facts(sibling);
        if (facts && is_window_shown(sibling) && overlaps(facts->rect, where)) invalidate_all(sibling);
    }
    wake_window_thread(parent);
}

// The window's place in its parent when it is a shown child; nothing else leaves a mark.
std::optional<std::pair<HWND, RECT>> shown_child_place(HWND window) {
    auto const facts = window_facts(window);
    if (!facts || !facts->is_child() || !is_window_shown(window)) return std::nullopt;
    return std::pair{facts->parent, facts->rect};
}

}  // namespace

HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter) {
    auto const window_class = class_name ? find_window_class(class_name) : nullptr;
    if (!window_class) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (parent && !window_facts(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((style & WS_CHILD) && !parent) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    NewWindow record;
    record.window_class = window_class;
    record.style = style & ~WS_VISIBLE;
    record.ex_style = ex_style;
    record.parent = parent;
    record.text = title ? title : u"";
    record.thread_id = GetCurrentThreadId();
    record.instance = instance;
    record.id = reinterpret_cast<LONG_PTR>(menu);
    record.rect = initial_rect(style, x, y, width, height);
    x = record.rect.left;
    y = record.rect.top;
    width = record.rect.right - record.rect.left;
    height = record.rect.bottom - record.rect.top;

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
    auto const thread = window_thread(window);
    if (!thread) return fail(ERROR_INVALID_WINDOW_HANDLE);
    if (*thread != GetCurrentThreadId()) return fail(ERROR_ACCESS_DENIED);
    auto const place = shown_child_place(window);
    if (!mark_destroying(window)) return TRUE;
    leave_input(window);
    SendMessageW(window, WM_DESTROY, 0, 0);
    for (HWND below : child_windows(window)) DestroyWindow(below);
    for (HWND below : owned_windows(window)) DestroyWindow(below);
    SendMessageW(window, WM_NCDESTROY, 0, 0);
    remove_screen_window(window);
    if (auto const queue = find_queue(*thread)) queue->forget_window(window);
    remove_window(window);
    if (place) {
        auto const parent = window_facts(place->first);
        if (parent && !parent->destroying) uncover_in_parent(place->first, window, place->second);
    }
    return TRUE;
}

BOOL IsWindow(HWND window) {
    if (!window) return FALSE;
    if (is_local_window(window)) return window_facts(window) ? TRUE : FALSE;
    return query_remote_window(window) ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SETTEXT: return set_window_text(window, lparam ? reinterpret_cast<LPCWSTR>(lparam) : u"") ? TRUE : FALSE;
    case WM_GETTEXT: {
        auto const text = window_text(window);
        return text ? copy_text(*text, reinterpret_cast<LPWSTR>(lparam), static_cast<int>(wparam)) : 0;
    }
    case WM_GETTEXTLENGTH: {
        auto const text = window_text(window);
        return text ? static_cast<LRESULT>(text->size()) : 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint)) EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND: return erase_background(window, reinterpret_cast<HDC>(wparam));
    case WM_ACTIVATE:
        if ((wparam & 0xFFFF) != WA_INACTIVE) focus_on_activation(window);
        return 0;
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
    DWORD error = 0;
    auto const value = window_word(window, index, error);
    return value ? *value : fail(error);
}

LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value) {
    DWORD error = 0;
    auto const previous = exchange_window_word(window, index, value, error);
    return previous ? *previous : fail(error);
}

int GetClassNameW(HWND window, LPWSTR buffer, int size) {
    if (is_local_window(window)) {
        if (auto const facts = window_facts(window)) return copy_text(facts->window_class->name, buffer, size);
    } else if (auto const info = query_remote_window(window)) {
        return copy_text(info->class_name, buffer, size);
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

HWND GetParent(HWND window) {
    if (is_local_window(window)) {
        if (auto const facts = window_facts(window)) return facts->parent;
    } else if (auto const info = query_remote_window(window)) {
        return info->parent;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

HWND SetParent(HWND window, HWND parent) {
    if (parent && !window_facts(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto const place = shown_child_place(window);
    auto const previous = set_window_parent(window, parent);
    if (!previous) {
        SetLastError(window_facts(window) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!parent) announce_windows();
    if (place && place->first != parent) uncover_in_parent(place->first, window, place->second);
    sync_screen_window(window);
    if (is_window_shown(window)) {
        invalidate_all(window);
        wake_window_thread(window);
    }
    return *previous;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (!window_facts(window)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    BOOL const set = SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
    sync_screen_window(window);
    return set;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int size) {
    if (is_local_window(window)) {
        if (is_own_thread_window(window)) {
            return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(std::max(size, 0)),
                                                 reinterpret_cast<LPARAM>(buffer)));
        }
        if (auto const text = window_text(window)) return copy_text(*text, buffer, size);
    } else if (auto const info = query_remote_window(window)) {
        return copy_text(info->text, buffer, size);
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

int GetWindowTextLengthW(HWND window) {
    if (is_local_window(window)) {
        if (is_own_thread_window(window)) return static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
        if (auto const text = window_text(window)) return static_cast<int>(text->size());
    } else if (auto const info = query_remote_window(window)) {
        return static_cast<int>(info->text.size());
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

BOOL ShowWindow(HWND window, int command) {
    bool const show = command != SW_HIDE;
    auto const place = show ? std::nullopt : shown_child_place(window);
    auto const previous = change_style(window, show ? WS_VISIBLE : 0, show ? 0 : WS_VISIBLE);
    if (!previous) return fail(ERROR_INVALID_WINDOW_HANDLE);
    bool const was_visible = (*previous & WS_VISIBLE) != 0;
    if (show && command != SW_SHOWNA && !(*previous & WS_CHILD)) place_window(window, HWND_TOP);
    sync_screen_window(window);
    if (show && command != SW_SHOWNA) place_screen_window(window);
    if (was_visible != show) {
        SendMessageW(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (show) invalidate_all(window);
        if (place) uncover_in_parent(place->first, window, place->second);
        wake_window_thread(window);
    }
    return was_visible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    if (!is_local_window(window)) {
        auto const style = style_of(window);
        return style && (*style & WS_VISIBLE) ? TRUE : FALSE;
    }
    return is_window_shown(window) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    auto const previous = change_style(window, enable ? 0 : WS_DISABLED, enable ? WS_DISABLED : 0);
    if (!previous) return fail(ERROR_INVALID_WINDOW_HANDLE);
    bool const was_disabled = (*previous & WS_DISABLED) != 0;
    if (was_disabled == (enable != FALSE)) {
        sync_screen_window(window);
        SendMessageW(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return was_disabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    auto const style = style_of(window);
    return style && !(*style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int width, int height, UINT flags) {
    auto const facts = window_facts(window);
    if (!facts) return fail(ERROR_INVALID_WINDOW_HANDLE);
    RECT const old = facts->rect;
    auto const place = shown_child_place(window);
    RECT rect = old;
    if (!(flags & SWP_NOMOVE)) rect = RECT{x, y, x + (old.right - old.left), y + (old.bottom - old.top)};
    if (!(flags & SWP_NOSIZE)) rect.right = rect.left + width, rect.bottom = rect.top + height;
    if (!(flags & SWP_NOZORDER)) {
        bool const to_top = insert_after == HWND_TOP || insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST;
        place_window(window, to_top ? HWND_TOP : insert_after);
    }
    bool const moved = rect.left != old.left || rect.top != old.top;
    bool const sized = rect.right - rect.left != old.right - old.left || rect.bottom - rect.top != old.bottom - old.top;
    if (moved || sized) set_window_rect(window, rect);
    if (moved || sized) sync_screen_window(window);
    if ((moved || sized) && place && !(flags & SWP_NOREDRAW)) {
        uncover_in_parent(place->first, window, place->second);
        invalidate_all(window);
        wake_window_thread(window);
    }
    if (!(flags & SWP_NOZORDER)) place_screen_window(window);
    if (!(flags & SWP_NOMOVE)) SendMessageW(window, WM_MOVE, 0, make_lparam(rect.left, rect.top));
    if (!(flags & SWP_NOSIZE)) {
        SendMessageW(window, WM_SIZE, SIZE_RESTORED, make_lparam(rect.right - rect.left, rect.bottom - rect.top));
    }
    if (sized && !(flags & SWP_NOREDRAW)) {
        invalidate_all(window);
        wake_window_thread(window);
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(window, SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
    return TRUE;
}

BOOL BringWindowToTop(HWND window) {
    return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    auto facts = window_facts(window);
    if (!facts || !rect) return fail(facts ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    *rect = facts->rect;
    // A child's place is relative to its parent's client area.
    while (facts->is_child() && (facts = window_facts(facts->parent))) {
        LONG const dx = facts->rect.left + facts->client.left;
        LONG const dy = facts->rect.top + facts->client.top;
        *rect = RECT{rect->left + dx, rect->top + dy, rect->right + dx, rect->bottom + dy};
    }
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    auto const facts = window_facts(window);
    if (!facts || !rect) return fail(facts ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    *rect = RECT{0, 0, facts->client.right - facts->client.left, facts->client.bottom - facts->client.top};
    return TRUE;
}

HWND GetWindow(HWND window, UINT relation) {
    if (!window_facts(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return related_window(window, relation);
}

namespace {

bool enumerate_below(HWND parent, WNDENUMPROC callback, LPARAM parameter) {
    for (HWND child : child_windows(parent)) {
        if (!callback(child, parameter)) return false;
        if (!enumerate_below(child, callback, parameter)) return false;
    }
    return true;
}

}  // namespace

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM parameter) {
    if (!callback) return fail(ERROR_INVALID_PARAMETER);
    if (!parent) return EnumWindows(callback, parameter);
    if (!window_facts(parent)) return fail(ERROR_INVALID_WINDOW_HANDLE);
    enumerate_below(parent, callback, parameter);
    return TRUE;
}

BOOL IsChild(HWND parent, HWND window) {
    return window != parent && is_window_within(window, parent) ? TRUE : FALSE;
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM parameter) {
    if (!callback) return fail(ERROR_INVALID_PARAMETER);
    for (HWND window : top_level_windows()) {
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
    for (HWND window : top_level_windows()) {
        auto const facts = window_facts(window);
        auto const text = window_text(window);
        if (facts && text && matches(facts->window_class->name, *text)) return window;
    }
    // One question per process: its answer carries every window's class and text.
    for (auto const& info : remote_top_level_window_infos()) {
        if (matches(info.class_name, info.text)) return info.handle;
    }
    return nullptr;
}
