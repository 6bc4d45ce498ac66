#include "skin/container.h"

#include <algorithm>

#include "foundation/log.h"
#include "platform/cursors.h"
#include "skin/auto_control.h"
#include "skin/control.h"
#include "skin/form.h"
#include "skin/form_impl.h"
#include "skin/properties.h"

namespace skinner {

namespace {

// Where a control lies on one axis after its container went from the design extent to the
// new one; integer divisions truncate toward zero.
int anchor_coordinate(Anchor mode, int origin, int extent, int design, int position, int length) {
    switch (mode) {
    case MAX_SIDE: return origin + position + extent - design;
    case RATIO: return design == 0 ? origin + position : origin + extent * position / design;
    case CENTER: {
        if (design == 0) return origin + position;
        int const half = length / 2;
        return origin + (position + half) * extent / design - half;
    }
    default: return origin + position;
    }
}

int anchor_length(Anchor mode, int extent, int design, int position, int length) {
    if (mode == BOTH_SIDE) return extent - design + length;
    if (mode == RATIO && design != 0) return (position + length) * extent / design - position * extent / design;
    return length;
}

HCURSOR arrow_cursor() {
    static HCURSOR const arrow = LoadCursorW(nullptr, IDC_ARROW);
    return arrow;
}

}  // namespace

Container::Container(Form* form, Properties* properties, const std::u16string& name, int lookup_mode, Listener* owner)
    : lookup_mode_(lookup_mode), properties_(properties), owner_(owner), form_(form) {
    if (lookup_mode_ == LOOKUP_BY_KIND) {
        kind_name_ = name;
    } else {
        form_name_ = name;
    }
    load_size();
    size_ = design_size_;
}

Container::~Container() { delete_auto_controls(); }

void Container::delete_auto_controls() {
    while (!auto_controls_.empty()) {
        Control* const control = auto_controls_.back();
        auto_controls_.pop_back();
        delete control;
    }
}

void Container::on_click(Control* sender) {
    if (owner_) owner_->on_click(sender);
}
void Container::on_item_click(Control* sender, Cell cell) {
    if (owner_) owner_->on_item_click(sender, cell);
}
void Container::on_item_context(Control* sender, Cell item) {
    if (owner_) owner_->on_item_context(sender, item);
}
void Container::on_inplace_edit_done(Control* grid, const EditRecord& record) {
    if (owner_) owner_->on_inplace_edit_done(grid, record);
}
void Container::on_notify_11(WPARAM first, LPARAM second) {
    if (owner_) owner_->on_notify_11(first, second);
}
void Container::on_scroll(Control* scroll_bar, int position) {
    if (owner_) owner_->on_scroll(scroll_bar, position);
}
bool Container::on_command(const std::u16string& command) { return owner_ && owner_->on_command(command); }
void Container::on_value_changed(Control* sender, double value) {
    if (owner_) owner_->on_value_changed(sender, value);
}
void Container::on_progress_changed(Control* sender) {
    if (owner_) owner_->on_progress_changed(sender);
}
void Container::on_text_changed(Control* sender) {
    if (owner_) owner_->on_text_changed(sender);
}
void Container::on_header_click(Control* grid, const HeaderEvent& event) {
    if (owner_) owner_->on_header_click(grid, event);
}
void Container::on_header_context(Control* grid, const HeaderEvent& event) {
    if (owner_) owner_->on_header_context(grid, event);
}
void Container::on_selection_changed(Control* sender) {
    if (owner_) owner_->on_selection_changed(sender);
}
void Container::on_highlight_changed(Control* sender) {
    if (owner_) owner_->on_highlight_changed(sender);
}
void Container::on_focus_changed() {
    if (owner_) owner_->on_focus_changed();
}
void Container::on_menu_create(MenuItemInfo& menu) {
    if (owner_) owner_->on_menu_create(menu);
}
void Container::on_combo_changed(Control* combo) {
    if (owner_) owner_->on_combo_changed(combo);
}

void Container::register_control(Control* control) {
    if (!control->get_name().empty() && find_control(control->get_name())) {
        os::fatal_error(u"Container::register_control",
                        u"control with id {" + control->get_name() + u"} already exists in container");
    }
    auto const place = std::lower_bound(controls_.begin(), controls_.end(), control, Control::less_z_order);
    controls_.insert(place, control);
    layout_control(control, position_, size_);
}

void Container::unregister_control(Control* control) {
    if (focused_ == control) focused_ = nullptr;
    if (capturing_ == control) {
        capturing_ = nullptr;
        std::fill(std::begin(button_down_), std::end(button_down_), false);
    }
    if (hovered_ == control) hovered_ = nullptr;
    control->stop_timer();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

Control* Container::find_control(const std::u16string& name) const {
    for (Control* control : controls_) {
        if (control->get_name() == name) return control;
    }
    return nullptr;
}

void Container::sort_controls() { std::stable_sort(controls_.begin(), controls_.end(), Control::less_z_order); }

void Container::layout_control(Control* control, Point origin, Size size) {
    Point const p = control->get_design_position();
    Size const s = control->get_design_size();
    Size const d = design_size_;
    int const y = anchor_coordinate(control->get_anchor_y(), origin.y, size.height, d.height, p.y, s.height);
    int const x = anchor_coordinate(control->get_anchor_x(), origin.x, size.width, d.width, p.x, s.width);
    int const height = anchor_length(control->get_anchor_y(), size.height, d.height, p.y, s.height);
    int const width = anchor_length(control->get_anchor_x(), size.width, d.width, p.x, s.width);
    control->set_rect({x, y}, {width, height});
}

void Container::set_rect(Point position, Size size) {
    position_ = position;
    size_ = size;
    std::vector<Control*> const controls = controls_;
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) layout_control(*it, position, size);
}

void Container::set_rect_quiet(Point position, Size size) {
    position_ = position;
    size_ = size;
}

Size Container::get_min_size() {
    Size result = design_size_;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        Control* const control = *it;
        Size const wanted = control->get_size();
        Size const design = control->get_design_size();
        if (control->get_anchor_x() == BOTH_SIDE) {
            result.width = std::max(result.width, design_size_.width - design.width + wanted.width);
        }
        if (control->get_anchor_y() == BOTH_SIDE) {
            result.height = std::max(result.height, design_size_.height - design.height + wanted.height);
        }
    }
    return result;
}

void Container::paint_controls(Canvas& canvas, Point clip_position, Size clip_size) {
    for (Control* control : controls_) {
        if (!control->is_visible()) continue;
        Point const p = control->get_position();
        Size const s = control->get_rect_size();
        bool const overlaps = p.x < clip_position.x + clip_size.width && p.y < clip_position.y + clip_size.height &&
                              p.x + s.width > clip_position.x && p.y + s.height > clip_position.y;
        if (overlaps) control->paint(canvas, clip_position, clip_size);
    }
}

Control* Container::control_at(Point point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->is_visible() && (*it)->hit_test(point)) return *it;
    }
    return nullptr;
}

bool Container::set_hover(Control* control) {
    if (control != hovered_) {
        Control* const old = hovered_;
        hovered_ = control;
        if (old) {
            old->on_hover_leave(control);
            old->repaint();
        }
        if (control) {
            control->on_hover_enter();
            control->repaint();
        }
    }
    HCURSOR const cursor = control ? control->get_cursor() : nullptr;
    SetCursor(cursor ? cursor : arrow_cursor());
    return control != nullptr;
}

void Container::on_stylus_move(Point point, unsigned flags) {
    last_point_ = point;
    if (capturing_) {
        capturing_->on_stylus_move(point, flags);
        return;
    }
    Control* const under = control_at(point);
    if (!under || !under->is_enabled()) {
        set_hover(nullptr);
        return;
    }
    bool const changed = hovered_ != under;
    set_hover(under);
    under->on_stylus_move(point, flags);
    if (changed) under->repaint();
}

void Container::call_down(Control* control, int index, Point point, unsigned flags) {
    switch (index) {
    case 0: control->on_stylus_down(point, flags); break;
    case 1: control->on_button3_down(point, flags); break;
    default: control->on_button2_down(point, flags); break;
    }
}

void Container::call_up(Control* control, int index, Point point, unsigned flags) {
    switch (index) {
    case 0: control->on_stylus_up(point, flags); break;
    case 1: control->on_button3_up(point, flags); break;
    default: control->on_button2_up(point, flags); break;
    }
}

void Container::on_button_down(int index, Point point, unsigned flags) {
    last_point_ = point;
    if (!capturing_) {
        Control* const under = control_at(point);
        if (under && under->is_enabled()) {
            set_hover(under);
            capturing_ = under;
            if (under->can_focus()) set_focus(under);
        } else if (under) {
            set_hover(nullptr);
        }
    }
    if (capturing_) {
        button_down_[index] = true;
        call_down(capturing_, index, point, flags);
    }
}

void Container::on_button_up(int index, Point point, unsigned flags) {
    last_point_ = point;
    if (!capturing_) return;
    Control* const control = capturing_;
    button_down_[index] = false;
    call_up(control, index, point, flags);
    if (!button_down_[0] && !button_down_[1] && !button_down_[2] && capturing_ == control) capturing_ = nullptr;
}

bool Container::take_button_down(int index) {
    bool const was = button_down_[index];
    button_down_[index] = false;
    return was;
}

bool Container::on_stylus_other(Point point, unsigned flags) {
    Control* const target = capturing_ ? capturing_ : control_at(point);
    return target && target->on_stylus_other(point, flags);
}

void Container::release_hover() {
    if (!capturing_) set_hover(nullptr);
}

bool Container::contains_control_at(Point point) const { return control_at(point) != nullptr; }

bool Container::get_gestures_at(Point point) const {
    Control* const under = control_at(point);
    return under && under->get_gestures(point);
}

void Container::set_active(bool active) {
    if (active == active_) return;
    active_ = active;
    if (!active) {
        set_hover(nullptr);
        if (Control* const control = capturing_) {
            for (int index = 0; index < 3; ++index) {
                button_down_[index] = false;
                call_up(control, index, last_point_, 0);
            }
            capturing_ = nullptr;
        }
    }
    std::vector<Control*> const controls = controls_;
    for (Control* control : controls) control->notify_active();
}

void Container::set_shown(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    std::vector<Control*> const controls = controls_;
    for (Control* control : controls) control->notify_shown();
}

void Container::set_focus(Control* control) {
    if (control == focused_) return;
    Control* const old = focused_;
    focused_ = control;
    if (has_focus_ && old) old->on_focus_lost(control);
    if (has_focus_ && control) control->on_focus_gained();
}

bool Container::is_focused(const Control* control) const { return has_focus_ && control == focused_; }

void Container::set_has_focus(bool has_focus) {
    if (has_focus == has_focus_) return;
    has_focus_ = has_focus;
    if (has_focus) {
        if (!focused_) move_focus(true);
        if (focused_) focused_->on_focus_gained();
    } else if (focused_) {
        focused_->on_focus_lost(nullptr);
    }
}

bool Container::move_focus(bool forward) {
    std::vector<Control*> candidates;
    for (Control* control : controls_) {
        if (control->can_focus() && control->is_visible() && control->is_enabled()) candidates.push_back(control);
    }
    if (candidates.empty()) {
        set_focus(nullptr);
        return false;
    }
    std::stable_sort(candidates.begin(), candidates.end(), Control::less_tab_order);
    auto const found = std::find(candidates.begin(), candidates.end(), focused_);
    if (forward) {
        if (found == candidates.end()) {
            set_focus(candidates.front());
            return true;
        }
        if (found + 1 == candidates.end()) {
            set_focus(candidates.front());
            return false;
        }
        set_focus(*(found + 1));
        return true;
    }
    if (found == candidates.begin()) {
        set_focus(candidates.back());
        return false;
    }
    set_focus(*(found - 1));
    return true;
}

bool Container::forward_reserved_28(WPARAM first, LPARAM second) {
    return focused_ && focused_->reserved_28(first, second);
}

bool Container::on_keydown(int key) {
    if (focused_ && focused_->on_keydown(key)) return true;
    if (key == KEY_TAB && !is_key_down(KEY_CONTROL) && !is_key_down(KEY_ALT)) {
        return move_focus(!is_key_down(KEY_SHIFT));
    }
    return false;
}

bool Container::on_char(const std::u16string& text, unsigned flags) {
    return focused_ && focused_->on_char(text, flags);
}

bool Container::on_keyup(int key) { return focused_ && focused_->on_keyup(key); }

void Container::on_timer_broadcast(UINT_PTR id) {
    std::vector<Control*> const controls = controls_;
    for (Control* control : controls) control->on_timer_message(id, 0);
}

void Container::load_size() {
    if (lookup_mode_ == LOOKUP_NONE || form_name_.empty()) return;
    Point size = properties_->get_form_point(form_name_, u"Size", {});
    if (is_smartphone()) size = properties_->get_form_point(form_name_, u"SizeNoButtons", size);
    design_size_ = {size.x, size.y};
}

void Container::create_auto_controls() {
    if (lookup_mode_ == LOOKUP_NONE || form_name_.empty()) return;
    std::uint32_t const count = properties_->get_auto_control_count(form_name_);
    for (std::uint32_t index = 0; index < count; ++index) {
        auto const [name, kind] = properties_->get_auto_control(form_name_, index);
        if (Control* const control = create_auto_control(kind, this, name)) auto_controls_.push_back(control);
    }
}

void Container::refresh_skin() {
    delete_auto_controls();
    load_size();
    create_auto_controls();
    std::vector<Control*> const controls = controls_;
    for (Control* control : controls) control->load_properties();
    sort_controls();
}

std::int32_t Container::get_form_integer(const std::u16string& name, std::int32_t default_value) {
    return properties_->get_form_integer(form_name_, name, default_value);
}

Point Container::get_form_point(const std::u16string& name, Point default_value) {
    return properties_->get_form_point(form_name_, name, default_value);
}

PictureRef Container::get_form_picture(const std::u16string& name, const PictureRef& default_value) {
    return properties_->get_form_picture(form_name_, name, default_value);
}

}  // namespace skinner
