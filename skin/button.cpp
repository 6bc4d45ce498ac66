#include "skin/button.h"

#include <array>
#include <utility>

#include "skin/container.h"
#include "skin/form.h"

namespace skinner {

namespace {

template <std::size_t N>
bool parse_name(const std::array<const char16_t*, N>& names, const std::u16string& text, int& value) {
    for (std::size_t index = 0; index < N; ++index) {
        if (text == names[index]) {
            value = static_cast<int>(index);
            return true;
        }
    }
    return false;
}

}  // namespace

bool parse_halignment(const std::u16string& text, int& value) {
    return parse_name(std::array<const char16_t*, 3>{u"LEFT", u"CENTER", u"RIGHT"}, text, value);
}

bool parse_valignment(const std::u16string& text, int& value) {
    return parse_name(std::array<const char16_t*, 3>{u"TOP", u"VCENTER", u"BOTTOM"}, text, value);
}

bool parse_button_action(const std::u16string& text, int& value) {
    static const std::array<const char16_t*, 18> names = {
        u"NOTHING", u"CAPTION", u"BORDER_LEFT", u"BORDER_RIGHT", u"BORDER_BOTTOM", u"BORDER_TOP",
        u"CORNER_BOTTOM_LEFT", u"CORNER_BOTTOM_RIGHT", u"CORNER_TOP_LEFT", u"CORNER_TOP_RIGHT", u"BUTTON_CLOSE",
        u"BUTTON_MINIMIZE", u"BUTTON_MAXIMIZE", u"BUTTON_SYSMENU", u"BUTTON_OK", u"BUTTON_CANCEL", u"BUTTON_YES",
        u"BUTTON_NO_MENU"};
    return parse_name(names, text, value);
}

StateLook build_state_look(Control& control, const std::u16string& key, const StateLook* fallback) {
    StateLook look;
    look.picture = control.get_picture_property(key, fallback ? fallback->picture : PictureRef());
    look.font = control.get_font_property(key, fallback ? fallback->font : FontRef());
    look.colour = control.get_color_property(key, fallback ? fallback->colour : 0);
    return look;
}

StateLooks build_state_looks(Control& control, const std::u16string& prefix) {
    StateLooks result;
    auto& looks = result.looks;
    looks[StateLooks::NORMAL] = build_state_look(control, prefix + u"Normal", nullptr);
    looks[StateLooks::PRESSED] = build_state_look(control, prefix + u"Pressed", &looks[StateLooks::NORMAL]);
    looks[StateLooks::HIGHLIGHTED] = build_state_look(control, prefix + u"Highlighted", &looks[StateLooks::NORMAL]);
    looks[StateLooks::DISABLED] = build_state_look(control, prefix + u"Disabled", &looks[StateLooks::NORMAL]);
    return result;
}

ControlButtonBase::ControlButtonBase(Container* container, const std::u16string& name, int lookup_mode)
    : Control(container, name, lookup_mode) {
    load_button_properties();
}

ControlButtonBase::~ControlButtonBase() = default;

void ControlButtonBase::load_button_properties() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    border_min_ = get_point_property(u"BorderMin", {});
    border_max_ = get_point_property(u"BorderMax", border_min_);
    looks_ = build_state_looks(*this, u"");
    text_ = get_string_property(u"Text", text_);
    halignment_ = 1;
    valignment_ = 1;
    parse_halignment(get_string_property(u"HAlignment", u""), halignment_);
    parse_valignment(get_string_property(u"VAlignment", u""), valignment_);
    parse_button_action(get_string_property(u"Action", u""), action_);
}

void ControlButtonBase::load_properties() {
    load_control_properties();
    load_button_properties();
}

const StateLook& ControlButtonBase::get_current_look() const {
    auto const& looks = get_looks().looks;
    if (!is_enabled()) return looks[StateLooks::DISABLED];
    if (is_pressed()) return looks[StateLooks::PRESSED];
    if (is_hovered()) return looks[StateLooks::HIGHLIGHTED];
    return looks[StateLooks::NORMAL];
}

void ControlButtonBase::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    if (!is_painted()) return;
    StateLook const& look = get_current_look();
    Point const p = get_position();
    Size const s = get_rect_size();
    look.picture.draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
    Control::paint(canvas, clip_position, clip_size);
    POINT const text_position{p.x + border_min_.x, p.y + border_min_.y};
    POINT const text_size{s.width - border_min_.x - border_max_.x, s.height - border_min_.y - border_max_.y};
    COLORREF const colour = look.colour & 0xFFFFFF;
    look.font.draw_text(canvas, colour, text_, text_position, text_size, halignment_, valignment_);
}

bool ControlButtonBase::hit_test(Point point) {
    if (!is_painted() || !Control::hit_test(point)) return false;
    StateLook const& look = get_current_look();
    if (!look.picture.get_picture()) return true;
    Point const p = get_position();
    Size const s = get_rect_size();
    return !look.picture.is_transparent_at(POINT{point.x, point.y}, POINT{p.x, p.y}, POINT{s.width, s.height});
}

void ControlButtonBase::on_stylus_down(Point point, unsigned flags) {
    stylus_pressed_ = true;
    repaint();
    if (impl_) impl_->on_stylus_down(point, flags);
}

void ControlButtonBase::on_stylus_move(Point point, unsigned flags) {
    if (impl_) impl_->on_stylus_move(point, flags);
}

void ControlButtonBase::on_stylus_up(Point point, unsigned flags) {
    bool const was = is_pressed();
    stylus_pressed_ = false;
    if (impl_) impl_->on_stylus_up(point, flags);
    repaint();
    if (was && !key_pressed_ && !soft_pressed_ && hit_test(point) && is_enabled()) click({flags, point});
}

bool ControlButtonBase::on_keydown(int key) {
    if (key != action_key_code) return false;
    key_pressed_ = true;
    repaint();
    return true;
}

bool ControlButtonBase::on_keyup(int key) {
    if (key != action_key_code) return false;
    bool const was = is_pressed();
    key_pressed_ = false;
    repaint();
    if (was && !stylus_pressed_ && !soft_pressed_) activate();
    return true;
}

void ControlButtonBase::set_pressed(bool pressed) {
    bool const was = is_pressed();
    soft_pressed_ = pressed;
    repaint();
    if (was && !is_pressed()) activate();
}

void ControlButtonBase::on_focus_lost(Control*) {
    key_pressed_ = false;
    repaint();
}

void ControlButtonBase::activate() {
    if (!is_enabled()) return;
    Point const p = get_position();
    Size const s = get_rect_size();
    click({0, {p.x + s.width / 2, p.y + s.height / 2}});
}

void ControlButtonBase::click(const ButtonEvent& event) {
    if (impl_) impl_->on_click(event);
    on_click(this);
}

bool ControlButtonBase::on_command(const std::u16string& command) {
    if (command != get_name()) return false;
    activate();
    return true;
}

bool ControlButtonBase::can_focus() { return Control::can_focus() && impl_ && impl_->is_focusable(); }

void ControlButtonBase::on_shown_changed(bool shown) {
    if (impl_) impl_->on_shown_changed(shown);
}

void ControlButtonBase::on_active_changed(bool active) {
    if (impl_) impl_->on_active_changed(active);
}

void ControlButtonBase::set_text(const std::u16string& text) {
    if (text == text_) return;
    text_ = text;
    if (impl_) impl_->set_text(text);
    repaint();
}

ControlButton::ControlButton(Container* container, const std::u16string& name, int lookup_mode)
    : ControlButtonBase(container, name, lookup_mode) {
    make_impl();
}

void ControlButton::load_properties() {
    ControlButtonBase::load_properties();
    make_impl();
}

void ControlButton::make_impl() {
    set_impl(nullptr);
    set_impl(create_button_impl(this));
    set_want_focus(get_want_focus());
}

}  // namespace skinner
