// A blinking lamp: the "On" and "Off" pictures take turns every half second while it is
// switched on; "Off" shows while it is off. The phase comes from a clock started with the
// control, so every lamp of a form blinks in step and switching on never restarts a blink.
#pragma once

#include <functional>
#include <string>

#include "skin/control.h"

namespace screens {

class ControlFlash : public skinner::Control {
public:
    // Seconds since the lamp was made; tests hand their own.
    using ElapsedClock = std::function<double()>;

    ControlFlash(skinner::Container* container, const std::u16string& name,
                 int lookup_mode = skinner::LOOKUP_BY_NAME, ElapsedClock clock = {});
    ~ControlFlash() override;

    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
    void load_properties() override;
    // Every tick repaints, on or off.
    void on_timer(UINT_PTR id, WPARAM word) override;
    void on_focus_gained() override { repaint(); }
    void on_focus_lost(skinner::Control*) override { repaint(); }

    // Takes effect at the next tick.
    void set_flashing(bool flashing) { flashing_ = flashing; }
    bool is_flashing() const { return flashing_; }
    // Whether a paint now shows the "On" picture.
    bool is_lit() const;

    static constexpr double period_seconds = 0.5;

private:
    void load_pictures();

    skinner::PictureRef on_;
    skinner::PictureRef off_;
    bool flashing_ = false;
    ElapsedClock clock_;
};

}  // namespace screens
