// A static text (label): background picture, borders, alignment, optional word wrap with
// line breaks (a line feed, or the two characters backslash and n as typed in a skin text),
// an ellipsis when the text does not fit, and optional growth to fit its text. A frame never
// takes the focus or the stylus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/control.h"

namespace skinner {

class ControlFrame : public Control {
public:
    ControlFrame(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlFrame() override;

    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    bool hit_test(Point) override { return false; }
    Size get_size() override;
    void load_properties() override;
    // Splits the text into the display lines and works out the content size.
    virtual void layout_text(const std::u16string& text);

    // Lays out and repaints only when the text differs.
    void set_text(const std::u16string& text);
    void set_picture(const PictureRef& picture);
    // The text colour (red in the low byte); the caller repaints.
    void set_colour(std::uint32_t colour);

    const std::u16string& get_text() const { return text_; }
    const std::vector<std::u16string>& get_lines() const { return lines_; }
    Size get_content_size() const { return content_size_; }
    int get_halignment() const { return halignment_; }
    int get_valignment() const { return valignment_; }
    Point get_border_min() const { return border_min_; }
    Point get_border_max() const { return border_max_; }
    const PictureRef& get_picture() const { return picture_; }
    const FontRef& get_font() const { return font_; }
    std::uint32_t get_colour() const { return colour_; }

private:
    void load_frame_properties();
    int line_height(const std::u16string& line) const;
    void paint_one_line(Canvas& canvas);
    void paint_lines(Canvas& canvas);
    void draw_line_text(Canvas& canvas, const std::u16string& text, POINT position, POINT size, int valignment) const;

    Point border_min_;
    Point border_max_;
    PictureRef picture_;
    FontRef font_;
    std::uint32_t colour_ = 0;
    std::u16string text_;
    int halignment_ = 1;
    int valignment_ = 1;
    Size content_size_;
    std::vector<std::u16string> lines_;
    std::u16string line_break_token_ = u"\\n";
    bool wrap_ = false;
    bool auto_size_ = false;
    bool ellipsis_ = false;
};

}  // namespace skinner
