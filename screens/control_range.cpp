#include "screens/control_range.h"

#include <algorithm>

namespace screens {

namespace {

// width x (part / total), the fraction clamped to 0..1.
int share_of(int width, std::int64_t part, std::int64_t total) {
    double const fraction = std::clamp(static_cast<double>(part) / static_cast<double>(total), 0.0, 1.0);
    return static_cast<int>(width * fraction);
}

}  // namespace

ControlRange::ControlRange(skinner::Container* container, const std::u16string& name, int lookup_mode,
                           const RangeSelection* selection, std::int64_t total_length)
    : skinner::Control(container, name, lookup_mode), selection_(selection), total_(total_length) {
    load_pictures();
}

ControlRange::~ControlRange() = default;

void ControlRange::load_properties() {
    load_control_properties();
    load_pictures();
}

void ControlRange::load_pictures() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    background_ = get_picture_property(u"Background", background_);
    range_ = get_picture_property(u"Range", range_);
}

void ControlRange::set_total_length(std::int64_t total_length) {
    if (total_length == total_) return;
    total_ = total_length;
    repaint();
}

bool ControlRange::range_rect(const RangeSelection::Range& range, POINT& position, POINT& size) const {
    if (total_ <= 0) return false;
    skinner::Point const p = get_position();
    skinner::Size const s = get_rect_size();
    int const x1 = share_of(s.width, range.position, total_);
    int const x2 = share_of(s.width, range.length, total_) + 1;
    position = {p.x + x1, p.y};
    size = {std::min(x2, s.width), s.height};
    return true;
}

void ControlRange::paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) {
    skinner::Point const p = get_position();
    skinner::Size const s = get_rect_size();
    background_.draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
    if (selection_ != nullptr) {
        // A range that starts late and runs long would reach past the strip's end.
        canvas.push_clip(POINT{p.x, p.y}, POINT{s.width, s.height});
        for (auto const& range : selection_->get_selected_ranges()) {
            POINT position, size;
            if (range_rect(range, position, size)) range_.draw(canvas, position, size);
        }
        canvas.pop_clip();
    }
    skinner::Control::paint(canvas, clip_position, clip_size);
}

}  // namespace screens
