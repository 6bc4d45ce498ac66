#include "platform/unicode.h"

#include <locale.h>
#include <wctype.h>

namespace platform {
namespace {

constexpr char32_t replacement = 0xFFFD;

locale_t unicode_locale() {
    static locale_t const locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
        return l ? l : newlocale(LC_CTYPE_MASK, "C", locale_t{});
    }();
    return locale;
}

bool is_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void append_utf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at text[i], advancing i; malformed input yields U+FFFD.
char32_t decode_utf8(std::string_view text, std::size_t& i) {
    auto const lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;
    int extra;
    char32_t cp;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; minimum = 0x10000; }
    else return replacement;
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size()) return replacement;
        auto const next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return replacement;
        cp = (cp << 6) | (next & 0x3F);
        ++i;
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return replacement;
    return cp;
}

}  // namespace

std::u16string utf8_to_utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) append_utf16(out, decode_utf8(text, i));
    return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t const c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            append_utf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            append_utf8(out, is_surrogate(c) ? replacement : c);
        }
    }
    return out;
}

char16_t to_lower(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (is_surrogate(c)) return c;
    auto const mapped = towlower_l(static_cast<wint_t>(c), unicode_locale());
    return mapped < 0x10000 ? static_cast<char16_t>(mapped) : c;
}

char16_t to_upper(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (is_surrogate(c)) return c;
    auto const mapped = towupper_l(static_cast<wint_t>(c), unicode_locale());
    return mapped < 0x10000 ? static_cast<char16_t>(mapped) : c;
}

int compare_ignore_case(std::u16string_view a, std::u16string_view b) {
    std::size_t const n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        char16_t const x = to_lower(a[i]);
        char16_t const y = to_lower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equal_ignore_case(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && compare_ignore_case(a, b) == 0;
}

}  // namespace platform
