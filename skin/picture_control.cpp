#include "skin/picture_control.h"

#include <algorithm>

namespace skinner {

namespace {

int aligned(int origin, int room, int drawn, int alignment) {
    if (alignment == 0) return origin;
    if (alignment == 2) return origin + room - drawn;
    return origin + (room - drawn) / 2;
}

}  // namespace

Size scale_size(Size size, double factor) {
    return {static_cast<int>(static_cast<double>(size.width) * factor),
            static_cast<int>(static_cast<double>(size.height) * factor)};
}

ControlPicture::ControlPicture(Container* container, const std::u16string& name, int lookup_mode)
    : ControlButton(container, name, lookup_mode) {
    set_want_focus(false);
    load_picture_properties();
}

ControlPicture::~ControlPicture() = default;

void ControlPicture::load_picture_properties() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    parse_halignment(get_string_property(u"PictureHAlignment", u""), halignment_);
    parse_valignment(get_string_property(u"PictureVAlignment", u""), valignment_);
    picture_ = get_picture_property(u"Picture", picture_);
}

void ControlPicture::load_properties() {
    ControlButton::load_properties();
    halignment_ = 1;
    valignment_ = 1;
    load_picture_properties();
}

void ControlPicture::set_picture(const PictureRef& picture) {
    picture_ = picture;
    repaint();
}

ControlPicture::Placement ControlPicture::placement() const {
    POINT const picture_size = picture_.get_size();
    Size const own{picture_size.x, picture_size.y};
    if (own.width <= 0 || own.height <= 0) return {};
    Point const p = get_position();
    Size const s = get_rect_size();
    double const sx = own.width > s.width ? static_cast<double>(s.width) / own.width : 1.0;
    double const sy = own.height > s.height ? static_cast<double>(s.height) / own.height : 1.0;
    Size const drawn = scale_size(own, std::min(sx, sy));
    return {{aligned(p.x, s.width, drawn.width, halignment_), aligned(p.y, s.height, drawn.height, valignment_)},
            drawn};
}

void ControlPicture::paint(Canvas& canvas, Point, Size) {
    Placement const where = placement();
    if (where.size.width <= 0 || where.size.height <= 0) return;
    picture_.draw(canvas, POINT{where.position.x, where.position.y}, POINT{where.size.width, where.size.height});
}

}  // namespace skinner
