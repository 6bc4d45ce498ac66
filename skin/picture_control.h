// One picture inside the control's rectangle, shrunk to fit when larger (never enlarged,
// proportions kept) and placed by "PictureHAlignment" and "PictureVAlignment". A button
// underneath that paints only its picture and never takes the focus.
#pragma once

#include <string>

#include "skin/button.h"

namespace skinner {

// Each of width and height times the factor, truncated.
Size scale_size(Size size, double factor);

class ControlPicture : public ControlButton {
public:
    ControlPicture(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlPicture() override;

    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    void load_properties() override;

    void set_picture(const PictureRef& picture);

    struct Placement {
        Point position;
        Size size;
        bool operator==(const Placement&) const = default;
    };
    // Where the picture is drawn; an empty size when it draws nothing.
    Placement placement() const;

    const PictureRef& get_picture() const { return picture_; }
    int get_picture_halignment() const { return halignment_; }
    int get_picture_valignment() const { return valignment_; }

private:
    void load_picture_properties();

    PictureRef picture_;
    int halignment_ = 1;
    int valignment_ = 1;
};

}  // namespace skinner
