#include "skin/control.h"

#include <array>
#include <utility>

#include "platform/cursors.h"
#include "skin/container.h"
#include "skin/form.h"
#include "skin/form_impl.h"
#include "skin/properties.h"

namespace skinner {

namespace {

// The system cursors a skin may name, by their platform ids.
HCURSOR cursor_from_name(const std::u16string& name) {
    static const std::array<std::pair<const char16_t*, unsigned>, 12> names = {{
        {u"ARROW", 32512}, {u"IBEAM", 32513}, {u"WAIT", 32514}, {u"SIZENWSE", 32642}, {u"SIZENESW", 32643},
        {u"SIZEWE", 32644}, {u"SIZENS", 32645}, {u"SIZEALL", 32646}, {u"NO", 32648}, {u"HAND", 32649},
        {u"APPSTARTING", 32650}, {u"HELP", 32651},
    }};
    for (auto const& [text, id] : names) {
        if (name == text) return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id)));
    }
    return nullptr;
}

const std::u16string no_name;

}  // namespace

Anchor parse_anchor(const std::u16string& text) {
    static const std::array<const char16_t*, 5> names = {u"MIN_SIDE", u"BOTH_SIDE", u"MAX_SIDE", u"RATIO", u"CENTER"};
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (text == names[index]) return static_cast<Anchor>(index);
    }
    return MIN_SIDE;
}

Control::Control(Container* container, const std::u16string& name, int lookup_mode)
    : lookup_mode_(lookup_mode), container_(container) {
    if (lookup_mode_ == LOOKUP_BY_KIND) {
        kind_name_ = name;
    } else {
        name_ = name;
    }
    load_control_properties();
    container_->register_control(this);
}

Control::~Control() { container_->unregister_control(this); }

void Control::on_click(Control* sender) { container_->on_click(sender); }
void Control::on_item_click(Control* sender, Cell cell) { container_->on_item_click(sender, cell); }
void Control::on_item_context(Control* sender, Cell item) { container_->on_item_context(sender, item); }
void Control::on_inplace_edit_done(Control* grid, const EditRecord& record) {
    container_->on_inplace_edit_done(grid, record);
}
void Control::on_notify_11(WPARAM first, LPARAM second) { container_->on_notify_11(first, second); }
void Control::on_scroll(Control* scroll_bar, int position) { container_->on_scroll(scroll_bar, position); }
bool Control::on_command(const std::u16string& command) { return container_->on_command(command); }
void Control::on_value_changed(Control* sender, double value) { container_->on_value_changed(sender, value); }
void Control::on_progress_changed(Control* sender) { container_->on_progress_changed(sender); }
void Control::on_text_changed(Control* sender) { container_->on_text_changed(sender); }
void Control::on_header_click(Control* grid, const HeaderEvent& event) { container_->on_header_click(grid, event); }
void Control::on_header_context(Control* grid, const HeaderEvent& event) {
    container_->on_header_context(grid, event);
}
void Control::on_selection_changed(Control* sender) { container_->on_selection_changed(sender); }
void Control::on_highlight_changed(Control* sender) { container_->on_highlight_changed(sender); }
void Control::on_menu_create(MenuItemInfo& menu) { container_->on_menu_create(menu); }
void Control::on_combo_changed(Control* combo) { container_->on_combo_changed(combo); }

void Control::set_z_order(int z_order) {
    z_order_ = z_order;
    container_->sort_controls();
}

void Control::set_want_focus(bool want) {
    want_focus_ = want;
    if (!can_focus() && container_->get_focused() == this) container_->move_focus(true);
}

void Control::paint(Canvas& canvas, Point, Size) {
    if (container_->is_focused(this)) {
        focus_picture_.draw(canvas, POINT{position_.x, position_.y}, POINT{size_.width, size_.height});
    }
}

bool Control::hit_test(Point point) {
    return point.x >= position_.x && point.y >= position_.y && point.x < position_.x + size_.width &&
           point.y < position_.y + size_.height;
}

void Control::on_timer_message(UINT_PTR id, WPARAM word) {
    if (id != 0 && id == timer_id_) on_timer(id, word);
}

void Control::set_rect(Point position, Size size) {
    if (position == position_ && size == size_) return;
    repaint();
    position_ = position;
    size_ = size;
    repaint();
}

Form* Control::get_form() const { return container_->get_form(); }
Properties& Control::get_properties() const { return container_->get_properties(); }

const std::u16string& Control::lookup_form() const {
    return lookup_mode_ == LOOKUP_BY_KIND ? no_name : container_->get_form_name();
}

const std::u16string& Control::lookup_control() const {
    return lookup_mode_ == LOOKUP_BY_KIND ? kind_name_ : name_;
}

std::uint32_t Control::get_color_property(const std::u16string& name, std::uint32_t default_value) {
    return get_properties().get_color(lookup_form(), lookup_control(), name, default_value);
}

std::u16string Control::get_string_property(const std::u16string& name, const std::u16string& default_value) {
    return get_properties().get_string(lookup_form(), lookup_control(), name, default_value);
}

std::int32_t Control::get_scaled_integer_property(const std::u16string& name, std::int32_t default_value) {
    return get_properties().get_scaled_integer(lookup_form(), lookup_control(), name, default_value);
}

std::int32_t Control::get_integer_property(const std::u16string& name, std::int32_t default_value) {
    return get_properties().get_integer(lookup_form(), lookup_control(), name, default_value);
}

Point Control::get_point_property(const std::u16string& name, Point default_value) {
    return get_properties().get_point(lookup_form(), lookup_control(), name, default_value);
}

HCURSOR Control::get_cursor_property(const std::u16string& name, HCURSOR default_value) {
    std::u16string const text = get_properties().get_cursor_name(lookup_form(), lookup_control(), name, u"");
    if (text.empty()) return default_value;
    return cursor_from_name(text);
}

PictureRef Control::get_picture_property(const std::u16string& name, const PictureRef& default_value) {
    return get_properties().get_picture(lookup_form(), lookup_control(), name, default_value);
}

FontRef Control::get_font_property(const std::u16string& name, const FontRef& default_value) {
    return get_properties().get_font(lookup_form(), lookup_control(), name, default_value);
}

std::u16string Control::translate(const std::u16string& key) const { return get_properties().translate(key); }

std::u16string Control::translate(const std::u16string& key, const std::u16string& default_text) const {
    return get_properties().translate(key, default_text);
}

void Control::set_focus() {
    container_->set_focus(this);
    container_->on_focus_changed();
}

bool Control::has_focus() const { return container_->is_focused(this); }
bool Control::is_hovered() const { return container_->get_hovered() == this; }
bool Control::is_visible() const { return visible_ && container_->is_shown(); }
bool Control::is_enabled() const { return enabled_ && container_->is_active(); }

void Control::set_visible(bool visible) {
    bool const was_shown = is_visible();
    visible_ = visible;
    bool const now_shown = is_visible();
    if (was_shown != now_shown) {
        on_shown_changed(now_shown);
        get_form()->invalidate_rect(position_, size_);
    }
    if (!visible && container_->get_focused() == this) container_->move_focus(true);
    if (visible_ && enabled_ && can_focus() && container_->get_focused() == nullptr) container_->set_focus(this);
}

void Control::set_enabled(bool enabled) {
    bool const was_enabled = is_enabled();
    enabled_ = enabled;
    bool const now_enabled = is_enabled();
    if (was_enabled != now_enabled) {
        on_active_changed(now_enabled);
        repaint();
    }
    if (!enabled && container_->get_focused() == this) container_->move_focus(true);
}

void Control::notify_shown() {
    if (visible_) on_shown_changed(container_->is_shown());
}

void Control::notify_active() {
    if (!enabled_) return;
    on_active_changed(container_->is_active());
    repaint();
}

void Control::repaint() {
    if (is_visible()) get_form()->invalidate_rect(position_, size_);
}

void Control::start_timer(double seconds) {
    if (timer_id_ != 0) get_form()->kill_timer(timer_id_);
    timer_id_ = get_form()->set_timer(seconds);
}

void Control::stop_timer() {
    if (timer_id_ == 0) return;
    get_form()->kill_timer(timer_id_);
    timer_id_ = 0;
}

bool Control::is_key_down(int key) const { return skinner::is_key_down(key); }

void Control::load_control_properties() {
    if (lookup_mode_ == LOOKUP_NONE) return;
    cursor_ = get_cursor_property(u"Cursor", nullptr);
    anchor_x_ = parse_anchor(get_string_property(u"AnchorX", u""));
    anchor_y_ = parse_anchor(get_string_property(u"AnchorY", u""));
    focus_picture_ = get_picture_property(u"Focus", PictureRef());
    tab_order_ = get_integer_property(u"TabOrder", 0);
    Point const position = get_point_property(u"Position", {});
    design_position_ = position;
    Point const size = get_point_property(u"Size", {});
    design_size_ = {size.x, size.y};
    set_visible(get_integer_property(u"Visible", visible_) != 0);
    set_enabled(get_integer_property(u"Enabled", enabled_) != 0);
    gestures_ = get_integer_property(u"Gestures", gestures_) != 0;
    z_order_ = get_integer_property(u"ZOrder", z_order_);
    set_want_focus(get_integer_property(u"WantFocus", want_focus_) != 0);
}

}  // namespace skinner
