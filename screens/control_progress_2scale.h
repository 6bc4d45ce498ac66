// A progress bar that shows a second fraction over the first (the level meters: the level,
// and the threshold over it), with the picture "Progress2".
#pragma once

#include <string>

#include "skin/progress.h"

namespace screens {

class ControlProgress2Scale : public skinner::ControlProgress {
public:
    ControlProgress2Scale(skinner::Container* container, const std::u16string& name,
                          int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ControlProgress2Scale() override;

    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
    void load_properties() override;

    // Only stores it: the owner sets it before the first fraction, whose change repaints.
    void set_second_value(double fraction) { second_ = fraction; }
    double get_second_value() const { return second_; }

private:
    void load_second_picture();

    double second_ = 0.0;
    skinner::PictureRef progress2_;
};

}  // namespace screens
