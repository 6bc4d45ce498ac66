// Bar-shaped controls that show a fraction and let the stylus point at a new one. The bar
// never moves its own value while the user drags: it reports the pointed fraction to its
// listener, which decides and calls set_progress.
#pragma once

#include <string>

#include "skin/control.h"

namespace skinner {

class ControlProgressBase : public Control {
public:
    ControlProgressBase(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlProgressBase() override;

    void on_stylus_move(Point point, unsigned flags) override;
    // A double tap (flags non-zero) starts nothing.
    void on_stylus_down(Point point, unsigned flags) override;
    void on_stylus_up(Point point, unsigned flags) override;
    void load_properties() override;

    virtual void notify_value_changed(double fraction);
    virtual void notify_progress_changed();
    // The fraction, within 0 to 1, that a stylus point stands for.
    virtual double position_to_fraction(Point point) = 0;

    // Clamped to 0..1 (NaN counts as 0); raises on_progress_changed and repaints only when
    // the stored fraction changes.
    void set_progress(double fraction);
    // (value - minimum) / (maximum - minimum), or 0 when maximum <= minimum.
    void set_progress_in_range(double minimum, double maximum, double value);
    double get_progress() const { return fraction_; }
    bool is_dragging() const { return dragging_; }

protected:
    const PictureRef& get_background() const { return background_; }
    // The handle's picture for the enabled state.
    const PictureRef& get_handle_picture() const { return is_enabled() ? track_ : track_disabled_; }

private:
    void load_progress_base_properties();

    PictureRef background_;
    PictureRef track_;
    PictureRef track_disabled_;
    double fraction_ = 0.0;
    bool dragging_ = false;
};

// The plain bar: background, the progress picture over the filled part and the handle just
// past it, in one of four orientations.
class ControlProgress : public ControlProgressBase {
public:
    enum Orientation : int { TOP_DOWN = 0, RIGHT_TO_LEFT = 1, BOTTOM_UP = 2, LEFT_TO_RIGHT = 3 };

    ControlProgress(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlProgress() override;

    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    void load_properties() override;
    double position_to_fraction(Point point) override;

    int get_orientation() const { return orientation_; }
    int get_track_size() const { return track_size_; }

    struct Rect {
        Point position;
        Size size;
        bool operator==(const Rect&) const = default;
    };
    // The part of the bar the progress picture covers for the fraction in the orientation.
    Rect filled_part(int orientation, double fraction) const;
    // Where the handle stands for the fraction.
    Rect handle_rect(double fraction) const;

protected:
    // The two halves of paint, for bars that draw between them: the background and the
    // progress picture, then the handle.
    void paint_bar(Canvas& canvas);
    void paint_handle(Canvas& canvas);
    const PictureRef& get_progress_picture() const { return progress_; }
    bool has_known_orientation() const { return orientation_ >= TOP_DOWN && orientation_ <= LEFT_TO_RIGHT; }

private:
    void load_progress_properties();

    PictureRef progress_;
    int orientation_ = LEFT_TO_RIGHT;
    int track_size_ = 0;
};

}  // namespace skinner
