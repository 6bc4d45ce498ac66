#include "screens/control_speed.h"

#include <cmath>

namespace screens {

namespace {

// Far above any playback speed; keeps the conversion to an integer defined.
constexpr double largest_shown_speed = 1e6;

std::u16string decimal(int value) {
    std::string const text = std::to_string(value);
    return {text.begin(), text.end()};
}

}  // namespace

std::u16string format_speed_text(double speed) {
    double v = speed + 0.05;
    if (!(v >= 0.0)) v = 0.0;  // negative or NaN
    if (v > largest_shown_speed) v = largest_shown_speed;
    int const whole = static_cast<int>(v);
    int const tenth = static_cast<int>((v - whole) * 10.0);
    return u"x" + decimal(whole) + u"." + decimal(tenth);
}

ControlSpeed::ControlSpeed(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : skinner::Control(container, name, lookup_mode) {
    load_skin();
    set_speed(0.0);
}

ControlSpeed::~ControlSpeed() = default;

void ControlSpeed::load_properties() {
    load_control_properties();
    load_skin();
}

void ControlSpeed::load_skin() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    font_ = get_font_property(u"Normal", font_);
    normal_colour_ = get_color_property(u"Normal", normal_colour_);
    highlighted_colour_ = get_color_property(u"Highlighted", highlighted_colour_);
    choose_colour();
}

void ControlSpeed::choose_colour() { text_colour_ = speed_ == 1.0 ? normal_colour_ : highlighted_colour_; }

void ControlSpeed::set_speed(double speed) {
    if (speed == speed_) return;
    speed_ = speed;
    text_ = format_speed_text(speed);
    choose_colour();
    repaint();
}

void ControlSpeed::paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) {
    skinner::Point const p = get_position();
    skinner::Size const s = get_rect_size();
    font_.draw_text(canvas, text_colour_ & 0xFFFFFF, text_, POINT{p.x, p.y}, POINT{s.width, s.height}, 1, 1);
    skinner::Control::paint(canvas, clip_position, clip_size);
}

}  // namespace screens
