// The item's background: the start screen's wallpaper behind the item window.
#pragma once

#include "skin/control.h"

namespace todayplugin {

class TodayPainter : public skinner::Control {
public:
    explicit TodayPainter(skinner::Container* form);
    ~TodayPainter() override;

    // Asks the start screen (the form window's parent) to draw its wallpaper into the canvas.
    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
};

}  // namespace todayplugin
