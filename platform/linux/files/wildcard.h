// The device's wildcard rules for directory searches (inside the Linux back end only).
#pragma once

#include <string_view>

namespace platform::detail {

bool has_wildcard(std::u16string_view text);

// '*' matches any run of characters, '?' exactly one; letters match ignoring case. A
// pattern ending in ".*" also matches a name without a dot by its part before ".*".
bool matches_wildcard(std::u16string_view pattern, std::u16string_view name);

}  // namespace platform::detail
