#include "screens/control_clock.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "app/text_utils.h"

namespace screens {

namespace {

// Truncated toward zero; NaN counts as 0 and values beyond 32 bits are pinned.
std::int32_t whole_seconds(double seconds) {
    if (std::isnan(seconds)) return 0;
    double const low = std::numeric_limits<std::int32_t>::min();
    double const high = std::numeric_limits<std::int32_t>::max();
    if (seconds <= low) return std::numeric_limits<std::int32_t>::min();
    if (seconds >= high) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(seconds);
}

}  // namespace

ControlClock::ControlClock(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : skinner::ControlPanel(container, name, lookup_mode),
      lcd_(std::make_unique<skinner::ControlLCD>(get_panel_container(), u"lcdClock")),
      mode_(std::make_unique<skinner::ControlCheckBox>(get_panel_container(), u"chkMode")),
      hours_(std::make_unique<skinner::ControlCheckBox>(get_panel_container(), u"chkHours")),
      minutes_(std::make_unique<skinner::ControlCheckBox>(get_panel_container(), u"chkMinutes")) {
    // Indicators only: the user cannot toggle them.
    mode_->set_enabled(false);
    hours_->set_enabled(false);
    minutes_->set_enabled(false);
}

ControlClock::~ControlClock() = default;

void ControlClock::set_time(double elapsed, double remaining) {
    elapsed_ = elapsed;
    remaining_ = remaining;
    show_time();
}

void ControlClock::set_mode(bool show_elapsed) {
    if (show_elapsed == get_mode()) return;
    mode_->set_checked(!show_elapsed);
    show_time();
}

void ControlClock::show_time() {
    std::int32_t const t = whole_seconds(mode_->is_checked() ? remaining_ : elapsed_);
    std::int32_t const hours = t / 3600;
    std::int32_t const minutes = (t - 3600 * hours) / 60;
    std::int32_t const seconds = t - 60 * (t / 60);
    hours_->set_checked(hours != 0);
    minutes_->set_checked(hours == 0 && (minutes != 0 || seconds != 0));
    lcd_->set_text(hours != 0 ? two_digit_text(hours) + u":" + two_digit_text(minutes)
                              : two_digit_text(minutes) + u":" + two_digit_text(seconds));
}

}  // namespace screens
