#include "skin/path_frame.h"

#include <algorithm>

#include "foundation/paths.h"

namespace skinner {

ControlPathFrame::ControlPathFrame(Container* container, const std::u16string& name, int lookup_mode)
    : ControlFrame(container, name, lookup_mode) {
    // The frame laid its text out before this class existed.
    layout_text(get_text());
}

ControlPathFrame::~ControlPathFrame() { folder_picture_.release(); }

void ControlPathFrame::layout_text(const std::u16string& text) {
    if (os::get_parent_folder(text).empty()) {
        ControlFrame::layout_text(translate(u"MyDevice", u"My Device"));
    } else {
        ControlFrame::layout_text(text);
    }
}

void ControlPathFrame::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    Point const p = get_position();
    Size const s = get_rect_size();
    get_picture().draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
    Point const border_min = get_border_min();
    Point const border_max = get_border_max();
    FontRef const& font = get_font();
    int total = 0;
    for (auto const& line : get_lines()) total += font.measure_text(line).cy;
    int top = border_min.y;
    if (get_valignment() == 1) top = std::max((s.height - total) / 2, border_min.y);
    if (get_valignment() == 2) top = s.height - border_max.y - total;
    int const width = s.width - border_min.x - border_max.x;
    int y = p.y + top;
    canvas.push_clip(POINT{p.x, p.y}, POINT{s.width, s.height});
    for (auto const& line : get_lines()) {
        int const height = font.measure_text(line).cy;
        font.draw_text_left_ellipsis(canvas, get_colour() & 0xFFFFFF, line, POINT{p.x + border_min.x, y},
                                     POINT{width, height}, get_halignment(), 0);
        y += height;
    }
    canvas.pop_clip();
    Control::paint(canvas, clip_position, clip_size);
}

}  // namespace skinner
