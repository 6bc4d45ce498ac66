// A text shown with a picture per character instead of a font, as a segment display: the
// letters, digits, comma, colon, full stop, hyphen-minus and space each have their glyph
// ("SymbolA", "Symbol0", "SymbolColon", ...). Lines are cut at line feeds; a character
// without a glyph takes no space.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "skin/control.h"

namespace skinner {

class ControlLCD : public Control {
public:
    ControlLCD(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlLCD() override;

    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    Size get_size() override;
    void load_properties() override;

    // Lays out and repaints only when the text differs.
    void set_text(const std::u16string& text);

    // The width of the line's glyphs side by side and the tallest glyph's height.
    Size measure_line(const std::u16string& line) const;

    const std::u16string& get_text() const { return text_; }
    const std::vector<std::u16string>& get_lines() const { return lines_; }
    Size get_content_size() const { return content_size_; }
    int get_halignment() const { return halignment_; }

private:
    void load_lcd_properties();
    void layout();

    std::u16string text_;
    int halignment_ = 0;
    std::map<char16_t, PictureRef> glyphs_;
    std::vector<std::u16string> lines_;
    Size content_size_;
};

}  // namespace skinner
