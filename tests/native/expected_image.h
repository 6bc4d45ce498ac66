// Screenshots kept as expected PNG images beside the tests, compared within a small
// tolerance. SONBRIX_UPDATE_EXPECTED_IMAGES=1 writes the screenshot as the new expected
// image (look at it before committing it).
#pragma once

#include <string>

#include "platform/linux/screen/screen_control.h"

namespace date_controls {

// Empty when the picture matches the expected image of that name, else why not.
std::string compare_with_expected(const platform::screen::ScreenPicture& picture, const std::string& name);

}  // namespace date_controls
