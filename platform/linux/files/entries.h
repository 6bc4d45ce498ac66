// Files and folders of the device's file system as the host keeps them (inside the Linux
// back end only): name checks, host paths of device names, errors and attributes.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform::detail {

// Wildcards, control characters and the others that no device name may hold.
bool has_invalid_name_character(std::u16string_view name);

// The host path of a device name given to a file operation; nullopt with the last error
// for a null name (ERROR_INVALID_PARAMETER), invalid characters (ERROR_INVALID_NAME) or a
// path that leaves the device.
std::optional<std::string> host_path_of_name(LPCWSTR name);
// As above for a program to start, which may itself be a link to a program elsewhere.
std::optional<std::string> host_path_of_program_name(LPCWSTR name);

// The device path's last component: the text after its last separator.
std::u16string_view last_component(std::u16string_view device_path);
// The host path up to its last '/'.
std::string host_parent(const std::string& host_path);

bool is_device_root(const std::string& host_path);
bool is_host_folder(const std::string& host_path);

// The error for an entry that is not there: ERROR_FILE_NOT_FOUND when its folder exists,
// else ERROR_PATH_NOT_FOUND.
DWORD missing_entry_error(const std::string& host_path);
// As above for a failed host call on the path; other host errors map as usual.
DWORD entry_error(int host_error, const std::string& host_path);

// By the host's file mode (st_mode).
bool is_read_only(mode_t mode);
// FILE_ATTRIBUTE_DIRECTORY and FILE_ATTRIBUTE_READONLY, or FILE_ATTRIBUTE_NORMAL alone.
DWORD attributes_of(mode_t mode);

// Sets the last error and returns FALSE.
BOOL fail_with(DWORD error);

}  // namespace platform::detail
