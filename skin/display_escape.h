// The display driver's escapes as the display power manager calls them. Until the platform
// has ExtEscape, the default driver supports no escape; tests replace it.
#pragma once

#include <functional>

#include "platform/windows.h"

namespace skinner::display {

constexpr int QUERYESCSUPPORT = 8;
constexpr int SETPOWERMANAGEMENT = 6147;
constexpr int GETPOWERMANAGEMENT = 6148;

using Escape = std::function<int(HDC dc, int escape, int input_size, const char* input, int output_size, char* output)>;

int ext_escape(HDC dc, int escape, int input_size, const char* input, int output_size, char* output);

// Replaces the driver for tests; an empty function puts back the default.
void set_escape_override(Escape escape);

}  // namespace skinner::display
