#include "skin/panel_auto_scroll.h"

namespace skinner {

namespace {

std::unique_ptr<ControlScrollBar> make_bar(ControlPanel& panel, const std::u16string& kind_key) {
    std::u16string const kind =
        panel.get_lookup_mode() == LOOKUP_NONE ? std::u16string() : panel.get_string_property(kind_key, u"");
    auto bar = std::make_unique<ControlScrollBar>(panel.get_panel_container(), kind, LOOKUP_BY_KIND);
    bar->set_want_focus(false);
    return bar;
}

}  // namespace

ControlPanelAutoScroll::ControlPanelAutoScroll(Container* container, const std::u16string& name, int lookup_mode)
    : ControlPanel(container, name, lookup_mode),
      vertical_(make_bar(*this, u"KindScroll")),
      horizontal_(make_bar(*this, u"KindHScroll")) {
    read_keys();
}

ControlPanelAutoScroll::~ControlPanelAutoScroll() = default;

void ControlPanelAutoScroll::read_keys() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    scroll_width_ = get_scaled_integer_property(u"ScrollWidth", 0);
    scroll_height_ = get_scaled_integer_property(u"ScrollHeight", scroll_width_);
    border_min_ = get_point_property(u"BorderMin", {});
    border_max_ = get_point_property(u"BorderMax", border_min_);
    scroll_border_min_ = get_point_property(u"ScrollBorderMin", {});
    scroll_border_max_ = get_point_property(u"ScrollBorderMax", scroll_border_min_);
}

void ControlPanelAutoScroll::load_properties() {
    ControlPanel::load_properties();
    read_keys();
}

void ControlPanelAutoScroll::layout_content(Control* content, Size content_size) {
    Point const p = get_position();
    Size const s = get_rect_size();
    client_position_ = {p.x + border_min_.x, p.y + border_min_.y};
    client_size_ = {s.width - border_min_.x - border_max_.x, s.height - border_min_.y - border_max_.y};
    int const vertical_room = scroll_border_min_.x + scroll_border_max_.x + scroll_width_;
    int const horizontal_room = scroll_border_min_.y + scroll_border_max_.y + scroll_height_;
    vertical_needed_ = content_size.height > client_size_.height;
    if (vertical_needed_) client_size_.width -= vertical_room;
    horizontal_needed_ = content_size.width > client_size_.width;
    if (horizontal_needed_) client_size_.height -= horizontal_room;
    if (!vertical_needed_ && content_size.height > client_size_.height) {
        vertical_needed_ = true;
        client_size_.width -= vertical_room;
    }
    if (content) content->set_rect(client_position_, client_size_);
    vertical_->set_visible(vertical_needed_);
    horizontal_->set_visible(horizontal_needed_);
    place_scroll_bars();
}

void ControlPanelAutoScroll::place_scroll_bars() {
    int const right = client_position_.x + client_size_.width;
    int const bottom = client_position_.y + client_size_.height;
    vertical_->set_rect({right + scroll_border_min_.x, client_position_.y + scroll_border_min_.y},
                        {scroll_width_, client_size_.height - scroll_border_min_.y - scroll_border_max_.y});
    horizontal_->set_rect({client_position_.x + scroll_border_min_.x, bottom + scroll_border_min_.y},
                          {client_size_.width - scroll_border_min_.x - scroll_border_max_.x, scroll_height_});
}

}  // namespace skinner
