// The device's run folder (inside the Linux back end only): <device>/run, beside fs/ and
// registry/. It holds what the device's live processes share: window announcements and
// named mutexes.
#pragma once

#include <string>

namespace platform::detail {

// The run folder's subfolder of that name, created when missing (read from SONBRIX_DEVICE
// at every call).
std::string run_subfolder(const std::string& name);

}  // namespace platform::detail
