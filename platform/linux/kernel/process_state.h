// The per-process state of the Linux back end that can be put back to how a new process
// finds it (inside the Linux back end only). Each subsystem keeps its state in an object of
// its own; these functions, defined beside each object, put it back. Live objects (handles,
// open keys, named mutexes, mappings, sockets, devices) are never reset.
#pragma once

namespace platform::detail {

void forget_wave_notes();        // sound/: the notes about settings and the null device
void forget_back_end_modules();  // kernel/back_end_module.cpp: which modules were found
void forget_media_notes();       // media/: the note about a missing media module
void forget_prepared_devices();  // kernel/device.cpp: which device folders were set up
void forget_registry_cache();    // registry/: the parsed hives

}  // namespace platform::detail
