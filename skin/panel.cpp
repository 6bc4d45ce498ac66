#include "skin/panel.h"

namespace skinner {

ControlPanel::ControlPanel(Container* container, const std::u16string& name, int lookup_mode)
    : Control(container, name, lookup_mode) {
    std::u16string const template_name =
        lookup_mode == LOOKUP_NONE ? std::u16string() : get_string_property(u"FormTemplate", u"");
    inner_ = std::make_unique<Container>(get_form(), &get_properties(), template_name,
                                         template_name.empty() ? LOOKUP_NONE : LOOKUP_BY_NAME, this);
    if (lookup_mode != LOOKUP_NONE) background_ = get_picture_property(u"Background", background_);
    inner_->set_rect_quiet(get_position(), get_rect_size());
    inner_->create_auto_controls();
}

ControlPanel::~ControlPanel() = default;

void ControlPanel::on_focus_gained() {
    repaint();
    inner_->set_has_focus(true);
}

void ControlPanel::on_focus_lost(Control*) {
    repaint();
    inner_->set_has_focus(false);
}

void ControlPanel::on_shown_changed(bool shown) { inner_->set_shown(shown); }
void ControlPanel::on_active_changed(bool active) { inner_->set_active(active); }

void ControlPanel::paint_background(Canvas& canvas) {
    Point const p = get_position();
    Size const s = get_rect_size();
    background_.draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
}

void ControlPanel::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    paint_background(canvas);
    inner_->paint_controls(canvas, clip_position, clip_size);
    Control::paint(canvas, clip_position, clip_size);
}

bool ControlPanel::hit_test(Point point) {
    if (inner_->contains_control_at(point)) return true;
    if (!Control::hit_test(point)) return false;
    Point const p = get_position();
    Size const s = get_rect_size();
    return background_.is_empty() ||
           !background_.is_transparent_at(POINT{point.x, point.y}, POINT{p.x, p.y}, POINT{s.width, s.height});
}

void ControlPanel::on_stylus_move(Point point, unsigned flags) { inner_->on_stylus_move(point, flags); }
void ControlPanel::on_stylus_down(Point point, unsigned flags) { inner_->on_button_down(0, point, flags); }
void ControlPanel::on_stylus_up(Point point, unsigned flags) { inner_->on_button_up(0, point, flags); }
void ControlPanel::on_button2_down(Point point, unsigned flags) { inner_->on_button_down(2, point, flags); }
void ControlPanel::on_button2_up(Point point, unsigned flags) { inner_->on_button_up(2, point, flags); }
void ControlPanel::on_button3_down(Point point, unsigned flags) { inner_->on_button_down(1, point, flags); }
void ControlPanel::on_button3_up(Point point, unsigned flags) { inner_->on_button_up(1, point, flags); }
void ControlPanel::on_hover_leave(Control*) { inner_->release_hover(); }

bool ControlPanel::on_char(const std::u16string& text, unsigned flags) { return inner_->on_char(text, flags); }
bool ControlPanel::on_keydown(int key) { return inner_->on_keydown(key); }
bool ControlPanel::on_keyup(int key) { return inner_->on_keyup(key); }

void ControlPanel::on_timer_message(UINT_PTR id, WPARAM word) {
    Control::on_timer_message(id, word);
    inner_->on_timer_broadcast(id);
}

void ControlPanel::set_rect(Point position, Size size) {
    Control::set_rect(position, size);
    inner_->set_rect(position, size);
}

}  // namespace skinner
