#include "skin/scroll_bar.h"

#include <algorithm>
#include <cmath>

namespace skinner {

namespace {

const char16_t* const part_kind_keys[5] = {u"KindMin", u"KindMax", u"KindSpace", u"KindSpace", u"KindTrack"};

}  // namespace

ControlScrollBar::Button::Button(ControlScrollBar* bar, Container* container, const std::u16string& kind, int part)
    : ControlButton(container, kind, LOOKUP_BY_KIND), bar_(bar), part_(part) {
    set_want_focus(false);
}

void ControlScrollBar::Button::on_stylus_down(Point point, unsigned flags) {
    if (repeat_period_ != 0) {
        repeat_countdown_ = 5;
        start_timer(repeat_period_);
    }
    Point const origin = get_position();
    press_offset_ = {point.x - origin.x, point.y - origin.y};
    dragging_ = true;
    bar_->press_part(part_);
    ControlButton::on_stylus_down(point, flags);
}

void ControlScrollBar::Button::on_timer(UINT_PTR, WPARAM) {
    if (!is_pressed()) return;
    --repeat_countdown_;
    if (repeat_countdown_ < 0 && is_enabled()) bar_->press_part(part_);
}

void ControlScrollBar::Button::on_stylus_move(Point point, unsigned flags) {
    if (dragging_ && part_ == PART_THUMB) {
        Point const bar_origin = bar_->Control::get_position();
        int const start = bar_->is_vertical() ? point.y - press_offset_.y - bar_origin.y
                                              : point.x - press_offset_.x - bar_origin.x;
        bar_->drag_thumb_to(start);
    }
    ControlButton::on_stylus_move(point, flags);
}

void ControlScrollBar::Button::on_stylus_up(Point point, unsigned flags) {
    stop_timer();
    dragging_ = false;
    ControlButton::on_stylus_up(point, flags);
}

ControlScrollBar::ControlScrollBar(Container* container, const std::u16string& name, int lookup_mode)
    : ControlPanel(container, name, lookup_mode) {
    for (int part = 0; part < 5; ++part) {
        std::u16string const kind =
            lookup_mode == LOOKUP_NONE ? std::u16string() : get_string_property(part_kind_keys[part], u"");
        parts_[part] = std::make_unique<Button>(this, get_panel_container(), kind, part);
    }
    read_keys();
    set_position(position_, true);
    update_rect();
}

ControlScrollBar::~ControlScrollBar() = default;

void ControlScrollBar::read_keys() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    vertical_ = get_integer_property(u"Vertical", 0) != 0;
    min_button_size_ = get_scaled_integer_property(u"MinButtonSize", 0);
    max_button_size_ = get_scaled_integer_property(u"MaxButtonSize", 0);
    min_ = get_integer_property(u"Min", min_);
    max_ = get_integer_property(u"Max", max_);
    page_ = get_integer_property(u"Page", page_);
}

void ControlScrollBar::load_properties() {
    ControlPanel::load_properties();
    read_keys();
    set_position(position_, true);
}

void ControlScrollBar::set_position(int value, bool forced) {
    max_ = std::max(max_, min_);
    page_ = std::max(std::min(page_, max_ - min_), 0);
    value = std::min(std::max(value, min_), max_ - page_);
    if (value != position_) {
        position_ = value;
        notify_scroll(position_);
        set_rect(Control::get_position(), get_rect_size());
    } else if (forced) {
        set_rect(Control::get_position(), get_rect_size());
    }
}

void ControlScrollBar::set_range(int min, int max) {
    if (min == min_ && max == max_) return;
    min_ = min;
    max_ = max;
    set_position(position_, true);
    repaint();
}

void ControlScrollBar::set_page(int page) {
    if (page == page_) return;
    page_ = page;
    set_position(position_, true);
}

void ControlScrollBar::notify_scroll(int position) { on_scroll(this, position); }

void ControlScrollBar::press_part(int part) {
    switch (part) {
    case PART_MIN: set_position(position_ - step_); break;
    case PART_MAX: set_position(position_ + step_); break;
    case PART_SPACE_BEFORE: set_position(position_ - page_); break;
    case PART_SPACE_AFTER: set_position(position_ + page_); break;
    default: break;
    }
}

int ControlScrollBar::length() const {
    Size const size = get_rect_size();
    return vertical_ ? size.height : size.width;
}

int ControlScrollBar::thumb_min_length() const {
    POINT const least = parts_[PART_THUMB]->get_current_look().picture.get_min_size();
    return vertical_ ? least.y : least.x;
}

void ControlScrollBar::drag_thumb_to(int start) {
    int const free = length() - min_button_size_ - max_button_size_ - thumb_min_length();
    double fraction = free == 0 ? 0.0 : static_cast<double>(start - min_button_size_) / free;
    fraction = std::clamp(fraction, 0.0, 1.0);
    set_position(min_ + static_cast<int>(std::trunc((static_cast<double>(max_) - min_) * fraction)));
}

void ControlScrollBar::set_rect(Point position, Size size) {
    ControlPanel::set_rect(position, size);
    if (!parts_[PART_THUMB]) return;
    if ((vertical_ ? size.height : size.width) < 1) return;
    double const span = static_cast<double>(max_) - min_;
    double const fraction = span == 0 ? 0.0 : (position_ - min_) / span;
    double const page = span == 0 ? 1.0 : page_ / span;
    int const total = vertical_ ? size.height : size.width;
    int const breadth = vertical_ ? size.width : size.height;
    int const m = min_button_size_;
    int const big_m = max_button_size_;
    int const free = std::max(0, total - big_m - thumb_min_length() - m);
    int const thumb_start = m + static_cast<int>(std::trunc(free * fraction));
    int const after = std::max(0, static_cast<int>(std::trunc((1 - fraction - page) * free)));
    int const after_start = total - big_m - after;
    auto const place = [&](int part, int from, int to) {
        int const run = std::max(0, to - from);
        if (vertical_) {
            parts_[part]->set_rect({position.x, position.y + from}, {breadth, run});
        } else {
            parts_[part]->set_rect({position.x + from, position.y}, {run, breadth});
        }
    };
    place(PART_MIN, 0, m);
    place(PART_MAX, total - big_m, total);
    place(PART_SPACE_BEFORE, m, thumb_start);
    place(PART_THUMB, thumb_start, after_start);
    place(PART_SPACE_AFTER, after_start, total - big_m);
}

}  // namespace skinner
