// Who has the input (inside the Linux back end only): every thread's active window, focus
// window, capture window and key state, and the device's foreground window. One object
// owns them all; the calls in platform/windows.h and the screen's input routing read and
// change them here and send the messages that go with a change themselves, after the
// change and outside the lock (see window_tree.h for the lock order).
#pragma once

#include <array>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/messages.h"
#include "platform/windows.h"

namespace platform::detail {

class InputState {
public:
    HWND active(DWORD thread_id);
    HWND focus(DWORD thread_id);
    HWND capture(DWORD thread_id);
    // Each sets the thread's window and returns the one it replaced.
    HWND exchange_active(DWORD thread_id, HWND window);
    HWND exchange_focus(DWORD thread_id, HWND window);
    HWND exchange_capture(DWORD thread_id, HWND window);
    // Clears the thread's active window if it is `window`; whether it was.
    bool clear_active_if(DWORD thread_id, HWND window);

    // A key or stylus message the thread has taken from its queue.
    void note_taken(DWORD thread_id, const MSG& message);
    SHORT key_state(DWORD thread_id, int virtual_key);

    // The window (being destroyed) leaves every slot that names it.
    void forget_window(HWND window);
    void forget_thread(DWORD thread_id);
    // Back to nothing (tests).
    void reset();

private:
    struct ThreadInput {
        HWND active = nullptr;
        HWND focus = nullptr;
        HWND capture = nullptr;
        std::array<BYTE, 256> keys{};  // 0x80 down, 0x01 toggled
    };
    HWND exchange(DWORD thread_id, HWND ThreadInput::*slot, HWND window);

    std::mutex lock_;
    std::unordered_map<DWORD, ThreadInput> threads_;
};

InputState& input_state();

// The device's foreground window, kept in the device's run folder for all of its
// processes; null when none was set or its process has ended.
HWND device_foreground();
void set_device_foreground(HWND window);
// Forgets the foreground window when it is `window`.
void clear_device_foreground_if(HWND window);

}  // namespace platform::detail
