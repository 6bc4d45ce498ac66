#include "skin/panel.h"

#include <algorithm>

#include "skin/properties.h"

namespace skinner {

ControlPanel::ControlPanel(Container* container, const std::u16string& name, int lookup_mode, Properties* skin)
    : Control(container, name, lookup_mode) {
    if (lookup_mode != LOOKUP_NONE) template_name_ = get_string_property(u"FormTemplate", u"");
    Properties* const properties = skin ? skin : &container->get_properties();
    int const inner_mode = template_name_.empty() ? lookup_mode : LOOKUP_BY_NAME;
    inner_ = std::make_unique<Container>(container->get_form(), properties, inner_form_name(), inner_mode, this);
    load_background();
    update_rect();
    inner_->set_rect(get_position(), get_rect_size());
    inner_->create_auto_controls();
}

ControlPanel::~ControlPanel() = default;

std::u16string ControlPanel::inner_form_name() {
    if (!template_name_.empty()) return template_name_;
    if (get_lookup_mode() == LOOKUP_BY_KIND) return get_kind_name();
    if (get_lookup_mode() == LOOKUP_NONE) return u"";
    // The panel's own form, when the skin has one; else nothing is read.
    PropertiesImpl& skin = get_properties().get_skin();
    return skin.is_valid() && skin.select_form(get_name()) != 0 ? get_name() : u"";
}

void ControlPanel::load_background() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    background_ = get_picture_property(u"Background", background_);
    if (!template_name_.empty()) background_ = inner_->get_form_picture(u"Background", background_);
}

void ControlPanel::load_properties() {
    load_control_properties();
    if (get_lookup_mode() != LOOKUP_NONE) template_name_ = get_string_property(u"FormTemplate", u"");
    if (inner_->get_lookup_mode() != LOOKUP_BY_KIND) inner_->set_form_name(inner_form_name());
    inner_->refresh_skin();
    load_background();
}

void ControlPanel::on_focus_changed() { set_focus(); }

bool ControlPanel::reserved_28(WPARAM first, LPARAM second) { return inner_->forward_reserved_28(first, second); }

void ControlPanel::on_focus_gained() {
    repaint();
    inner_->set_has_focus(true);
}

void ControlPanel::on_focus_lost(Control*) {
    repaint();
    inner_->set_has_focus(false);
}

void ControlPanel::on_shown_changed(bool shown) { inner_->set_shown(shown); }

bool ControlPanel::get_gestures(Point point) { return inner_->get_gestures_at(point); }

void ControlPanel::on_active_changed(bool active) { inner_->set_active(active); }

void ControlPanel::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    Point const p = get_position();
    Size const s = get_rect_size();
    background_.draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
    inner_->paint_controls(canvas, clip_position, clip_size);
    Control::paint(canvas, clip_position, clip_size);
}

bool ControlPanel::hit_test(Point point) {
    if (inner_->contains_control_at(point)) return true;
    if (!Control::hit_test(point)) return false;
    if (!background_.get_picture()) return true;
    Point const p = get_position();
    Size const s = get_rect_size();
    return !background_.is_transparent_at(POINT{point.x, point.y}, POINT{p.x, p.y}, POINT{s.width, s.height});
}

void ControlPanel::on_stylus_move(Point point, unsigned flags) { inner_->on_stylus_move(point, flags); }
void ControlPanel::on_stylus_down(Point point, unsigned flags) { inner_->on_stylus_down(point, flags); }
void ControlPanel::on_stylus_up(Point point, unsigned flags) { inner_->on_stylus_up(point, flags); }
void ControlPanel::on_button2_down(Point point, unsigned flags) { inner_->on_button2_down(point, flags); }
void ControlPanel::on_button2_up(Point point, unsigned flags) { inner_->on_button2_up(point, flags); }
void ControlPanel::on_button3_down(Point point, unsigned flags) { inner_->on_button3_down(point, flags); }
void ControlPanel::on_button3_up(Point point, unsigned flags) { inner_->on_button3_up(point, flags); }

bool ControlPanel::on_char(const std::u16string& text, unsigned flags) { return inner_->on_char(text, flags); }
bool ControlPanel::on_keydown(int key) { return inner_->on_keydown(key); }
bool ControlPanel::on_keyup(int key) { return inner_->on_keyup(key); }

void ControlPanel::on_timer_message(UINT_PTR id, WPARAM word) {
    Control::on_timer_message(id, word);
    inner_->on_timer_broadcast(id);
}

void ControlPanel::set_rect(Point position, Size size) {
    Control::set_rect(position, size);
    // Called by the base constructor's registration too, before the inner container exists.
    if (inner_) inner_->set_rect(position, size);
}

void ControlPanel::set_rect_only(Point position, Size size) {
    Control::set_rect(position, size);
    inner_->set_rect_quiet(position, size);
}

Size ControlPanel::get_content_extent() const {
    Point const p = get_position();
    Size extent;
    for (Control* child : inner_->get_controls()) {
        // A hidden control takes no room: the scroll bars that are not needed wait just
        // outside the client, and counting them made a list want more than its own size.
        if (!child->get_own_visible()) continue;
        Point const cp = child->get_position();
        Size const cs = child->get_rect_size();
        extent.width = std::max(extent.width, cp.x + cs.width - p.x);
        extent.height = std::max(extent.height, cp.y + cs.height - p.y);
    }
    return extent;
}

Size ControlPanel::get_size() {
    Size const own = Control::get_size();
    Size const extent = get_content_extent();
    return {std::max(own.width, extent.width), std::max(own.height, extent.height)};
}

}  // namespace skinner
