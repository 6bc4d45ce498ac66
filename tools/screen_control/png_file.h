// Writes a screen picture as an 8-bit RGB PNG.
#pragma once

#include <string>

#include "platform/linux/screen/screen_control.h"

namespace screen_control {

// Writes beside the file first and renames it over, so a failed write leaves no half file;
// false with the reason in error.
bool write_png(const std::string& path, const platform::screen::ScreenPicture& picture, std::string& error);

}  // namespace screen_control
