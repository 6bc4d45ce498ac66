// The playback speed as a text ("x1.0"), in one colour at normal speed and in another at
// any other speed.
#pragma once

#include <cstdint>
#include <string>

#include "skin/control.h"

namespace screens {

// "x" followed by the speed rounded to one decimal: 1.25 gives "x1.3", 0.75 "x0.8".
std::u16string format_speed_text(double speed);

class ControlSpeed : public skinner::Control {
public:
    ControlSpeed(skinner::Container* container, const std::u16string& name,
                 int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ControlSpeed() override;

    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
    void load_properties() override;

    // Nothing when the speed is the one shown; else shows the new one and repaints.
    void set_speed(double speed);

    double get_speed() const { return speed_; }
    const std::u16string& get_text() const { return text_; }
    // The colour the text is drawn in (red | green << 8 | blue << 16).
    std::uint32_t get_text_colour() const { return text_colour_; }

private:
    void load_skin();
    void choose_colour();

    double speed_ = 0.0;
    std::u16string text_;
    skinner::FontRef font_;
    std::uint32_t normal_colour_ = 0;
    std::uint32_t highlighted_colour_ = 0;
    std::uint32_t text_colour_ = 0;
};

}  // namespace screens
