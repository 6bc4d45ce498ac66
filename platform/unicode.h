// UTF-16 text helpers of the platform layer: conversions to and from the host's
// UTF-8 (paths, terminal output) and simple case mapping of UTF-16 units.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Invalid input is replaced by U+FFFD; never fails.
std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);

// Case mapping of one UTF-16 unit (Unicode simple mapping, Basic Multilingual Plane;
// surrogates and units without a one-unit mapping stay as they are).
char16_t to_lower(char16_t c);
char16_t to_upper(char16_t c);

bool equal_ignore_case(std::u16string_view a, std::u16string_view b);
// Orders as the lower-case forms compare.
int compare_ignore_case(std::u16string_view a, std::u16string_view b);

}  // namespace platform
