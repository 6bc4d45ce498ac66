// A control that holds a whole inner container of controls, laid out from a form of the skin
// ("FormTemplate"), so that a group of controls is placed, shown, hidden and moved as one.
// Stylus, keys and timer ticks that reach the panel go on to its inner container.
#pragma once

#include <memory>
#include <string>

#include "skin/container.h"
#include "skin/control.h"

namespace skinner {

class ControlPanel : public Control {
public:
    // The inner container reads the form named by "FormTemplate"; without one, the panel's
    // own node: the form of the panel's name (or the panel's kind). The given properties, or
    // the parent's when null, serve the inner container.
    ControlPanel(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME,
                 Properties* skin = nullptr);
    ~ControlPanel() override;

    // A child that takes the focus makes the panel the focused control of its own container.
    void on_focus_changed() override;
    bool reserved_28(WPARAM first, LPARAM second) override;
    void on_focus_gained() override;
    void on_focus_lost(Control* next) override;
    void on_shown_changed(bool shown) override;
    bool get_gestures(Point point) override;
    void on_active_changed(bool active) override;
    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    // A child under the point, else the panel's rectangle less its see-through pixels.
    bool hit_test(Point point) override;
    void on_stylus_move(Point point, unsigned flags) override;
    void on_stylus_down(Point point, unsigned flags) override;
    void on_stylus_up(Point point, unsigned flags) override;
    void on_button2_down(Point point, unsigned flags) override;
    void on_button2_up(Point point, unsigned flags) override;
    void on_button3_down(Point point, unsigned flags) override;
    void on_button3_up(Point point, unsigned flags) override;
    bool on_char(const std::u16string& text, unsigned flags) override;
    bool on_keydown(int key) override;
    bool on_keyup(int key) override;
    void on_timer_message(UINT_PTR id, WPARAM word) override;
    void set_rect(Point position, Size size) override;
    Size get_size() override;
    void load_properties() override;
    Container* get_panel_container() override { return inner_.get(); }

    // For panels that lay their children out themselves: moves the panel and its inner
    // container without a layout of the children.
    void set_rect_only(Point position, Size size);

    const std::u16string& get_template_name() const { return template_name_; }
    const PictureRef& get_background() const { return background_; }
    // The union size of the children, from the panel's position.
    Size get_content_extent() const;

private:
    std::u16string inner_form_name();
    void load_background();

    std::u16string template_name_;
    std::unique_ptr<Container> inner_;
    PictureRef background_;
};

}  // namespace skinner
