// The time display of the main form: the elapsed or the remaining time of what plays or
// records, on a segment display, with lamps that tell whether it reads hours and minutes or
// minutes and seconds, and which of the two times it shows. Its look and the places of its
// parts come from the panel's skin form ("lcdClock", "chkMode", "chkHours", "chkMinutes").
#pragma once

#include <memory>
#include <string>

#include "skin/check_box.h"
#include "skin/lcd.h"
#include "skin/panel.h"

namespace screens {

class ControlClock : public skinner::ControlPanel {
public:
    ControlClock(skinner::Container* container, const std::u16string& name,
                 int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ControlClock() override;

    // Stores both times (seconds) and shows the one the mode names.
    void set_time(double elapsed, double remaining);
    // True while the elapsed time is shown.
    bool get_mode() const { return !mode_->is_checked(); }
    // Shows the stored times again at once when the mode changes.
    void set_mode(bool show_elapsed);

    const std::u16string& get_text() const { return lcd_->get_text(); }
    bool shows_hours() const { return hours_->is_checked(); }
    bool shows_minutes() const { return minutes_->is_checked(); }

private:
    void show_time();

    // Destroyed in the reverse order: the lamps, then the display.
    std::unique_ptr<skinner::ControlLCD> lcd_;
    std::unique_ptr<skinner::ControlCheckBox> mode_;
    std::unique_ptr<skinner::ControlCheckBox> hours_;
    std::unique_ptr<skinner::ControlCheckBox> minutes_;
    double elapsed_ = 0.0;
    double remaining_ = 0.0;
};

}  // namespace screens
