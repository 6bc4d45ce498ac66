// Starting the native controls: a program calls this once, before it makes windows. It
// registers their classes ("STATIC" and the message box's) for
// CreateWindowExW and puts the message box on the screen behind MessageBoxW.
#pragma once

namespace native {

void start_native_controls();

}  // namespace native
