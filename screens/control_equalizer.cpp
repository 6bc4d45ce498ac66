#include "screens/control_equalizer.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi.h"

namespace screens {

namespace {

// Far beyond any screen; keeps conversions of huge or infinite values to int defined.
constexpr double pixel_limit = 1e6;

int to_pixels(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<int>(std::clamp(value, -pixel_limit, pixel_limit));
}

double clamp_unit(double value, double low) { return std::isnan(value) ? 0.0 : std::clamp(value, low, 1.0); }

// A box of the picture's size centred on the point: left and top edges in, right and bottom out.
bool in_box(POINT point, POINT size, POINT centre) {
    int const left = centre.x - size.x / 2;
    int const top = centre.y - size.y / 2;
    return point.x >= left && point.x < left + size.x && point.y >= top && point.y < top + size.y;
}

COLORREF colour_of(std::uint32_t colour) { return colour & 0xFFFFFF; }

}  // namespace

ControlEqualizer::Band::Band(ControlEqualizer* owner, const std::u16string& name, double frequency, double gain,
                             double width)
    : frequency(frequency), gain(gain), width(width), owner_(owner), name_(name) {
    load_skin();
}

void ControlEqualizer::Band::load_skin() {
    if (owner_->get_lookup_mode() == skinner::LOOKUP_NONE) return;
    icon_ = owner_->get_picture_property(name_ + u"Icon", skinner::PictureRef());
    handle_ = owner_->get_picture_property(name_ + u"Handle", skinner::PictureRef());
    colour_ = owner_->get_color_property(name_ + u"Color", 0);
    minimum_half_width_ = std::max(0, static_cast<int>(handle_.get_size().x));
    maximum_half_width_ = 3 * minimum_half_width_;
}

int ControlEqualizer::Band::half_width() const {
    return minimum_half_width_ +
           static_cast<int>((maximum_half_width_ - minimum_half_width_) * clamp_unit(width, 0.0));
}

int ControlEqualizer::Band::reach() const { return half_width() + handle_.get_size().x; }

POINT ControlEqualizer::Band::position() const {
    skinner::Point const p = owner_->get_position();
    return {p.x + owner_->frequency_to_x(frequency), p.y + owner_->gain_to_y(gain)};
}

bool ControlEqualizer::Band::hit_test(POINT point) {
    drag_start_ = point;
    POINT const centre = position();
    int const hw = half_width();
    POINT const handle = handle_.get_size();
    if (in_box(point, icon_.get_size(), centre)) {
        drag_mode = WHOLE_BAND;
    } else if (in_box(point, handle, {centre.x + hw, centre.y})) {
        drag_mode = RIGHT_HANDLE;
    } else if (in_box(point, handle, {centre.x - hw, centre.y})) {
        drag_mode = LEFT_HANDLE;
    } else {
        return false;
    }
    return true;
}

void ControlEqualizer::Band::drag(POINT point) {
    skinner::Point const p = owner_->get_position();
    skinner::Size const s = owner_->get_rect_size();
    if (drag_mode == WHOLE_BAND) {
        frequency = owner_->x_to_frequency(std::clamp(point.x - p.x, 0, std::max(0, s.width)));
        gain = owner_->y_to_gain(std::clamp(point.y - p.y, 0, std::max(0, s.height)));
    } else if (drag_mode == LEFT_HANDLE || drag_mode == RIGHT_HANDLE) {
        int const moved = point.x - drag_start_.x;
        int const wanted = half_width() + (drag_mode == RIGHT_HANDLE ? moved : -moved);
        int const range = maximum_half_width_ - minimum_half_width_;
        // Without a handle picture the width has no length to be dragged along.
        if (range > 0) {
            int const clamped = std::clamp(wanted, minimum_half_width_, maximum_half_width_);
            width = static_cast<double>(clamped - minimum_half_width_) / range;
        }
        drag_start_ = point;
    }
    owner_->repaint();
}

void ControlEqualizer::Band::paint(skinner::Canvas& canvas) const {
    POINT const centre = position();
    int const hw = half_width();
    POINT const hs = handle_.get_size();
    POINT const is = icon_.get_size();
    canvas.draw_line({centre.x - hs.x / 2 - hw, centre.y}, {centre.x - hs.x / 2 + hw, centre.y}, colour_of(colour_));
    icon_.draw(canvas, {centre.x - is.x / 2, centre.y - is.y / 2}, is);
    handle_.draw(canvas, {centre.x - hw - hs.x / 2, centre.y - hs.y / 2}, hs);
    handle_.draw(canvas, {centre.x + hw - hs.x / 2, centre.y - hs.y / 2}, hs);
}

ControlEqualizer::ControlEqualizer(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : skinner::ControlFrame(container, name, lookup_mode) {
    load_skin();
}

ControlEqualizer::~ControlEqualizer() = default;

void ControlEqualizer::load_properties() {
    skinner::ControlFrame::load_properties();
    load_skin();
}

void ControlEqualizer::load_skin() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    line_colour_ = get_color_property(u"Line", line_colour_);
    grid_colour_ = get_color_property(u"Grid", grid_colour_);
    // A cell narrower than a pixel would divide the scale by zero.
    cell_width_ = std::max(1, get_scaled_integer_property(u"CellWidth", cell_width_));
    first_cell_width_ = std::max(0, get_scaled_integer_property(u"FirstCellWidth", first_cell_width_));
    int const base = get_integer_property(u"FrequencyBase", frequency_base_);
    frequency_base_ = base > 0 ? base : default_frequency_base;
    for (Band& band : bands_) band.load_skin();
}

void ControlEqualizer::set_band(const std::u16string& name, double frequency, double gain, double width) {
    auto const same = [&name](const Band& band) { return band.name() == name; };
    bands_.erase(std::remove_if(bands_.begin(), bands_.end(), same), bands_.end());
    bands_.emplace_back(this, name, frequency, gain, width * 0.5);
    dragged_ = -1;
}

bool ControlEqualizer::remove_band(const std::u16string& name) {
    auto const found =
        std::find_if(bands_.begin(), bands_.end(), [&name](const Band& band) { return band.name() == name; });
    if (found == bands_.end()) return false;
    bands_.erase(found);
    dragged_ = -1;
    return true;
}

const ControlEqualizer::Band* ControlEqualizer::find_band(const std::u16string& name) const {
    for (const Band& band : bands_) {
        if (band.name() == name) return &band;
    }
    return nullptr;
}

double ControlEqualizer::get_band_frequency(const std::u16string& name) const {
    const Band* band = find_band(name);
    return band != nullptr ? band->frequency : 0.0;
}

double ControlEqualizer::get_band_gain(const std::u16string& name) const {
    const Band* band = find_band(name);
    return band != nullptr ? band->gain : 0.0;
}

double ControlEqualizer::get_band_width(const std::u16string& name) const {
    const Band* band = find_band(name);
    return band != nullptr ? band->width * 2.0 : 0.0;
}

double ControlEqualizer::x_to_frequency(int x) const {
    x = std::max(x, 0);
    if (x >= first_cell_width_) {
        return std::trunc(frequency_base_ * std::pow(2.0, static_cast<double>(x - first_cell_width_) / cell_width_));
    }
    return static_cast<double>(x) / first_cell_width_ * frequency_base_;
}

double ControlEqualizer::y_to_gain(int y) const {
    int const height = get_rect_size().height;
    if (height <= 0) return 0.0;
    return (y - height / 2) * maximum_gain / height * -2.0;
}

int ControlEqualizer::frequency_to_x(double frequency) const {
    // Zero, negative and NaN frequencies sit at the left edge, where the scale starts.
    if (!(frequency > 0.0)) return 0;
    if (frequency < frequency_base_) return to_pixels(first_cell_width_ * frequency / frequency_base_);
    return to_pixels(std::log(frequency / frequency_base_) / std::log(2.0) * cell_width_ + first_cell_width_);
}

int ControlEqualizer::gain_to_y(double gain) const {
    int const height = get_rect_size().height;
    return height / 2 - to_pixels(height * clamp_unit(gain / maximum_gain, -1.0) * 0.5);
}

std::vector<int> ControlEqualizer::response_curve() const {
    skinner::Point const p = get_position();
    int const width = std::max(0, get_rect_size().width);
    int const height = get_rect_size().height;
    double const half = height * 0.5;
    std::vector<int> curve(static_cast<std::size_t>(width), height / 2);
    if (half <= 0.0) return curve;
    for (int column = 0; column < width; ++column) {
        double sum = 0.0;
        for (const Band& band : bands_) {
            POINT const centre = band.position();
            double const offset = ((centre.y - p.y) - half) / half;
            int const d = p.x + column - centre.x;
            int const reach = band.reach();
            if (reach > std::abs(d)) sum += (std::cos(static_cast<double>(d) / reach * 3.1415) + 1.0) * offset * half * 0.5;
        }
        curve[static_cast<std::size_t>(column)] = to_pixels(sum < 0.0 ? sum - 0.5 : sum + 0.5) + height / 2;
    }
    return curve;
}

void ControlEqualizer::paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) {
    skinner::ControlFrame::paint(canvas, clip_position, clip_size);
    paint_grid(canvas);
    paint_curve(canvas);
    for (auto band = bands_.rbegin(); band != bands_.rend(); ++band) band->paint(canvas);
}

void ControlEqualizer::paint_grid(skinner::Canvas& canvas) const {
    skinner::Point const p = get_position();
    skinner::Size const s = get_rect_size();
    COLORREF const colour = colour_of(grid_colour_);
    canvas.draw_line({p.x, p.y + s.height / 2}, {p.x + s.width, p.y + s.height / 2}, colour);
    for (int i = 0; i < 6; ++i) {
        int const x = p.x + s.width / 6 + (i * s.width) / 6;
        canvas.draw_line({x, p.y + s.height}, {x, p.y}, colour);
    }
}

void ControlEqualizer::paint_curve(skinner::Canvas& canvas) const {
    std::vector<int> const curve = response_curve();
    if (curve.empty()) return;
    skinner::Point const p = get_position();
    std::vector<POINT> points;
    points.reserve(curve.size());
    for (std::size_t i = 0; i < curve.size(); ++i) points.push_back({p.x + static_cast<int>(i), p.y + curve[i]});
    HPEN pen = CreatePen(PS_SOLID, 0, colour_of(line_colour_));
    HGDIOBJ previous = SelectObject(canvas.get_dc(), pen);
    Polyline(canvas.get_dc(), points.data(), static_cast<int>(points.size()));
    SelectObject(canvas.get_dc(), previous);
    DeleteObject(pen);
}

void ControlEqualizer::on_stylus_down(skinner::Point point, unsigned flags) {
    if (flags != 0) return;
    dragged_ = -1;
    for (std::size_t i = 0; i < bands_.size(); ++i) {
        if (bands_[i].hit_test({point.x, point.y})) {
            dragged_ = static_cast<int>(i);
            return;
        }
    }
}

void ControlEqualizer::on_stylus_move(skinner::Point point, unsigned) {
    if (dragged_ >= 0) bands_[static_cast<std::size_t>(dragged_)].drag({point.x, point.y});
}

void ControlEqualizer::on_stylus_up(skinner::Point, unsigned) {
    if (dragged_ < 0) return;
    bands_[static_cast<std::size_t>(dragged_)].drag_mode = Band::NO_DRAG;
    on_click(this);
}

}  // namespace screens
