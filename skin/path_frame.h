// A label that shows a folder path: the device root as the language's "MyDevice" text, and a
// path too wide for it with its beginning cut off, so that the end stays visible.
#pragma once

#include <string>

#include "skin/frame.h"

namespace skinner {

class ControlPathFrame : public ControlFrame {
public:
    ControlPathFrame(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlPathFrame() override;

    // The text stays the path (get_text); what is shown is worked out here.
    void layout_text(const std::u16string& text) override;
    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;

private:
    PictureRef folder_picture_;
};

}  // namespace skinner
