// Retrieving, dispatching, posting and sending messages.
#include "platform/messages.h"

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/linux/user/input_state.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/screen_windows.h"
#include "platform/linux/user/remote_windows.h"
#include "platform/linux/user/window_tree.h"
#include "platform/testing.h"
#include "platform/timers.h"
#include "platform/windows.h"

using namespace platform::detail;

namespace {

HWND const thread_messages_only = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

bool valid_window_filter(HWND window) {
    if (!window || window == thread_messages_only || IsWindow(window)) return true;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

std::shared_ptr<MessageQueue> queue_of_window(HWND window) {
    auto const thread = window_thread(window);
    return thread ? find_queue(*thread) : nullptr;
}

BOOL broadcast(UINT message, WPARAM wparam, LPARAM lparam) {
    for (HWND window : top_level_windows()) PostMessageW(window, message, wparam, lparam);
    for (HWND window : remote_top_level_windows()) post_remote(window, message, wparam, lparam);
    return TRUE;
}

// A tap brings its window's top-level window to the front, as on the device, unless that
// window asked not to be activated (menus and the like).
void activate_tapped_window(MessageQueue& queue, const MSG& taken) {
    if (taken.message != WM_LBUTTONDOWN && taken.message != WM_LBUTTONDBLCLK) return;
    HWND const tapped = queue.take_tapped_window();
    if (!tapped) return;
    HWND const top = top_level_of(tapped);
    auto const facts = window_facts(top);
    if (!facts || facts->destroying || (facts->ex_style & WS_EX_NOACTIVATE)) return;
    if (GetForegroundWindow() == top) return;
    BringWindowToTop(top);
    SetForegroundWindow(top);
}

void note_taken(MessageQueue& queue, const MSG& message) {
    input_state().note_taken(GetCurrentThreadId(), message);
    activate_tapped_window(queue, message);
}

}  // namespace

BOOL GetMessageW(LPMSG message, HWND window, UINT first, UINT last) {
    if (!message || !valid_window_filter(window)) {
        if (!message) SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    auto const queue = current_queue();
    queue->retrieve(*message, MessageFilter{window, first, last}, true, true);
    note_taken(*queue, *message);
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessageW(LPMSG message, HWND window, UINT first, UINT last, UINT remove) {
    if (!message) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!valid_window_filter(window)) return FALSE;
    bool const taken = (remove & PM_REMOVE) != 0;
    auto const queue = current_queue();
    if (!queue->retrieve(*message, MessageFilter{window, first, last}, taken, false)) return FALSE;
    if (taken) note_taken(*queue, *message);
    return TRUE;
}

// A key-down that types a character posts WM_CHAR, so that the next retrieval finds it
// before any later input.
BOOL TranslateMessage(const MSG* message) {
    if (!message || message->message != WM_KEYDOWN) return FALSE;
    char16_t const character = take_typed_character(GetCurrentThreadId(), static_cast<UINT>(message->wParam));
    if (!character) return FALSE;
    return PostMessageW(message->hwnd, WM_CHAR, character, message->lParam);
}

LRESULT DispatchMessageW(const MSG* message) {
    if (!message) return 0;
    if (message->message == WM_TIMER && message->lParam) {
        auto const procedure = reinterpret_cast<TIMERPROC>(message->lParam);
        procedure(message->hwnd, WM_TIMER, message->wParam, message->time);
        return 0;
    }
    if (!message->hwnd) return 0;
    return call_window_procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window == HWND_BROADCAST) return broadcast(message, wparam, lparam);
    if (!window) return PostThreadMessageW(GetCurrentThreadId(), message, wparam, lparam);
    if (!is_local_window(window)) {
        if (post_remote(window, message, wparam, lparam)) return TRUE;
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto const queue = queue_of_window(window);
    if (!queue || !queue->post(MSG{window, message, wparam, lparam, 0, {}})) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL PostThreadMessageW(DWORD thread_id, UINT message, WPARAM wparam, LPARAM lparam) {
    auto const queue = find_queue(thread_id);
    if (!queue || !queue->post(MSG{nullptr, message, wparam, lparam, 0, {}})) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return TRUE;
}

void PostQuitMessage(int exit_code) { current_queue()->post_quit(exit_code); }

LRESULT SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (window == HWND_BROADCAST) {
        for (HWND target : top_level_windows()) SendMessageW(target, message, wparam, lparam);
        for (HWND target : remote_top_level_windows()) send_remote(target, message, wparam, lparam);
        return 0;
    }
    if (!is_local_window(window)) {
        if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return send_remote(window, message, wparam, lparam);
    }
    auto const thread = window_thread(window);
    if (!thread) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (*thread == GetCurrentThreadId()) return call_window_procedure(window, message, wparam, lparam);
    auto const queue = find_queue(*thread);
    return queue ? send_to_thread(queue, window, message, wparam, lparam) : 0;
}

bool platform::post_input_message(const MSG& message) {
    auto const queue = is_local_window(message.hwnd) ? queue_of_window(message.hwnd) : nullptr;
    return queue && queue->post_input(message);
}
