// A top-level screen: a container whose controls come from one skin form, shown in its own
// window, run modally; placement, the forms disabler, full screen, timers, painting requests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/nocopy.h"
#include "skin/container.h"
#include "skin/font_ref.h"
#include "skin/geometry.h"
#include "skin/picture_ref.h"

namespace skinner {

class ControlButtonBase;
class FormImpl;
class Properties;

// Holds the form window; a base of the form so that the window outlives the container part.
class FormImplHolder : private liba::Nocopy {
protected:
    explicit FormImplHolder(FormImpl* impl) : impl_(impl) {}
    ~FormImplHolder();
    FormImpl* impl_;
};

// The private message that ends the innermost modal loop or message pump.
constexpr UINT WM_END_MODAL = 0x421;

class Form : private FormImplHolder, public Container {
public:
    // Creates its own window (a popup of the owner's when there is an owner), reads its
    // keys, lays itself out and last creates the skin's automatic controls.
    Form(Form* owner, Properties* properties, const std::u16string& form_name, Listener* owner_listener);
    // The same over a form window made elsewhere, which the form then owns.
    Form(Form* owner, FormImpl* impl, Properties* properties, const std::u16string& form_name,
         Listener* owner_listener);
    ~Form() override;

    void set_focus(Control* control) override;
    void refresh_skin() override;
    bool on_keydown(int key) override;
    bool on_keyup(int key) override;
    virtual void layout();
    virtual bool can_close() { return true; }
    // The base raises the form's window; the main screen takes the text as a command line.
    virtual void bring_to_front(const std::u16string& text);
    virtual void on_picture_failed_to_load(const PictureRef& picture);

    // Runs the form modally; returns when it closes.
    void do_modal();
    void close();
    void load_form_properties();
    void register_menu_main(Control* menu);
    void unregister_menu_main(Control* menu);
    // The previous visibility.
    bool set_visible(bool visible);
    Size get_size() const { return get_current_size(); }
    Point get_window_position() const;
    bool is_window_visible() const;
    void invalidate_rect(Point position, Size size);
    void reset_paint();
    UINT_PTR set_timer(double seconds);
    void kill_timer(UINT_PTR id);
    void move_window(Point position, Size size);
    bool get_full_screen() const { return full_screen_; }
    void set_form_full_screen(bool on) { full_screen_ = on; }
    void set_input_panel(bool up);

    FormImpl* get_impl() const { return impl_; }
    HWND get_window() const;
    Form* get_owner() const { return owner_; }
    bool is_modal() const { return modal_; }
    bool is_first_layout() const { return first_layout_; }
    Control* get_menu_main() const { return menu_main_; }
    const PictureRef& get_background() const { return background_; }
    const FontRef& get_font() const { return font_; }
    int get_start_position_x() const { return start_position_x_; }
    int get_start_position_y() const { return start_position_y_; }
    // The two soft-key buttons: the first answers Return, the second Escape.
    ControlButtonBase* get_soft_key(int index) const { return soft_keys_[index]; }
    void set_soft_key(int index, ControlButtonBase* button) { soft_keys_[index] = button; }

    // Every constructed form, in construction order.
    static const std::vector<Form*>& get_forms();
    // The innermost modal form; null outside every modal loop.
    static Form* get_current_modal();

private:
    void construct(const std::u16string& form_name);
    void place_axis(int mode, int pref, int area_origin, int area_extent, int owner_origin, int owner_extent,
                    int design, bool size_held, bool position_held, int& extent, int& origin) const;
    void reactivate();

    FontRef font_;
    bool first_layout_ = true;
    ControlButtonBase* soft_keys_[2] = {nullptr, nullptr};
    bool modal_ = false;
    Form* owner_;
    Control* menu_main_ = nullptr;
    PictureRef background_;
    int start_position_ = 0;
    int start_position_x_ = 0;
    int start_position_y_ = 0;
    bool full_screen_ = false;
};

// While a child form is modal, every other enabled form window that is not a popup is
// disabled; the disabler re-enables exactly those that still exist.
class FormsDisabler : private liba::Nocopy {
public:
    explicit FormsDisabler(Form* form);
    ~FormsDisabler();

private:
    Form* form_;
    std::vector<Form*> disabled_;
};

// The screen's full-screen flag; a change makes every form lay itself out again.
void set_full_screen(bool on);
bool is_full_screen();
// A message box with OK, owned by the form's window.
void message_box(Form* form, const std::u16string& caption, const std::u16string& text);

}  // namespace skinner
