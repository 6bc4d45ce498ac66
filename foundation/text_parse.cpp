#include "foundation/text_parse.h"

#include <cmath>
#include <cstdint>

namespace liba {
namespace {

constexpr char16_t carriage_return = 13;
constexpr char16_t line_feed = 10;

struct Sign {
    bool negative = false;
    const char16_t* next = nullptr;  // null: no number can follow
};

// Common start of a number: white space and an optional sign.
Sign read_sign(const char16_t* begin, const char16_t* end) {
    const char16_t* p = skip_spaces(begin, end);
    if (p == end) return {};
    Sign sign;
    if (*p == u'-' || *p == u'+') {
        sign.negative = *p == u'-';
        if (++p == end) return {};
    }
    sign.next = p;
    return sign;
}

}  // namespace

bool is_space(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

const char16_t* skip_spaces(const char16_t* begin, const char16_t* end) {
    while (begin != end && is_space(*begin)) ++begin;
    return begin;
}

const char16_t* parse_int(int& value, const char16_t* begin, const char16_t* end) {
    if (begin == end) return nullptr;
    Sign const sign = read_sign(begin, end);
    if (!sign.next) return nullptr;
    const char16_t* p = sign.next;
    // Unsigned 32-bit arithmetic wraps around where a signed overflow would be undefined.
    std::uint32_t magnitude = 0;
    for (; p != end && is_digit(*p); ++p) magnitude = magnitude * 10u + static_cast<std::uint32_t>(*p - u'0');
    value = static_cast<int>(sign.negative ? 0u - magnitude : magnitude);
    return p == sign.next ? nullptr : p;
}

const char16_t* parse_double(double& value, const char16_t* begin, const char16_t* end) {
    if (begin == end) return nullptr;
    Sign const sign = read_sign(begin, end);
    if (!sign.next) return nullptr;
    const char16_t* p = sign.next;
    bool seen_digit = false;
    double result = 0.0;
    for (; p != end && is_digit(*p); ++p, seen_digit = true) result = result * 10.0 + (*p - u'0');
    if (p != end && *p == u'.' && p + 1 != end) {
        double weight = 0.1;
        for (++p; p != end && is_digit(*p); ++p, seen_digit = true) {
            result += (*p - u'0') * weight;
            weight *= 0.1;
        }
    }
    if (!seen_digit) return nullptr;
    if (p != end && (*p == u'e' || *p == u'E')) {
        int exponent = 0;
        p = parse_int(exponent, p + 1, end);
        if (!p) return nullptr;
        result = scale_by_power_of_ten(result, exponent);
    }
    value = sign.negative ? -result : result;
    return p;
}

double scale_by_power_of_ten(double value, int exponent) { return value * std::pow(10.0, exponent); }

const char16_t* read_until_line_break(std::u16string& out, const char16_t* begin, const char16_t* end,
                                      char16_t first_break, char16_t second_break) {
    const char16_t* p = begin;
    while (p != end && *p != first_break && *p != second_break) ++p;
    out.append(begin, p);
    if (p == end) return p;
    char16_t const other = *p == first_break ? second_break : first_break;
    ++p;
    if (p != end && *p == other) ++p;
    return p;
}

const char16_t* read_line(std::u16string& out, const char16_t* begin, const char16_t* end) {
    out.clear();
    return read_until_line_break(out, begin, end, carriage_return, line_feed);
}

const char16_t* read_word(std::u16string& out, const char16_t* begin, const char16_t* end) {
    out.clear();
    const char16_t* p = begin;
    while (p != end && !is_space(*p)) ++p;
    out.append(begin, p);
    return p;
}

}  // namespace liba
