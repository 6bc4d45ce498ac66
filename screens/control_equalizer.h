// The graphic editor of the equalizer: a grid in which every band is a marker that the
// stylus drags. Across, a band's centre frequency on a logarithmic scale (one cell per
// octave after a first, linear cell that ends at "FrequencyBase" Hz); up and down, its gain
// (top: the maximum boost, bottom: the maximum cut); two side handles set its width. The
// summed response of the bands is drawn as a curve. A finished drag is reported as a click.
//
// Skin keys: "Line" and "Grid" (colours), "CellWidth", "FirstCellWidth" (scaled),
// "FrequencyBase"; per band NAME: "NAMEIcon", "NAMEHandle" (pictures) and "NAMEColor".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/frame.h"

namespace screens {

class ControlEqualizer : public skinner::ControlFrame {
public:
    static constexpr double maximum_gain = 20.0;
    // The base taken when the skin gives none, or none above 0.
    static constexpr int default_frequency_base = 1000;

    class Band {
    public:
        enum DragMode : int { NO_DRAG = 0, LEFT_HANDLE = 1, RIGHT_HANDLE = 2, WHOLE_BAND = 3 };

        // width is 0 to 1, half of what the callers of the control pass.
        Band(ControlEqualizer* owner, const std::u16string& name, double frequency, double gain, double width);

        // Pictures and colour from the owner's skin node; the half-width limits from the handle.
        void load_skin();
        // Stores the point as the drag start; the drag mode for what the point is on.
        bool hit_test(POINT point);
        void drag(POINT point);
        void paint(skinner::Canvas& canvas) const;

        int half_width() const;
        // How far the band's bump reaches either side of its centre.
        int reach() const;
        POINT position() const;

        const std::u16string& name() const { return name_; }
        double frequency = 0.0;
        double gain = 0.0;
        double width = 0.0;
        int drag_mode = NO_DRAG;

    private:
        ControlEqualizer* owner_;
        std::u16string name_;
        skinner::PictureRef icon_;
        skinner::PictureRef handle_;
        std::uint32_t colour_ = 0;
        POINT drag_start_{};
        int minimum_half_width_ = 0;
        int maximum_half_width_ = 0;
    };

    ControlEqualizer(skinner::Container* container, const std::u16string& name,
                     int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ControlEqualizer() override;

    // Replaces a band of that name; width is 0 to 2.
    void set_band(const std::u16string& name, double frequency, double gain, double width);
    bool remove_band(const std::u16string& name);
    // 0 for a band that does not exist.
    double get_band_frequency(const std::u16string& name) const;
    double get_band_gain(const std::u16string& name) const;
    double get_band_width(const std::u16string& name) const;

    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
    bool hit_test(skinner::Point point) override { return skinner::Control::hit_test(point); }
    void on_stylus_move(skinner::Point point, unsigned flags) override;
    void on_stylus_down(skinner::Point point, unsigned flags) override;
    void on_stylus_up(skinner::Point point, unsigned flags) override;
    void load_properties() override;

    // The scales, relative to the control's top left corner.
    double x_to_frequency(int x) const;
    double y_to_gain(int y) const;
    int frequency_to_x(double frequency) const;
    int gain_to_y(double gain) const;
    // The curve's height at each column, from the left edge.
    std::vector<int> response_curve() const;

    const std::vector<Band>& get_bands() const { return bands_; }
    const Band* find_band(const std::u16string& name) const;
    int get_dragged_band() const { return dragged_; }
    int get_frequency_base() const { return frequency_base_; }
    int get_cell_width() const { return cell_width_; }
    int get_first_cell_width() const { return first_cell_width_; }

private:
    void load_skin();
    void paint_grid(skinner::Canvas& canvas) const;
    void paint_curve(skinner::Canvas& canvas) const;

    std::vector<Band> bands_;
    int dragged_ = -1;
    std::uint32_t line_colour_ = 0;
    std::uint32_t grid_colour_ = 0;
    int cell_width_ = 10;
    int first_cell_width_ = 5;
    int frequency_base_ = default_frequency_base;
};

}  // namespace screens
