#include "skin/lcd.h"

#include <algorithm>
#include <utility>

#include "skin/button.h"

namespace skinner {

namespace {

// The glyph keys, in the order they are read.
std::vector<std::pair<char16_t, std::u16string>> glyph_keys() {
    std::vector<std::pair<char16_t, std::u16string>> keys;
    auto const add_range = [&](char16_t first, char16_t last) {
        for (char16_t c = first; c <= last; ++c) keys.emplace_back(c, u"Symbol" + std::u16string(1, c));
    };
    add_range(u'a', u'z');
    add_range(u'A', u'Z');
    add_range(u'0', u'9');
    keys.emplace_back(u',', u"SymbolComma");
    keys.emplace_back(u':', u"SymbolColon");
    keys.emplace_back(u'.', u"SymbolDot");
    keys.emplace_back(u'-', u"SymbolDash");
    keys.emplace_back(u' ', u"SymbolSpace");
    return keys;
}

}  // namespace

ControlLCD::ControlLCD(Container* container, const std::u16string& name, int lookup_mode)
    : Control(container, name, lookup_mode) {
    set_want_focus(false);
    load_lcd_properties();
}

ControlLCD::~ControlLCD() = default;

void ControlLCD::load_properties() {
    load_control_properties();
    load_lcd_properties();
}

void ControlLCD::load_lcd_properties() {
    if (get_lookup_mode() != LOOKUP_NONE) {
        parse_halignment(get_string_property(u"HAlignment", u""), halignment_);
        text_ = get_string_property(u"Text", text_);
        static const auto keys = glyph_keys();
        for (auto const& [character, key] : keys) glyphs_[character] = get_picture_property(key, PictureRef());
    }
    layout();
}

void ControlLCD::set_text(const std::u16string& text) {
    if (text == text_) return;
    text_ = text;
    layout();
    repaint();
}

void ControlLCD::layout() {
    lines_.clear();
    std::size_t start = 0;
    for (;;) {
        std::size_t const end = text_.find(u'\n', start);
        lines_.push_back(text_.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start));
        if (end == std::u16string::npos) break;
        start = end + 1;
    }
    content_size_ = {};
    for (auto const& line : lines_) {
        Size const measured = measure_line(line);
        content_size_.width = std::max(content_size_.width, measured.width);
        content_size_.height += measured.height;
    }
}

Size ControlLCD::measure_line(const std::u16string& line) const {
    Size result;
    for (char16_t character : line) {
        auto const glyph = glyphs_.find(character);
        if (glyph == glyphs_.end()) continue;
        POINT const size = glyph->second.get_size();
        result.width += size.x;
        result.height = std::max(result.height, static_cast<int>(size.y));
    }
    return result;
}

Size ControlLCD::get_size() {
    Size const own = Control::get_size();
    return {std::max(own.width, content_size_.width), std::max(own.height, content_size_.height)};
}

void ControlLCD::paint(Canvas& canvas, Point, Size) {
    Point const p = get_position();
    Size const s = get_rect_size();
    canvas.push_clip(POINT{p.x, p.y}, POINT{s.width, s.height});
    int y = p.y;
    for (auto const& line : lines_) {
        Size const measured = measure_line(line);
        int x = p.x;
        if (halignment_ == 1) x += (s.width - measured.width) / 2;
        if (halignment_ == 2) x += s.width - measured.width;
        for (char16_t character : line) {
            auto const glyph = glyphs_.find(character);
            if (glyph == glyphs_.end()) continue;
            POINT const size = glyph->second.get_size();
            glyph->second.draw(canvas, POINT{x, y}, size);
            x += size.x;
        }
        y += measured.height;
    }
    canvas.pop_clip();
}

}  // namespace skinner
