// Skinned push buttons: four looks (Normal, Pressed, Highlighted, Disabled), pressed by the
// stylus, by Return while focused, or by the form's soft-key handling; a click when the last
// press ends over the button.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "skin/control.h"
#include "skin/button_impl.h"

namespace skinner {

// The picture, font and text colour of one state.
struct StateLook {
    PictureRef picture;
    FontRef font;
    std::uint32_t colour = 0;
};

struct StateLooks {
    enum { NORMAL = 0, PRESSED = 1, HIGHLIGHTED = 2, DISABLED = 3 };
    StateLook looks[4];
};

// The same key names a picture, a font and a colour of the control's node; a missing part
// takes the fallback's (or nothing, and black).
StateLook build_state_look(Control& control, const std::u16string& key, const StateLook* fallback);
// prefix + "Normal", "Pressed", "Highlighted", "Disabled"; the last three fall back to Normal.
StateLooks build_state_looks(Control& control, const std::u16string& prefix);

// Exact names; false, with the value left as it was, for any other text.
bool parse_halignment(const std::u16string& text, int& value);
bool parse_valignment(const std::u16string& text, int& value);
bool parse_button_action(const std::u16string& text, int& value);

enum ButtonAction : int {
    ACTION_NOTHING = 0, ACTION_CAPTION = 1, ACTION_BUTTON_CLOSE = 10, ACTION_BUTTON_SYSMENU = 13,
    ACTION_BUTTON_OK = 14, ACTION_BUTTON_NO_MENU = 17,
};

class ControlButtonBase : public Control {
public:
    ControlButtonBase(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlButtonBase() override;

    bool on_command(const std::u16string& command) override;
    bool can_focus() override;
    void on_focus_lost(Control* next) override;
    void on_shown_changed(bool shown) override;
    void on_active_changed(bool active) override;
    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    bool hit_test(Point point) override;
    void on_stylus_move(Point point, unsigned flags) override;
    void on_stylus_down(Point point, unsigned flags) override;
    void on_stylus_up(Point point, unsigned flags) override;
    bool on_keydown(int key) override;
    bool on_keyup(int key) override;
    void load_properties() override;

    virtual void set_text(const std::u16string& text);
    virtual void click(const ButtonEvent& event);
    virtual bool reserved_button_slot() { return false; }
    virtual const StateLooks& get_looks() const { return looks_; }

    // The soft-key press of the form.
    void set_pressed(bool pressed);
    // A click as if tapped at the centre, when enabled.
    void activate();

    bool is_pressed() const { return stylus_pressed_ || key_pressed_ || soft_pressed_; }
    const std::u16string& get_text() const { return text_; }
    int get_action() const { return action_; }
    int get_halignment() const { return halignment_; }
    int get_valignment() const { return valignment_; }
    Point get_border_min() const { return border_min_; }
    Point get_border_max() const { return border_max_; }
    ControlButtonImpl* get_impl() const { return impl_.get(); }
    // The look in force: Disabled, Pressed, Highlighted or Normal.
    const StateLook& get_current_look() const;

protected:
    void load_button_properties();
    void set_impl(std::unique_ptr<ControlButtonImpl> impl) { impl_ = std::move(impl); }

private:
    bool is_painted() const { return impl_ && impl_->is_painted(); }

    Point border_min_;
    Point border_max_;
    std::unique_ptr<ControlButtonImpl> impl_;
    int action_ = ACTION_NOTHING;
    StateLooks looks_;
    int halignment_ = 1;
    int valignment_ = 1;
    bool stylus_pressed_ = false;
    bool key_pressed_ = false;
    bool soft_pressed_ = false;
    std::u16string text_;
};

// The plain button: its platform implementation follows its action.
class ControlButton : public ControlButtonBase {
public:
    ControlButton(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    void load_properties() override;

private:
    void make_impl();
};

}  // namespace skinner
