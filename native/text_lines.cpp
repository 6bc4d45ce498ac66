#include "native/text_lines.h"

#include <utility>

namespace native {
namespace {

int text_width(HDC dc, std::u16string_view text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The longest start of the word that fits (one character at least, so that every line
// takes something).
std::size_t fitting_prefix(HDC dc, std::u16string_view word, int width) {
    std::size_t length = 1;
    while (length < word.size() && text_width(dc, word.substr(0, length + 1)) <= width) ++length;
    return length;
}

void wrap_paragraph(HDC dc, std::u16string_view paragraph, int width, std::vector<std::u16string>& lines) {
    std::u16string line;
    std::size_t position = 0;
    while (position < paragraph.size()) {
        std::size_t const space = paragraph.find(u' ', position);
        std::size_t const end = space == std::u16string_view::npos ? paragraph.size() : space;
        std::u16string_view word = paragraph.substr(position, end - position);
        position = end == paragraph.size() ? end : end + 1;
        std::u16string candidate = line.empty() ? std::u16string(word) : line + u' ' + std::u16string(word);
        if (text_width(dc, candidate) <= width) {
            line = std::move(candidate);
            continue;
        }
        if (!line.empty()) lines.push_back(std::exchange(line, {}));
        while (!word.empty() && text_width(dc, word) > width) {
            std::size_t const taken = fitting_prefix(dc, word, width);
            lines.emplace_back(word.substr(0, taken));
            word.remove_prefix(taken);
        }
        line = std::u16string(word);
    }
    lines.push_back(std::move(line));
}

}  // namespace

std::vector<std::u16string> wrap_lines(HDC dc, std::u16string_view text, int width) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t const end = text.find(u'\n', start);
        std::u16string_view paragraph = text.substr(start, end == std::u16string_view::npos ? text.npos : end - start);
        if (!paragraph.empty() && paragraph.back() == u'\r') paragraph.remove_suffix(1);
        wrap_paragraph(dc, paragraph, width, lines);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return lines;
}

}  // namespace native
