// The elapsed time as the start-screen item shows it: "mm:ss", or "hh:mm" from one hour on.
#pragma once

#include <string>

namespace todayplugin {

// Whole seconds (truncated toward zero); each number shows its last two digits.
std::u16string elapsed_text(double seconds);

}  // namespace todayplugin
