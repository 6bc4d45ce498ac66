// The device's screen server (inside the Linux back end only). It is the calling program's
// own executable, run again with SONBRIX_SCREEN_SERVER set: a static initialiser sees the
// variable and runs the server instead of the program (as the wake-up agent is started).
#pragma once

namespace platform::screen {

// Starts the device's server unless one runs or is starting (it holds the server lock).
void ensure_screen_server();

}  // namespace platform::screen
