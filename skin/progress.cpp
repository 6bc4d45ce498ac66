#include "skin/progress.h"

#include <algorithm>
#include <cmath>

namespace skinner {

namespace {

double clamp_fraction(double fraction) {
    if (std::isnan(fraction)) return 0.0;
    return std::clamp(fraction, 0.0, 1.0);
}

// Integer differences divided as doubles; a zero divisor gives 0.
double ratio(int numerator, int denominator) {
    if (denominator == 0) return 0.0;
    return clamp_fraction(static_cast<double>(numerator) / static_cast<double>(denominator));
}

int scaled_length(int length, double fraction) { return static_cast<int>(static_cast<double>(length) * fraction); }

void draw(const PictureRef& picture, Canvas& canvas, Point position, Size size) {
    picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
}

}  // namespace

ControlProgressBase::ControlProgressBase(Container* container, const std::u16string& name, int lookup_mode)
    : Control(container, name, lookup_mode) {
    load_progress_base_properties();
}

ControlProgressBase::~ControlProgressBase() = default;

void ControlProgressBase::load_progress_base_properties() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    background_ = get_picture_property(u"Background", background_);
    track_ = get_picture_property(u"Track", track_);
    track_disabled_ = get_picture_property(u"TrackDisabled", track_disabled_);
}

void ControlProgressBase::load_properties() {
    load_control_properties();
    load_progress_base_properties();
}

void ControlProgressBase::on_stylus_down(Point point, unsigned flags) {
    if (flags != 0) return;
    dragging_ = true;
    notify_value_changed(position_to_fraction(point));
}

void ControlProgressBase::on_stylus_move(Point point, unsigned) {
    if (dragging_) notify_value_changed(position_to_fraction(point));
}

void ControlProgressBase::on_stylus_up(Point, unsigned) { dragging_ = false; }

void ControlProgressBase::notify_value_changed(double fraction) { on_value_changed(this, fraction); }

void ControlProgressBase::notify_progress_changed() { on_progress_changed(this); }

void ControlProgressBase::set_progress(double fraction) {
    double const clamped = clamp_fraction(fraction);
    if (clamped == fraction_) return;
    fraction_ = clamped;
    notify_progress_changed();
    repaint();
}

void ControlProgressBase::set_progress_in_range(double minimum, double maximum, double value) {
    set_progress(maximum > minimum ? (value - minimum) / (maximum - minimum) : 0.0);
}

ControlProgress::ControlProgress(Container* container, const std::u16string& name, int lookup_mode)
    : ControlProgressBase(container, name, lookup_mode) {
    load_progress_properties();
}

ControlProgress::~ControlProgress() = default;

void ControlProgress::load_progress_properties() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    orientation_ = get_integer_property(u"Orientation", orientation_);
    progress_ = get_picture_property(u"Progress", progress_);
    track_size_ = get_scaled_integer_property(u"TrackSize", track_size_);
}

void ControlProgress::load_properties() {
    ControlProgressBase::load_properties();
    load_progress_properties();
}

double ControlProgress::position_to_fraction(Point point) {
    Point const p = get_position();
    Size const s = get_rect_size();
    int const t = track_size_;
    switch (orientation_) {
        case TOP_DOWN: return ratio(point.y - t / 2 - p.y, s.height - t);
        case RIGHT_TO_LEFT: return ratio(s.width - t / 2 - point.x + p.x, s.width - t);
        case BOTTOM_UP: return ratio(s.height - t / 2 - point.y + p.y, s.height - t);
        case LEFT_TO_RIGHT: return ratio(point.x - t / 2 - p.x, s.width - t);
        default: return 0.0;
    }
}

ControlProgress::Rect ControlProgress::filled_part(int orientation, double f) const {
    Point const p = get_position();
    Size const s = get_rect_size();
    int const t = track_size_;
    switch (orientation) {
        case TOP_DOWN: return {p, {s.width, scaled_length(s.height - t, f)}};
        case RIGHT_TO_LEFT:
            return {{p.x + scaled_length(s.width - t, 1.0 - f), p.y}, {scaled_length(s.width - t, f), s.height}};
        case BOTTOM_UP:
            return {{p.x, p.y + scaled_length(s.height - t, 1.0 - f)}, {s.width, scaled_length(s.height - t, f)}};
        default: return {p, {scaled_length(s.width - t, f), s.height}};
    }
}

ControlProgress::Rect ControlProgress::handle_rect(double f) const {
    Point const p = get_position();
    Size const s = get_rect_size();
    Rect const filled = filled_part(orientation_, f);
    switch (orientation_) {
        case TOP_DOWN: return {{p.x, p.y + filled.size.height}, {s.width, track_size_}};
        case RIGHT_TO_LEFT: return {filled.position, {track_size_, s.height}};
        case BOTTOM_UP: return {filled.position, {s.width, track_size_}};
        default: return {{p.x + filled.size.width, p.y}, {track_size_, s.height}};
    }
}

void ControlProgress::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    paint_bar(canvas);
    paint_handle(canvas);
    Control::paint(canvas, clip_position, clip_size);
}

void ControlProgress::paint_bar(Canvas& canvas) {
    Point const p = get_position();
    Size const s = get_rect_size();
    double const f = get_progress();
    if (!has_known_orientation()) {
        draw(get_background(), canvas, p, s);
    } else if (orientation_ == BOTTOM_UP || orientation_ == RIGHT_TO_LEFT) {
        // The bar fills from the far end: progress everywhere, background over what is left.
        draw(progress_, canvas, p, s);
        Rect const rest = filled_part(orientation_ == BOTTOM_UP ? TOP_DOWN : LEFT_TO_RIGHT, 1.0 - f);
        draw(get_background(), canvas, rest.position, rest.size);
    } else {
        draw(get_background(), canvas, p, s);
        Rect const filled = filled_part(orientation_, f);
        draw(progress_, canvas, filled.position, filled.size);
    }
}

void ControlProgress::paint_handle(Canvas& canvas) {
    if (!has_known_orientation()) return;
    Rect const handle = handle_rect(get_progress());
    draw(get_handle_picture(), canvas, handle.position, handle.size);
}

}  // namespace skinner
