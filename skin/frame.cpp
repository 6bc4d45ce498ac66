#include "skin/frame.h"

#include <algorithm>

#include "skin/button.h"

namespace skinner {

namespace {

constexpr char16_t ellipsis_character = u'\u2026';

}  // namespace

ControlFrame::ControlFrame(Container* container, const std::u16string& name, int lookup_mode)
    : Control(container, name, lookup_mode) {
    set_want_focus(false);
    load_frame_properties();
}

ControlFrame::~ControlFrame() = default;

void ControlFrame::load_properties() {
    load_control_properties();
    load_frame_properties();
}

void ControlFrame::load_frame_properties() {
    if (get_lookup_mode() != LOOKUP_NONE) {
        border_min_ = get_point_property(u"BorderMin", border_min_);
        border_max_ = get_point_property(u"BorderMax", border_min_);
        parse_halignment(get_string_property(u"HAlignment", u""), halignment_);
        parse_valignment(get_string_property(u"VAlignment", u""), valignment_);
        picture_ = get_picture_property(u"Normal", picture_);
        font_ = get_font_property(u"Normal", font_);
        colour_ = get_color_property(u"Normal", colour_);
        text_ = get_string_property(u"Text", text_);
        wrap_ = get_integer_property(u"Wrap", wrap_) != 0;
        auto_size_ = get_integer_property(u"AutoSize", auto_size_) != 0;
        ellipsis_ = get_integer_property(u"Ellipsis", ellipsis_) != 0;
    }
    layout_text(text_);
}

void ControlFrame::set_text(const std::u16string& text) {
    if (text == text_) return;
    text_ = text;
    layout_text(text_);
    repaint();
}

void ControlFrame::set_picture(const PictureRef& picture) {
    picture_ = picture;
    repaint();
}

void ControlFrame::set_colour(std::uint32_t colour) { colour_ = colour; }

int ControlFrame::line_height(const std::u16string& line) const { return font_.measure_text(line).cy; }

void ControlFrame::layout_text(const std::u16string& text) {
    lines_.clear();
    if (!wrap_) {
        lines_.push_back(text);
    } else {
        int const available = get_rect_size().width - border_min_.x - border_max_.x;
        std::size_t start = 0;
        std::size_t break_point = 0;
        auto const fit = [&](std::size_t end) {
            if (break_point <= start) return;
            if (font_.measure_text(text.substr(start, end - start)).cx <= available) return;
            lines_.push_back(text.substr(start, break_point - start));
            start = break_point + 1;
        };
        auto const end_line = [&](std::size_t end) {
            lines_.push_back(text.substr(start, end - start));
            start = end + 1;
        };
        std::size_t const token_length = line_break_token_.size();
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] < u'\x21') {
                fit(i);
                break_point = i;
                if (text[i] == u'\n') end_line(i);
            } else if (text.compare(i, token_length, line_break_token_) == 0) {
                end_line(i);
                i += token_length - 1;
                start = break_point = i + 1;
            }
        }
        fit(text.size());
        end_line(text.size());
    }
    Size content{border_min_.x + border_max_.x, border_min_.y + border_max_.y};
    if (auto_size_) {
        for (auto const& line : lines_) {
            SIZE const measured = font_.measure_text(line);
            content.width = std::max(content.width, static_cast<int>(measured.cx) + border_min_.x + border_max_.x);
            content.height += measured.cy;
        }
    }
    content_size_ = content;
}

Size ControlFrame::get_size() {
    Size const own = Control::get_size();
    return {std::max(own.width, content_size_.width), std::max(own.height, content_size_.height)};
}

void ControlFrame::draw_line_text(Canvas& canvas, const std::u16string& text, POINT position, POINT size,
                                  int valignment) const {
    COLORREF const colour = colour_ & 0xFFFFFF;
    if (ellipsis_) {
        font_.draw_text_ellipsis(canvas, colour, text, position, size, halignment_, valignment);
    } else {
        font_.draw_text(canvas, colour, text, position, size, halignment_, valignment);
    }
}

void ControlFrame::paint_one_line(Canvas& canvas) {
    Point const p = get_position();
    Size const s = get_rect_size();
    POINT position{p.x + border_min_.x, p.y + border_min_.y};
    POINT size{s.width - border_min_.x - border_max_.x, s.height - border_min_.y - border_max_.y};
    if (valignment_ == 1) {
        int const grow = std::min(border_min_.y, border_max_.y);
        position.y -= grow;
        size.y += 2 * grow;
    }
    draw_line_text(canvas, lines_.front(), position, size, valignment_);
}

void ControlFrame::paint_lines(Canvas& canvas) {
    Point const p = get_position();
    Size const s = get_rect_size();
    canvas.push_clip(POINT{p.x, p.y}, POINT{s.width, s.height});
    int total = 0;
    for (auto const& line : lines_) total += line_height(line);
    int top = border_min_.y;
    if (valignment_ == 1 || valignment_ == 2) top += std::max((s.height - total) / 2, 0);
    if (valignment_ == 2) top = s.height - border_max_.y - total;
    int const width = s.width - border_min_.x - border_max_.x;
    int space = s.height - border_max_.y - top;
    int y = p.y + top;
    for (auto const& line : lines_) {
        int const height = line_height(line);
        if (space < height) {
            // More text than room: an ellipsis on the last row that fits marks the cut.
            if (ellipsis_) {
                POINT const position{p.x + border_min_.x, p.y + s.height - border_max_.y - height};
                font_.draw_text(canvas, colour_ & 0xFFFFFF, std::u16string(1, ellipsis_character), position,
                                POINT{width, height}, halignment_, 0);
            }
            break;
        }
        draw_line_text(canvas, line, POINT{p.x + border_min_.x, y}, POINT{width, height}, 0);
        y += height;
        space -= height;
    }
    canvas.pop_clip();
}

void ControlFrame::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    Point const p = get_position();
    Size const s = get_rect_size();
    picture_.draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
    if (lines_.size() == 1) {
        paint_one_line(canvas);
    } else {
        paint_lines(canvas);
    }
    Control::paint(canvas, clip_position, clip_size);
}

}  // namespace skinner
