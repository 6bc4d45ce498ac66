// The device that the program runs on: a host folder that holds the device's file system
// (fs/, the root "\"), its registry (registry/) and its run folder (run/). Used by the rest
// of the platform layer and by tests; the program itself only sees device paths.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// SONBRIX_DEVICE, else $XDG_DATA_HOME/sonbrix/device, else $HOME/.local/share/sonbrix/device.
// The environment is read at every call.
std::string device_folder();

// The host path of an absolute device path ("\My Documents\a.wav"; '\' and '/' both separate,
// the leading separator is optional, empty components and "." are skipped, ".." goes up).
// The device's file system ignores case but keeps it: each component is taken as it stands
// when such an entry exists, else the entry whose name equals it ignoring case, else it is
// kept as given (a name about to be created). A path that would leave the root is refused:
// nullopt, with the last error set; so is one that a symbolic link inside the file system
// leads outside it (ERROR_ACCESS_DENIED). The first call for a device folder in this
// process creates the file system root and the special folders; the first that reaches the
// root or "\Windows" makes the system sounds in "\Windows" where they are missing.
std::optional<std::string> host_path(std::u16string_view device_path);

// As host_path for a program to start: the program itself may be a link to a program kept
// elsewhere on the host (the folders on its way may not).
std::optional<std::string> host_path_of_program(std::u16string_view device_path);

// The device path ("\a\b.wav", "\" for the root) of a host path inside the device's file
// system; nullopt for any other host path. Creates nothing.
std::optional<std::u16string> device_path(const std::string& host_path);

}  // namespace platform
