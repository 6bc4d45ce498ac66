#include "screens/control_progress_2scale.h"

#include <algorithm>
#include <cmath>

namespace screens {

namespace {

double clamped(double fraction) { return std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0); }

void draw(const skinner::PictureRef& picture, skinner::Canvas& canvas, const skinner::ControlProgress::Rect& rect) {
    picture.draw(canvas, POINT{rect.position.x, rect.position.y}, POINT{rect.size.width, rect.size.height});
}

}  // namespace

ControlProgress2Scale::ControlProgress2Scale(skinner::Container* container, const std::u16string& name,
                                             int lookup_mode)
    : skinner::ControlProgress(container, name, lookup_mode) {
    load_second_picture();
}

ControlProgress2Scale::~ControlProgress2Scale() = default;

void ControlProgress2Scale::load_properties() {
    skinner::ControlProgress::load_properties();
    load_second_picture();
}

void ControlProgress2Scale::load_second_picture() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    progress2_ = get_picture_property(u"Progress2", progress2_);
}

void ControlProgress2Scale::paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) {
    int const o = get_orientation();
    double const f = get_progress();
    double const f2 = clamped(second_);
    Rect const whole{get_position(), get_rect_size()};
    if (o == BOTTOM_UP || o == RIGHT_TO_LEFT) {
        // Filled from the far end: the pictures go on from the near end, the background last.
        int const near = o == BOTTOM_UP ? TOP_DOWN : LEFT_TO_RIGHT;
        draw(get_progress_picture(), canvas, whole);
        draw(progress2_, canvas, filled_part(near, 1.0 - f2));
        draw(get_background(), canvas, filled_part(near, 1.0 - f));
    } else {
        draw(get_background(), canvas, whole);
        draw(get_progress_picture(), canvas, filled_part(o, f));
        draw(progress2_, canvas, filled_part(o, f2));
    }
    paint_handle(canvas);
    skinner::Control::paint(canvas, clip_position, clip_size);
}

}  // namespace screens
