// Conversions between narrow text (the system code page) and wide text, built from a
// source that yields a character range and a sink that turns a range into a string:
//     liba::narrow_to_wide(liba::format_int(-5), out);   // out == u"-5"
// Sinks return the end of the range, or null when the platform conversion failed.
#pragma once

#include <cstddef>
#include <string>

namespace liba {

// Sources. Numbers are formatted into a buffer inside the object, so no allocation
// happens before the final string.

// printf "%d".
class format_int {
public:
    explicit format_int(int value);
    const char* begin() const { return text_; }
    const char* end() const { return text_ + length_; }

private:
    char text_[36];
    std::size_t length_;
};

// printf "%ld".
class format_long {
public:
    explicit format_long(long value);
    const char* begin() const { return text_; }
    const char* end() const { return text_ + length_; }

private:
    char text_[68];
    std::size_t length_;
};

// printf "%f" (six decimals). A value whose "%f" text would not fit the buffer (beyond
// about 1e112 in size) is written as "%e" instead, which keeps its value readable.
class format_double {
public:
    explicit format_double(double value);
    const char* begin() const { return text_; }
    const char* end() const { return text_ + length_; }

private:
    char text_[120];
    std::size_t length_;
};

// A zero-terminated narrow text (a null pointer is the empty text).
class measure_narrow_text {
public:
    explicit measure_narrow_text(const char* text);
    const char* begin() const { return begin_; }
    const char* end() const { return end_; }

private:
    const char* begin_;
    const char* end_;
};

// A zero-terminated wide text (a null pointer is the empty text).
class measure_wide_text {
public:
    explicit measure_wide_text(const char16_t* text);
    const char16_t* begin() const { return begin_; }
    const char16_t* end() const { return end_; }

private:
    const char16_t* begin_;
    const char16_t* end_;
};

// Conversions through the system code page. The out string receives the converted text
// (as many characters as the source has, unless combining marks were composed); on
// failure it is left unchanged and the result is false. A count of 0 gives the empty string.
bool multibyte_to_wide(const char* bytes, std::size_t count, std::u16string& out);
bool wide_to_multibyte(const char16_t* text, std::size_t count, std::string& out);
bool narrow_to_wide_string(const std::string& text, std::u16string& out);
bool wide_to_narrow_string(const std::u16string& text, std::string& out);
std::u16string to_wstring(const char* text);

// Sinks.
const char* narrow_to_wide(const char* begin, const char* end, std::u16string& out);
const char16_t* wide_to_narrow(const char16_t* begin, const char16_t* end, std::string& out);
const char* assign_narrow(const char* begin, const char* end, std::string& out);
const char16_t* assign_wide(const char16_t* begin, const char16_t* end, std::u16string& out);

template <class Source>
auto narrow_to_wide(const Source& source, std::u16string& out) {
    return narrow_to_wide(source.begin(), source.end(), out);
}
template <class Source>
auto wide_to_narrow(const Source& source, std::string& out) {
    return wide_to_narrow(source.begin(), source.end(), out);
}
template <class Source>
auto assign_narrow(const Source& source, std::string& out) {
    return assign_narrow(source.begin(), source.end(), out);
}
template <class Source>
auto assign_wide(const Source& source, std::u16string& out) {
    return assign_wide(source.begin(), source.end(), out);
}

// Append to a wide string: the decimal text of a number, or a narrow text converted
// through the system code page. False (out unchanged) when the conversion failed.
bool append_decimal(std::u16string& out, int value);
bool append_decimal(std::u16string& out, long value);
bool append_text(std::u16string& out, const char* text);

}  // namespace liba
