// UTF-8 (sources, command lines) to and from UTF-16 (skin texts).
#pragma once

#include <string>

namespace skin_compiler {

std::u16string utf8_to_utf16(const std::string& text);
std::string utf16_to_utf8(const std::u16string& text);

}  // namespace skin_compiler
