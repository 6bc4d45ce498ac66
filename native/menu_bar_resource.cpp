#include "native/menu_bar_resource.h"

#include <algorithm>
#include <cstdlib>


namespace native {
namespace {

constexpr std::size_t largest_resource = 16 * 1024;
constexpr std::size_t most_buttons = 32;
constexpr std::size_t longest_text = 64;

std::vector<std::string_view> split_words(std::string_view line, std::size_t most, std::string_view& rest) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (words.size() < most) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) break;
        std::size_t const end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    std::size_t const text_start = at < line.size() ? line.find_first_not_of(" \t", at) : std::string_view::npos;
    rest = text_start == std::string_view::npos ? std::string_view() : line.substr(text_start);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
    return words;
}

std::optional<int> number(std::string_view word, int lowest, int highest) {
    if (word.empty() || word.size() > 5 || word.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    int const value = std::atoi(std::string(word).c_str());
    if (value < lowest || value > highest) return std::nullopt;
    return value;
}

std::optional<BYTE> style_of(std::string_view word) {
    if (word == "plain") return TBSTYLE_BUTTON;
    if (word == "dropdown") return TBSTYLE_DROPDOWN;
    if (word == "separator") return TBSTYLE_SEP;
    return std::nullopt;
}

// Strict UTF-8 (no overlong forms, no surrogates), printable, at most longest_text units.
std::optional<std::u16string> utf16_of(std::string_view text) {
    std::u16string wide;
    for (std::size_t at = 0; at < text.size();) {
        auto const lead = static_cast<unsigned char>(text[at]);
        int const extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || at + static_cast<std::size_t>(extra) >= text.size()) return std::nullopt;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int index = 1; index <= extra; ++index) {
            auto const next = static_cast<unsigned char>(text[at + index]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = code << 6 | (next & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < smallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || code < 0x20 || code == 0x7F) return std::nullopt;
        if (code >= 0x10000) {
            wide.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            wide.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            wide.push_back(static_cast<char16_t>(code));
        }
        if (wide.size() > longest_text) return std::nullopt;
        at += static_cast<std::size_t>(extra) + 1;
    }
    return wide;
}

std::optional<MenuBarEntry> parse_button(std::string_view line, std::string& problem) {
    std::string_view text;
    auto const words = split_words(line, 4, text);
    if (words.size() < 4 || words[0] != "button") {
        problem = "expected \"button ID STYLE IMAGE [TEXT]\"";
        return std::nullopt;
    }
    MenuBarEntry button;
    auto const command = number(words[1], 1, 65535);
    auto const style = style_of(words[2]);
    auto const image = words[3] == "-" ? std::optional<int>(I_IMAGENONE) : number(words[3], 0, 9999);
    auto const wide = utf16_of(text);
    if (!command) problem = "the id is not a number from 1 to 65535";
    else if (!style) problem = "the style is not plain, dropdown or separator";
    else if (!image) problem = "the image is not \"-\" or a number below 10000";
    else if (!wide) problem = "the text is not UTF-8 of at most 64 characters";
    if (!problem.empty()) return std::nullopt;
    button.command = *command;
    button.style = *style;
    button.image = *image;
    button.text = *wide;
    return button;
}

}  // namespace

std::optional<MenuBarLayout> parse_menu_bar_resource(std::string_view data, std::string& problem) {
    if (data.size() > largest_resource) {
        problem = "larger than 16 KiB";
        return std::nullopt;
    }
    MenuBarLayout layout;
    int number_of_line = 0;
    while (!data.empty()) {
        std::size_t const end = std::min(data.find('\n'), data.size());
        std::string_view line = data.substr(0, end);
        data.remove_prefix(std::min(end + 1, data.size()));
        ++number_of_line;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::size_t const first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;
        if (line.find('\0') != std::string_view::npos) {
            problem = "line " + std::to_string(number_of_line) + ": a zero byte";
            return std::nullopt;
        }
        std::string why;
        auto button = parse_button(line, why);
        if (!button) {
            problem = "line " + std::to_string(number_of_line) + ": " + why;
            return std::nullopt;
        }
        if (layout.buttons.size() == most_buttons) {
            problem = "more than 32 buttons";
            return std::nullopt;
        }
        layout.buttons.push_back(std::move(*button));
    }
    return layout;
}

}  // namespace native
