// MultiByteToWideChar and WideCharToMultiByte for the system code page (Windows-1252)
// and UTF-8.
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/errors.h"
#include "platform/text.h"
#include "platform/unicode.h"

namespace {

// Bytes 0x80 to 0x9F; the five unassigned bytes stand for the C1 controls of the same number.
constexpr char16_t windows_1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t decode_byte(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? windows_1252_high[byte - 0x80] : byte;
}

// The byte of a character, or -1 when the code page lacks it.
int encode_char(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i) {
        if (windows_1252_high[i] == c) return 0x80 + i;
    }
    return -1;
}

struct Composition {
    char16_t base;
    char16_t mark;
    char16_t composed;
};

// Base letter and combining mark of every precomposed letter of the code page.
constexpr Composition compositions[] = {
    {u'A', 0x300, 0xC0}, {u'A', 0x301, 0xC1}, {u'A', 0x302, 0xC2}, {u'A', 0x303, 0xC3},
    {u'A', 0x308, 0xC4}, {u'A', 0x30A, 0xC5}, {u'C', 0x327, 0xC7}, {u'E', 0x300, 0xC8},
    {u'E', 0x301, 0xC9}, {u'E', 0x302, 0xCA}, {u'E', 0x308, 0xCB}, {u'I', 0x300, 0xCC},
    {u'I', 0x301, 0xCD}, {u'I', 0x302, 0xCE}, {u'I', 0x308, 0xCF}, {u'N', 0x303, 0xD1},
    {u'O', 0x300, 0xD2}, {u'O', 0x301, 0xD3}, {u'O', 0x302, 0xD4}, {u'O', 0x303, 0xD5},
    {u'O', 0x308, 0xD6}, {u'U', 0x300, 0xD9}, {u'U', 0x301, 0xDA}, {u'U', 0x302, 0xDB},
    {u'U', 0x308, 0xDC}, {u'Y', 0x301, 0xDD}, {u'a', 0x300, 0xE0}, {u'a', 0x301, 0xE1},
    {u'a', 0x302, 0xE2}, {u'a', 0x303, 0xE3}, {u'a', 0x308, 0xE4}, {u'a', 0x30A, 0xE5},
    {u'c', 0x327, 0xE7}, {u'e', 0x300, 0xE8}, {u'e', 0x301, 0xE9}, {u'e', 0x302, 0xEA},
    {u'e', 0x308, 0xEB}, {u'i', 0x300, 0xEC}, {u'i', 0x301, 0xED}, {u'i', 0x302, 0xEE},
    {u'i', 0x308, 0xEF}, {u'n', 0x303, 0xF1}, {u'o', 0x300, 0xF2}, {u'o', 0x301, 0xF3},
    {u'o', 0x302, 0xF4}, {u'o', 0x303, 0xF5}, {u'o', 0x308, 0xF6}, {u'u', 0x300, 0xF9},
    {u'u', 0x301, 0xFA}, {u'u', 0x302, 0xFB}, {u'u', 0x308, 0xFC}, {u'y', 0x301, 0xFD},
    {u'y', 0x308, 0xFF}, {u'S', 0x30C, 0x160}, {u's', 0x30C, 0x161}, {u'Z', 0x30C, 0x17D},
    {u'z', 0x30C, 0x17E}, {u'Y', 0x308, 0x178},
};

char16_t compose(char16_t base, char16_t mark) {
    for (const Composition& c : compositions) {
        if (c.base == base && c.mark == mark) return c.composed;
    }
    return 0;
}

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

int fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// Hands the converted text to the caller: its size when asked for it, else a copy.
template <class Char>
int deliver(const std::basic_string<Char>& text, Char* destination, int destination_size) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) return fail(ERROR_INSUFFICIENT_BUFFER);
    auto const size = static_cast<int>(text.size());
    if (destination_size == 0) return size;
    if (size > destination_size) return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(destination, text.data(), text.size() * sizeof(Char));
    return size;
}

template <class Char>
bool valid_buffers(const Char* source, int source_length, const void* destination, int destination_size) {
    return source && source_length != 0 && source_length >= -1 && destination_size >= 0 &&
           (destination || destination_size == 0);
}

template <class Char>
std::size_t measured_length(const Char* source, int source_length) {
    if (source_length >= 0) return static_cast<std::size_t>(source_length);
    return std::char_traits<Char>::length(source) + 1;
}

std::string encode_windows_1252(std::u16string_view text, bool compose_marks, char default_char,
                                bool& used_default) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (compose_marks && i + 1 < text.size()) {
            if (char16_t const composed = compose(c, text[i + 1])) {
                c = composed;
                ++i;
            }
        }
        int const byte = encode_char(c);
        if (byte >= 0) {
            out.push_back(static_cast<char>(byte));
            continue;
        }
        // A surrogate pair is one character, so it gives one default character.
        if (is_high_surrogate(c) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) ++i;
        out.push_back(default_char);
        used_default = true;
    }
    return out;
}

}  // namespace

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR source, int source_length,
                        LPWSTR destination, int destination_size) {
    if (!valid_buffers(source, source_length, destination, destination_size)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (code_page != CP_ACP && code_page != CP_UTF8) return fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~MB_PRECOMPOSED) != 0) return fail(ERROR_INVALID_FLAGS);
    std::string_view const bytes(source, measured_length(source, source_length));
    std::u16string text;
    if (code_page == CP_UTF8) {
        text = platform::utf8_to_utf16(bytes);
    } else {
        text.reserve(bytes.size());
        for (char byte : bytes) text.push_back(decode_byte(static_cast<unsigned char>(byte)));
    }
    return deliver(text, destination, destination_size);
}

int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR source, int source_length,
                        LPSTR destination, int destination_size, LPCSTR default_char,
                        LPBOOL used_default) {
    if (!valid_buffers(source, source_length, destination, destination_size)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    if (code_page != CP_ACP && code_page != CP_UTF8) return fail(ERROR_INVALID_PARAMETER);
    if ((flags & ~WC_COMPOSITECHECK) != 0) return fail(ERROR_INVALID_FLAGS);
    std::u16string_view const text(source, measured_length(source, source_length));
    if (code_page == CP_UTF8) {
        if (default_char || used_default) return fail(ERROR_INVALID_PARAMETER);
        return deliver(platform::utf16_to_utf8(text), destination, destination_size);
    }
    bool defaulted = false;
    std::string const bytes = encode_windows_1252(text, (flags & WC_COMPOSITECHECK) != 0,
                                                  default_char ? default_char[0] : '?', defaulted);
    if (used_default) *used_default = defaulted ? TRUE : FALSE;
    return deliver(bytes, destination, destination_size);
}
