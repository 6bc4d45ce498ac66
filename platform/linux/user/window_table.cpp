#include "platform/linux/user/window_table.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <random>

#include "platform/unicode.h"

namespace platform::detail {
namespace {

std::uint32_t first_serial() {
    std::random_device random;
    return 1 + random() % 0x7FFFFFFFu;
}

struct Table {
    std::mutex lock;
    std::map<std::u16string, std::shared_ptr<const WindowClass>> classes;  // by lower-case name
    std::map<std::uintptr_t, std::shared_ptr<WindowRecord>> windows;      // handle order = creation order
    // Starts at random, so that a process that gets a dead process's id hands out other
    // handles than it did: a kept handle of the dead process names no window of the new.
    std::uint32_t next_serial = first_serial();
};

Table& table() {
    static auto* const instance = new Table;  // lives to the process end
    return *instance;
}

std::u16string folded(std::u16string_view name) {
    std::u16string result(name);
    for (auto& c : result) c = platform::to_lower(c);
    return result;
}

std::uintptr_t key(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

std::uintptr_t own_process_bits() { return static_cast<std::uintptr_t>(getpid()) << 32; }

std::shared_ptr<WindowRecord> find_locked(Table& t, HWND window) {
    auto const it = t.windows.find(key(window));
    return it == t.windows.end() ? nullptr : it->second;
}

}  // namespace

bool register_window_class(WindowClass window_class) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto name = folded(window_class.name);
    if (t.classes.count(name)) return false;
    t.classes.emplace(std::move(name), std::make_shared<const WindowClass>(std::move(window_class)));
    return true;
}

std::shared_ptr<const WindowClass> find_window_class(std::u16string_view name) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.classes.find(folded(name));
    return it == t.classes.end() ? nullptr : it->second;
}

DWORD unregister_window_class(std::u16string_view name) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.classes.find(folded(name));
    if (it == t.classes.end()) return ERROR_CLASS_DOES_NOT_EXIST;
    for (auto const& [handle, record] : t.windows) {
        if (record->window_class == it->second) return ERROR_CLASS_HAS_WINDOWS;
    }
    t.classes.erase(it);
    return ERROR_SUCCESS;
}

bool is_local_window(HWND window) {
    return window && (key(window) & ~std::uintptr_t{0xFFFFFFFFu}) == own_process_bits();
}

HWND add_window(WindowRecord record) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    record.handle = reinterpret_cast<HWND>(own_process_bits() | t.next_serial++);
    HWND const handle = record.handle;
    t.windows.emplace(key(handle), std::make_shared<WindowRecord>(std::move(record)));
    return handle;
}

void remove_window(HWND window) {
    std::shared_ptr<WindowRecord> last;  // released outside the lock
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.windows.find(key(window));
    if (it == t.windows.end()) return;
    last = std::move(it->second);
    t.windows.erase(it);
}

std::optional<WindowRecord> find_window(HWND window) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const record = find_locked(t, window);
    if (!record) return std::nullopt;
    return *record;
}

bool update_window(HWND window, const std::function<void(WindowRecord&)>& change) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const record = find_locked(t, window);
    if (!record) return false;
    change(*record);
    return true;
}

std::vector<HWND> local_top_level_windows() {
    auto& t = table();
    std::lock_guard guard(t.lock);
    std::vector<HWND> result;
    for (auto const& [handle, record] : t.windows) {
        if (!record->is_child() && !record->destroying) result.push_back(record->handle);
    }
    return result;
}

std::vector<HWND> windows_below(HWND window) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    std::vector<HWND> result;
    for (auto const& [handle, record] : t.windows) {
        if (record->parent == window) result.push_back(record->handle);
    }
    return result;
}

bool is_window_within(HWND window, HWND ancestor) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    while (window) {
        if (window == ancestor) return true;
        auto const record = find_locked(t, window);
        if (!record || !record->is_child()) return false;
        window = record->parent;
    }
    return false;
}

LRESULT call_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WNDPROC procedure = nullptr;
    {
        auto& t = table();
        std::lock_guard guard(t.lock);
        if (auto const record = find_locked(t, window)) procedure = record->procedure;
    }
    return procedure ? procedure(window, message, wparam, lparam) : 0;
}

void forget_windows_of_thread(DWORD thread_id) {
    std::vector<std::shared_ptr<WindowRecord>> gone;  // released outside the lock
    auto& t = table();
    std::lock_guard guard(t.lock);
    for (auto it = t.windows.begin(); it != t.windows.end();) {
        if (it->second->thread_id == thread_id) {
            gone.push_back(std::move(it->second));
            it = t.windows.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace platform::detail
