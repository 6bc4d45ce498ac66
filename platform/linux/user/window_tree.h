// The windows of this process as a tree (inside the Linux back end only). Window handles
// carry the owning process id in their upper 32 bits, so any process of the device can
// tell whose window a handle names.
//
// Every node holds its parent (a child) or owner (a top-level window), its children in
// z-order (top first), its window and client rectangles, its update region and the
// surface the screen gives it. Top-level windows of the process are kept in z-order too.
//
// Locks, in the order they may be taken (one may be taken while holding one above it,
// never one above while holding one below):
//   1. a window link's own locks (window_link_*): never held while asking the tree, the
//      input state or a queue;
//   2. a message queue's lock (MessageQueue): may ask the tree (filters, paint);
//   3. the tree's lock and the input state's lock (input_state.h): leaves. Neither is held
//      while any other lock is taken, and no caller code (window procedure, hook,
//      callback) runs while one is held; the tree hands out copies of the facts callers
//      need, never references into a node.
// Messages that go with a change (WM_ACTIVATE, WM_SETFOCUS, WM_PAINT...) are sent after the
// change, holding none of these locks.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/gdi/area.h"
#include "platform/linux/gdi/surface.h"
#include "platform/linux/user/class_table.h"
#include "platform/windows.h"

namespace platform::detail {

// What a new window starts with.
struct NewWindow {
    std::shared_ptr<const WindowClass> window_class;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;  // the parent of a child, the owner of a top-level window
    std::u16string text;
    DWORD thread_id = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    RECT rect{};  // in the parent's client coordinates; a top-level window's on the screen
};

// A copy of what most callers ask of a window at once.
struct WindowFacts {
    HWND handle = nullptr;
    HWND parent = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    DWORD thread_id = 0;
    RECT rect{};    // in the parent's client coordinates
    RECT client{};  // the client area in window coordinates
    bool destroying = false;
    std::shared_ptr<const WindowClass> window_class;

    bool is_child() const { return (style & WS_CHILD) != 0; }
};

bool is_local_window(HWND window);

// ---- Building and taking apart ----
// A new window goes below its siblings (so that the first one made comes first until one
// is moved or shown).
HWND add_window(NewWindow window);
void remove_window(HWND window);
// Marks the window as being destroyed; false when it already was or is gone.
bool mark_destroying(HWND window);
// The thread's windows vanish without messages (the thread has ended).
void forget_windows_of_thread(DWORD thread_id);
bool class_has_windows(const WindowClass* window_class);

// ---- Reading ----
std::optional<WindowFacts> window_facts(HWND window);
std::optional<DWORD> window_thread(HWND window);
std::optional<std::u16string> window_text(HWND window);
WNDPROC window_procedure(HWND window);
// Fails (nullopt, error set) for an index that is no word of the window.
std::optional<LONG_PTR> window_word(HWND window, int index, DWORD& error);

// ---- Changing ----
bool set_window_text(HWND window, std::u16string text);
// The previous value; nullopt (error set) for no window or a bad index.
std::optional<LONG_PTR> exchange_window_word(HWND window, int index, LONG_PTR value, DWORD& error);
// Sets and clears style bits; the previous style.
std::optional<DWORD> change_style(HWND window, DWORD set, DWORD clear);
// The previous rectangle. The client area follows the window's size.
std::optional<RECT> set_window_rect(HWND window, RECT rect);
// Moves the window below another parent (null: to the top level, as a popup); the previous
// parent or owner. False for a parent inside the window itself.
std::optional<HWND> set_window_parent(HWND window, HWND parent);
// Places the window among its siblings: HWND_TOP, HWND_BOTTOM or after a sibling.
bool place_window(HWND window, HWND insert_after);

// ---- Relations (z-order: top first) ----
std::vector<HWND> top_level_windows();  // of this process, not being destroyed
std::vector<HWND> child_windows(HWND window);
std::vector<HWND> owned_windows(HWND window);
// GetWindow's relations (GW_*); null when there is none.
HWND related_window(HWND window, UINT relation);
// The window is `ancestor` or lies below it through parents.
bool is_window_within(HWND window, HWND ancestor);
// The window itself for a top-level window, else its top-level ancestor.
HWND top_level_of(HWND window);
// Visible, and so are all of its parents.
bool is_window_shown(HWND window);

// ---- Painting ----
// Adds the rectangle (client coordinates; null: the whole client area) to the update
// region; `erase` asks for WM_ERASEBKGND at the next BeginPaint.
bool invalidate_window(HWND window, const RECT* rect, bool erase);
bool validate_window(HWND window, const RECT* rect);
// The update region's bounds (empty when there is nothing to paint); nullopt for no window.
std::optional<RECT> update_bounds(HWND window);
struct PaintTake {
    gdi::Area area;  // client coordinates
    bool erase = false;
};
// Takes the update region (it is empty afterwards).
std::optional<PaintTake> take_update(HWND window);
// A shown window of the thread with something to paint, inside `within` (null: any).
HWND window_needing_paint(DWORD thread_id, HWND within);

// ---- The screen's surface ----
void set_window_surface(HWND window, std::shared_ptr<gdi::PixelSurface> surface);
std::shared_ptr<gdi::PixelSurface> window_surface(HWND window);

// Calls the window's current procedure (outside the tree's lock); 0 for a window that is
// gone.
LRESULT call_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace platform::detail
