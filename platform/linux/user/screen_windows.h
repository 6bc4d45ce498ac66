// The process's top-level windows on the device's screen (inside the Linux back end only):
// a shown top-level window has a surface on the screen that follows its place, size,
// z-order, visibility, text and state; paints are presented; the screen's stylus, key,
// hot-key and size events become the owning threads' messages.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/windows.h"

namespace platform::detail {

// Double taps: the second tap within this time and this distance (device pixels, each
// way) of the first makes WM_LBUTTONDBLCLK for a class with CS_DBLCLKS.
constexpr DWORD double_tap_time_ms = 500;
constexpr int double_tap_distance = 8;

struct ScreenSize {
    int width = 0;
    int height = 0;
    int dpi = 0;
    int bar = 0;  // the shell's bars; 0 when the screen shows no shell
};

// The screen's size and density (from the screen when it answers, else from
// SONBRIX_DISPLAY_SIZE as the screen would choose it).
ScreenSize screen_size();
// Where CW_USEDEFAULT windows go: the screen between the shell's task bar and bottom bar.
RECT work_area();

// What the window (a top-level window of this process) asks of the shell while it is in
// front: shell_* flags of the screen's protocol, set and cleared.
void change_shell_flags(HWND top_level, std::uint32_t set, std::uint32_t clear);
// The input panel: raised or lowered (false when the screen did not answer), and its state.
bool raise_input_panel(bool raise);
bool input_panel_is_up();
// The ring of a held tap at the screen point: dots of 8, 0 takes it away.
void show_hold_cue(POINT point, int dots);

// Brings the screen's view of the window up to date after a change of visibility, place,
// size, parent, text or state; a child or a window being destroyed is left alone.
void sync_screen_window(HWND window);
// The window's place in the device-wide z-order after it moved in the process's order.
void place_screen_window(HWND window);
void remove_screen_window(HWND window);
// Shows what was drawn on the surface of the top-level window in these rectangles
// (surface coordinates).
void present_screen_window(HWND top_level, const std::vector<RECT>& damage);

// Tell the screen who has the foreground, capture and focus.
void screen_foreground_changed(HWND top_level);
// The capture went from previous to window (null: released).
void screen_capture_changed(HWND previous, HWND window);
void screen_focus_changed(HWND top_level, HWND focus);

// Hot keys, held device-wide by the screen; false when another window holds the key.
bool register_screen_hotkey(HWND window, int id, UINT modifiers, UINT vk);
bool unregister_screen_hotkey(HWND window, int id);

// The window may need painting: when it is on the screen, the screen's wait for idle waits
// for its thread (true; the thread must then tell screen_thread_idle).
bool screen_paint_pending(HWND window);
// Returns once the screen has carried out everything this process asked before.
bool sync_screen();

// The thread has nothing left to do: the input the screen gave it is handled and its
// windows are painted.
void screen_thread_idle(DWORD thread_id);

// The character the key-down the thread has just taken types (TranslateMessage); 0 when
// none.
char16_t take_typed_character(DWORD thread_id, UINT vk);

}  // namespace platform::detail
