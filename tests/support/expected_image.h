// Screenshots kept as expected PNG images beside the tests, compared within a small
// tolerance. SONBRIX_UPDATE_EXPECTED_IMAGES=1 writes the screenshot as the new expected
// image (look at it before committing it).
#pragma once

#include <string>

#include "platform/linux/screen/screen_control.h"

namespace testing_support {

// Empty when the picture matches the expected image `folder`/`name`.png, else why not.
std::string compare_with_expected(const platform::screen::ScreenPicture& picture, const std::string& folder,
                                  const std::string& name);

}  // namespace testing_support
