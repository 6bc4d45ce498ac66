#include "skin/font_description.h"

#include <cstdint>

namespace skinner {

namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

void skip_blanks(const std::u16string& text, std::size_t& at) {
    while (at < text.size() && is_blank(text[at])) ++at;
}

std::optional<int> read_integer(const std::u16string& text, std::size_t& at) {
    skip_blanks(text, at);
    bool negative = at < text.size() && text[at] == u'-';
    if (negative) ++at;
    std::size_t first = at;
    std::int64_t value = 0;
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') {
        value = value * 10 + (text[at++] - u'0');
        if (value > 100000) return std::nullopt;
    }
    if (at == first || (at < text.size() && !is_blank(text[at]))) return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

std::u16string number_text(int value) {
    std::u16string out;
    for (char c : std::to_string(value)) out += char16_t(c);
    return out;
}

}  // namespace

std::optional<FontDescription> FontDescription::parse(const std::u16string& text) {
    std::size_t at = 0;
    int values[4];
    for (int& value : values) {
        auto number = read_integer(text, at);
        if (!number) return std::nullopt;
        value = *number;
    }
    skip_blanks(text, at);
    std::size_t end = text.size();
    while (end > at && is_blank(text[end - 1])) --end;
    if (end == at) return std::nullopt;
    FontDescription description;
    description.size = values[0];
    description.bold = values[1] != 0;
    description.italic = values[2] != 0;
    description.underline = values[3] != 0;
    description.face = text.substr(at, std::min(end - at, max_face_length));
    return description;
}

std::u16string FontDescription::normalised() const {
    return number_text(size) + u" " + (bold ? u"1" : u"0") + u" " + (italic ? u"1" : u"0") + u" " +
           (underline ? u"1" : u"0") + u" " + face;
}

int FontDescription::logical_height(int scale) const {
    std::int64_t points = std::int64_t(size) * scale;
    return -static_cast<int>(96 * points / 72);
}

}  // namespace skinner
