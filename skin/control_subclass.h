// Hooks on a window's messages. Any number of objects may hook one window: the one installed
// last sees a message first, and every hook sees every message. A hook that handles a
// message clears the pass-on flag; a message that no hook handled goes on to the window's
// own procedure. WM_DESTROY ends every hook of the window after the hooks have seen it.
#pragma once

#include "platform/windows.h"

namespace skinner {

class ControlSubclass {
public:
    ControlSubclass() = default;
    ControlSubclass(const ControlSubclass&) = delete;
    ControlSubclass& operator=(const ControlSubclass&) = delete;
    virtual ~ControlSubclass();

    // Hooks the window (an object already hooked elsewhere is unhooked there first).
    void install(HWND window);
    // Unhooks; nothing when not installed. The window's own procedure is put back with the
    // last hook.
    void uninstall();

    // The hooked window; null when not installed.
    HWND get_window() const { return window_; }

    // A message of the hooked window; clear pass_on to keep it from the window's procedure.
    // The base handles nothing.
    virtual LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on);

private:
    friend class SubclassRegistry;
    HWND window_ = nullptr;
};

}  // namespace skinner
