#include "skin/control_subclass.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace skinner {

namespace {

// One installation of a hook; the serial tells a hook removed and installed again (or a new
// object at a freed one's address) from the one a walk started with.
struct Hook {
    ControlSubclass* object;
    std::uint64_t serial;
    bool operator==(const Hook&) const = default;
};

struct Entry {
    WNDPROC previous = nullptr;
    std::vector<Hook> hooks;  // in installation order
};

}  // namespace

// The process's hooked windows. Hooks run without the lock held, so that they may install
// and remove hooks themselves.
class SubclassRegistry {
public:
    // Never destroyed: hooks that live in static objects unhook at exit, after it would be.
    static SubclassRegistry& get() {
        static SubclassRegistry* const registry = new SubclassRegistry;
        return *registry;
    }

    static LRESULT shared_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        return get().dispatch(window, message, wparam, lparam);
    }

    void install(ControlSubclass& object, HWND window) {
        std::lock_guard lock(mutex_);
        object.window_ = window;
        Entry& entry = entries_[window];
        if (!entry.previous) {
            entry.previous = reinterpret_cast<WNDPROC>(GetWindowLongW(window, GWL_WNDPROC));
            SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&shared_procedure));
        }
        entry.hooks.push_back({&object, ++last_serial_});
    }

    void uninstall(ControlSubclass& object) {
        std::lock_guard lock(mutex_);
        HWND const window = object.window_;
        if (!window) return;
        object.window_ = nullptr;
        auto const found = entries_.find(window);
        if (found == entries_.end()) return;
        auto& hooks = found->second.hooks;
        hooks.erase(std::remove_if(hooks.begin(), hooks.end(), [&](const Hook& hook) { return hook.object == &object; }),
                    hooks.end());
        if (!hooks.empty()) return;
        SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
        entries_.erase(found);
    }

private:
    // Calls the hooks installed when the message came, last installed first. A hook removed
    // by an earlier one meanwhile is skipped, one added meanwhile waits for the next message,
    // and once a hook has destroyed the window nothing more is done with it.
    LRESULT dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        std::optional<Entry> const snapshot = entry_of(window);
        if (!snapshot) return 0;
        std::optional<LRESULT> handled;
        for (auto hook = snapshot->hooks.rbegin(); hook != snapshot->hooks.rend(); ++hook) {
            if (!is_installed(window, *hook)) continue;
            bool pass_on = true;
            LRESULT const result = hook->object->on_message(message, wparam, lparam, pass_on);
            if (!pass_on) handled = result;
            if (!IsWindow(window)) return handled.value_or(0);
        }
        if (message == WM_DESTROY) uninstall_all(window);
        if (handled) return *handled;
        return CallWindowProcW(snapshot->previous, window, message, wparam, lparam);
    }

    std::optional<Entry> entry_of(HWND window) {
        std::lock_guard lock(mutex_);
        auto const found = entries_.find(window);
        if (found == entries_.end()) return std::nullopt;
        return found->second;
    }

    bool is_installed(HWND window, const Hook& hook) {
        std::lock_guard lock(mutex_);
        auto const found = entries_.find(window);
        return found != entries_.end() &&
               std::find(found->second.hooks.begin(), found->second.hooks.end(), hook) != found->second.hooks.end();
    }

    void uninstall_all(HWND window) {
        while (ControlSubclass* const last = last_hook(window)) uninstall(*last);
    }

    ControlSubclass* last_hook(HWND window) {
        std::lock_guard lock(mutex_);
        auto const found = entries_.find(window);
        return found == entries_.end() || found->second.hooks.empty() ? nullptr : found->second.hooks.back().object;
    }

    std::mutex mutex_;
    std::map<HWND, Entry> entries_;
    std::uint64_t last_serial_ = 0;
};

ControlSubclass::~ControlSubclass() { uninstall(); }

void ControlSubclass::install(HWND window) {
    uninstall();
    if (window) SubclassRegistry::get().install(*this, window);
}

void ControlSubclass::uninstall() { SubclassRegistry::get().uninstall(*this); }

LRESULT ControlSubclass::on_message(UINT, WPARAM, LPARAM, bool&) { return 0; }

}  // namespace skinner
