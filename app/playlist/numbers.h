// Number conversions of the playlist formats, safe for any value a file may hold.
#pragma once

#include <cstdint>
#include <string>

namespace playlist {

// The value truncated toward zero, held to the type's range; 0 for a value that is not a
// number.
int saturated_int(double value);
std::int64_t saturated_int64(double value);

// Seconds as whole milliseconds, truncated toward zero ("ms" of the XML formats).
std::u16string milliseconds_text(double seconds);

// The real number at the start of the text; false when there is none.
bool parse_number(const std::u16string& text, double& value);
// The same for a text that may end with one unit character after the number (the unit is
// dropped only when it is not a digit, so plain numbers keep their last digit).
bool parse_number_with_unit(const std::u16string& text, double& value);

}  // namespace playlist
