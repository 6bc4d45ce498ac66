#include "platform/linux/user/input_state.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/kernel/run_folder.h"
#include "platform/linux/user/message_queue.h"
#include "platform/linux/user/window_tree.h"

namespace platform::detail {

HWND InputState::active(DWORD thread_id) {
    std::lock_guard guard(lock_);
    auto const it = threads_.find(thread_id);
    return it == threads_.end() ? nullptr : it->second.active;
}

HWND InputState::focus(DWORD thread_id) {
    std::lock_guard guard(lock_);
    auto const it = threads_.find(thread_id);
    return it == threads_.end() ? nullptr : it->second.focus;
}

HWND InputState::capture(DWORD thread_id) {
    std::lock_guard guard(lock_);
    auto const it = threads_.find(thread_id);
    return it == threads_.end() ? nullptr : it->second.capture;
}

HWND InputState::exchange(DWORD thread_id, HWND ThreadInput::*slot, HWND window) {
    watch_thread_ends();
    std::lock_guard guard(lock_);
    return std::exchange(threads_[thread_id].*slot, window);
}

HWND InputState::exchange_active(DWORD thread_id, HWND window) { return exchange(thread_id, &ThreadInput::active, window); }
HWND InputState::exchange_focus(DWORD thread_id, HWND window) { return exchange(thread_id, &ThreadInput::focus, window); }
HWND InputState::exchange_capture(DWORD thread_id, HWND window) {
    return exchange(thread_id, &ThreadInput::capture, window);
}

bool InputState::clear_active_if(DWORD thread_id, HWND window) {
    std::lock_guard guard(lock_);
    auto const it = threads_.find(thread_id);
    if (it == threads_.end() || it->second.active != window) return false;
    it->second.active = nullptr;
    return true;
}

void InputState::note_taken(DWORD thread_id, const MSG& message) {
    int key = 0;
    bool down = false;
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: key = static_cast<int>(message.wParam & 0xFF), down = true; break;
    case WM_KEYUP:
    case WM_SYSKEYUP: key = static_cast<int>(message.wParam & 0xFF); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: key = VK_LBUTTON, down = true; break;
    case WM_LBUTTONUP: key = VK_LBUTTON; break;
    default: return;
    }
    watch_thread_ends();
    std::lock_guard guard(lock_);
    BYTE& state = threads_[thread_id].keys[static_cast<std::size_t>(key)];
    if (down && !(state & 0x80)) state ^= 0x01;
    state = static_cast<BYTE>(down ? (state | 0x80) : (state & ~0x80));
}

SHORT InputState::key_state(DWORD thread_id, int virtual_key) {
    if (virtual_key < 0 || virtual_key > 0xFF) return 0;
    std::lock_guard guard(lock_);
    auto const it = threads_.find(thread_id);
    if (it == threads_.end()) return 0;
    BYTE const state = it->second.keys[static_cast<std::size_t>(virtual_key)];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

void InputState::forget_window(HWND window) {
    std::lock_guard guard(lock_);
    for (auto& [thread, input] : threads_) {
        for (HWND* slot : {&input.active, &input.focus, &input.capture}) {
            if (*slot == window) *slot = nullptr;
        }
    }
}

void InputState::forget_thread(DWORD thread_id) {
    std::lock_guard guard(lock_);
    threads_.erase(thread_id);
}

void InputState::reset() {
    std::lock_guard guard(lock_);
    threads_.clear();
}

InputState& input_state() {
    static auto* const instance = new InputState;  // lives to the process end
    return *instance;
}

// ---- The device's foreground window ----

namespace {

std::string foreground_file() { return run_subfolder("input") + "/foreground"; }

pid_t process_of(HWND window) { return static_cast<pid_t>(reinterpret_cast<std::uintptr_t>(window) >> 32); }

bool still_there(HWND window) {
    if (is_local_window(window)) {
        auto const facts = window_facts(window);
        return facts && !facts->destroying;
    }
    pid_t const pid = process_of(window);
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

HWND read_foreground() {
    std::ifstream in(foreground_file());
    unsigned long long value = 0;
    if (!(in >> value)) return nullptr;
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

}  // namespace

HWND device_foreground() {
    HWND const window = read_foreground();
    return window && still_there(window) ? window : nullptr;
}

void set_device_foreground(HWND window) {
    std::string const file = foreground_file();
    if (!window) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        return;
    }
    // Written beside and renamed over, so that a reader never sees half a number.
    std::string const partial = file + "." + std::to_string(getpid()) + "." + std::to_string(gettid());
    {
        std::ofstream out(partial, std::ios::trunc);
        out << reinterpret_cast<std::uintptr_t>(window) << '\n';
        if (!out.flush()) return;
    }
    std::rename(partial.c_str(), file.c_str());
}

void clear_device_foreground_if(HWND window) {
    if (window && read_foreground() == window) set_device_foreground(nullptr);
}

}  // namespace platform::detail
