// Breaking a text into the lines that fit a width in the font selected into a device
// context: at line breaks ("\n", "\r\n"), then between words, and inside a word that is
// wider than a line on its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi.h"

namespace native {

std::vector<std::u16string> wrap_lines(HDC dc, std::u16string_view text, int width);

}  // namespace native
