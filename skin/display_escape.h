// The display driver's escapes as the display power manager calls them: the platform's
// ExtEscape, which tests can replace.
#pragma once

#include <functional>

#include "platform/windows.h"

namespace skinner::display {

using Escape = std::function<int(HDC dc, int escape, int input_size, const char* input, int output_size, char* output)>;

int ext_escape(HDC dc, int escape, int input_size, const char* input, int output_size, char* output);

// Replaces the driver for tests; an empty function puts back the default.
void set_escape_override(Escape escape);

}  // namespace skinner::display
