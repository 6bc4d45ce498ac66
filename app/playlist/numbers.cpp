#include "app/playlist/numbers.h"

#include <cmath>
#include <limits>

#include "foundation/text_convert.h"
#include "foundation/text_parse.h"

namespace playlist {
namespace {

template <class Int>
Int saturated(double value) {
    if (std::isnan(value)) return 0;
    double const truncated = std::trunc(value);
    // The limits as doubles: the lowest is exact, the highest rounds up to a power of two.
    if (truncated <= static_cast<double>(std::numeric_limits<Int>::lowest())) return std::numeric_limits<Int>::lowest();
    if (truncated >= static_cast<double>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
    return static_cast<Int>(truncated);
}

}  // namespace

int saturated_int(double value) { return saturated<int>(value); }

std::int64_t saturated_int64(double value) { return saturated<std::int64_t>(value); }

std::u16string milliseconds_text(double seconds) {
    std::u16string text;
    liba::narrow_to_wide(liba::format_long(static_cast<long>(saturated_int64(seconds * 1000.0))), text);
    return text;
}

bool parse_number(const std::u16string& text, double& value) {
    return liba::parse_double(value, text.data(), text.data() + text.size()) != nullptr;
}

bool parse_number_with_unit(const std::u16string& text, double& value) {
    std::u16string number = text;
    if (!number.empty() && !liba::is_digit(number.back()) && !liba::is_space(number.back())) number.pop_back();
    return parse_number(number, value);
}

}  // namespace playlist
