// The shell's parts that the screen server draws over every process's windows (inside the
// Linux back end only): the task bar with the foreground window's title and its OK button,
// the bottom bar with the input-panel button, the input panel's keyboard and the ring of
// dots that shows a tap being held. It knows which of its parts a tap is on, and what the
// tap does once the stylus comes up there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/screen/compositor.h"
#include "platform/linux/screen/shell_layout.h"
#include "platform/linux/screen/soft_keyboard.h"

namespace platform::screen {

// What the foreground window asks of the shell.
struct ShellFront {
    std::string title;  // UTF-8
    bool ok_button = false;
    bool hide_task_bar = false;
    bool hide_input_panel_button = false;
    bool operator==(const ShellFront&) const = default;
};

// What a tap on the shell does.
struct ShellTap {
    enum class Action { none, ok, toggle_input_panel, key };
    Action action = Action::none;
    TypedKey key;
};

class ShellChrome {
public:
    ShellChrome(bool shown, const display::ScreenMode& mode);
    ~ShellChrome();
    ShellChrome(const ShellChrome&) = delete;
    ShellChrome& operator=(const ShellChrome&) = delete;

    bool shown() const { return shown_; }
    const ShellLayout& layout() const { return layout_; }
    void set_mode(const display::ScreenMode& mode);

    void set_front(const ShellFront& front);
    void set_input_panel(bool up);
    bool input_panel_up() const { return input_panel_up_; }
    // A ring of `dots` of eight dots around the point; 0 takes it away.
    void set_hold_cue(int x, int y, int dots);

    // Drawn under every window (the bottom bar's ground, which the menu bar covers), and
    // over them, last on top.
    std::vector<Layer> layers_below() const;
    std::vector<Layer> layers_above() const;
    // Where the shell changed since the last call.
    std::vector<ScreenRect> take_damage();

    // A stylus down there: true when the shell takes it (then the stylus is the shell's
    // until it comes up).
    bool press(int x, int y);
    // The stylus up: what the tap does, when it comes up on the part it went down on.
    ShellTap release(int x, int y);

private:
    class Image;
    enum class Part { none, task_bar, ok_button, input_panel_button, key };
    struct Pressed {
        Part part = Part::none;
        const SoftKey* key = nullptr;
    };

    Pressed part_at(int x, int y) const;
    bool task_bar_shown() const;
    bool input_panel_button_shown() const;
    void draw_all();
    void draw_task_bar();
    void draw_bottom_bar();
    void draw_input_panel_button();
    void draw_input_panel();
    void draw_hold_cue();
    void damage(const ScreenRect& rect) { damage_.push_back(rect); }

    bool shown_;
    display::ScreenMode mode_;
    ShellLayout layout_;
    ShellFront front_;
    bool input_panel_up_ = false;
    SoftKeyboard keyboard_;
    Pressed pressed_;
    ScreenRect cue_rect_;
    int cue_dots_ = 0;
    std::unique_ptr<Image> task_bar_;
    std::unique_ptr<Image> bottom_bar_;
    std::unique_ptr<Image> input_panel_button_;
    std::unique_ptr<Image> input_panel_;
    std::unique_ptr<Image> cue_;
    std::vector<ScreenRect> damage_;
};

}  // namespace platform::screen
