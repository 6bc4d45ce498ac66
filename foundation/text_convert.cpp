#include "foundation/text_convert.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/text.h"

namespace liba {
namespace {

// snprintf's length, limited to what the buffer holds (it reports the untruncated length).
template <std::size_t Size, class... Args>
std::size_t print(char (&buffer)[Size], const char* format, Args... args) {
    int const length = std::snprintf(buffer, Size, format, args...);
    if (length < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<std::size_t>(length) < Size ? static_cast<std::size_t>(length) : Size - 1;
}

bool append_converted(const char* begin, const char* end, std::u16string& out) {
    std::u16string piece;
    if (!narrow_to_wide(begin, end, piece)) return false;
    out += piece;
    return true;
}

}  // namespace

format_int::format_int(int value) : length_(print(text_, "%d", value)) {}

format_long::format_long(long value) : length_(print(text_, "%ld", value)) {}

format_double::format_double(double value) {
    int const needed = std::snprintf(text_, sizeof text_, "%f", value);
    length_ = needed >= 0 && static_cast<std::size_t>(needed) < sizeof text_ ? static_cast<std::size_t>(needed)
                                                                             : print(text_, "%e", value);
}

measure_narrow_text::measure_narrow_text(const char* text)
    : begin_(text ? text : ""), end_(begin_ + std::strlen(begin_)) {}

measure_wide_text::measure_wide_text(const char16_t* text)
    : begin_(text ? text : u""), end_(begin_ + std::char_traits<char16_t>::length(begin_)) {}

bool multibyte_to_wide(const char* bytes, std::size_t count, std::u16string& out) {
    if (count == 0) {
        out.clear();
        return true;
    }
    if (count > static_cast<std::size_t>(INT_MAX)) return false;
    int const size = static_cast<int>(count);
    std::u16string buffer(count, u'\0');
    int const written = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes, size, buffer.data(), size);
    if (written == 0) return false;
    buffer.resize(static_cast<std::size_t>(written));
    out = std::move(buffer);
    return true;
}

bool wide_to_multibyte(const char16_t* text, std::size_t count, std::string& out) {
    if (count == 0) {
        out.clear();
        return true;
    }
    if (count > static_cast<std::size_t>(INT_MAX)) return false;
    int const size = static_cast<int>(count);
    std::string buffer(count, '\0');
    int const written =
        WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, size, buffer.data(), size, nullptr, nullptr);
    if (written == 0) return false;
    // Composing a letter with its mark writes fewer bytes than characters; the rest of the
    // buffer is not part of the text.
    buffer.resize(static_cast<std::size_t>(written));
    out = std::move(buffer);
    return true;
}

bool narrow_to_wide_string(const std::string& text, std::u16string& out) {
    return multibyte_to_wide(text.data(), text.size(), out);
}

bool wide_to_narrow_string(const std::u16string& text, std::string& out) {
    return wide_to_multibyte(text.data(), text.size(), out);
}

std::u16string to_wstring(const char* text) {
    std::u16string out;
    narrow_to_wide(measure_narrow_text(text), out);
    return out;
}

const char* narrow_to_wide(const char* begin, const char* end, std::u16string& out) {
    return multibyte_to_wide(begin, static_cast<std::size_t>(end - begin), out) ? end : nullptr;
}

const char16_t* wide_to_narrow(const char16_t* begin, const char16_t* end, std::string& out) {
    return wide_to_multibyte(begin, static_cast<std::size_t>(end - begin), out) ? end : nullptr;
}

const char* assign_narrow(const char* begin, const char* end, std::string& out) {
    out.assign(begin, end);
    return end;
}

const char16_t* assign_wide(const char16_t* begin, const char16_t* end, std::u16string& out) {
    out.assign(begin, end);
    return end;
}

bool append_decimal(std::u16string& out, int value) {
    format_int const text(value);
    return append_converted(text.begin(), text.end(), out);
}

bool append_decimal(std::u16string& out, long value) {
    format_long const text(value);
    return append_converted(text.begin(), text.end(), out);
}

bool append_text(std::u16string& out, const char* text) {
    measure_narrow_text const range(text);
    return append_converted(range.begin(), range.end(), out);
}

}  // namespace liba
