// The wake-up agent (inside the Linux back end only): one background process per device
// that starts the registered programs at their times and ends when nothing is registered.
// It is the calling program's own executable, run again with SONBRIX_WAKE_UP_AGENT set: a
// static initialiser of the platform sees the variable and runs the agent instead of the
// program, so no separate executable has to be found.
#pragma once

#include <string>

namespace platform::detail {

// Starts the agent of the device unless one holds the agent lock. The caller holds the
// state lock of the wake-up folder.
void ensure_wake_up_agent(const std::string& device_folder, const std::string& wake_up_folder);

}  // namespace platform::detail
