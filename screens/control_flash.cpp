#include "screens/control_flash.h"

#include <cmath>
#include <memory>

#include "foundation/stopwatch.h"

namespace screens {

namespace {

ControlFlash::ElapsedClock stopwatch_clock() {
    auto const stopwatch = std::make_shared<os::Stopwatch>();
    return [stopwatch] { return stopwatch->elapsed(); };
}

}  // namespace

ControlFlash::ControlFlash(skinner::Container* container, const std::u16string& name, int lookup_mode,
                           ElapsedClock clock)
    : skinner::Control(container, name, lookup_mode), clock_(clock ? std::move(clock) : stopwatch_clock()) {
    start_timer(period_seconds);
    load_pictures();
}

ControlFlash::~ControlFlash() = default;

void ControlFlash::load_properties() {
    load_control_properties();
    load_pictures();
}

void ControlFlash::load_pictures() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    on_ = get_picture_property(u"On", on_);
    off_ = get_picture_property(u"Off", off_);
}

void ControlFlash::on_timer(UINT_PTR, WPARAM) { repaint(); }

bool ControlFlash::is_lit() const {
    if (!flashing_) return false;
    double const periods = clock_() / period_seconds;
    if (!(periods >= 0.0)) return false;
    return std::fmod(std::floor(periods), 2.0) == 1.0;
}

void ControlFlash::paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) {
    skinner::Point const p = get_position();
    skinner::Size const s = get_rect_size();
    (is_lit() ? on_ : off_).draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
    skinner::Control::paint(canvas, clip_position, clip_size);
}

}  // namespace screens
