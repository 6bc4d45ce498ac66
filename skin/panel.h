// A control that holds a whole inner container of controls, so that a group of controls is
// placed, shown, hidden, painted and fed with input as one.
#pragma once

#include <memory>
#include <string>

#include "skin/container.h"
#include "skin/control.h"

namespace skinner {

class ControlPanel : public Control {
public:
    // The inner container reads the form named by "FormTemplate", when there is one.
    ControlPanel(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlPanel() override;

    void on_focus_gained() override;
    void on_focus_lost(Control* next) override;
    void on_shown_changed(bool shown) override;
    void on_active_changed(bool active) override;
    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    bool hit_test(Point point) override;
    void on_stylus_move(Point point, unsigned flags) override;
    void on_stylus_down(Point point, unsigned flags) override;
    void on_stylus_up(Point point, unsigned flags) override;
    void on_button2_down(Point point, unsigned flags) override;
    void on_button2_up(Point point, unsigned flags) override;
    void on_button3_down(Point point, unsigned flags) override;
    void on_button3_up(Point point, unsigned flags) override;
    void on_hover_leave(Control* now_hovered) override;
    bool on_char(const std::u16string& text, unsigned flags) override;
    bool on_keydown(int key) override;
    bool on_keyup(int key) override;
    void on_timer_message(UINT_PTR id, WPARAM word) override;
    void set_rect(Point position, Size size) override;
    Container* get_panel_container() override { return inner_.get(); }

    const PictureRef& get_background() const { return background_; }

protected:
    void paint_background(Canvas& canvas);

private:
    std::unique_ptr<Container> inner_;
    PictureRef background_;
};

}  // namespace skinner
