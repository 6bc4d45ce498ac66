// The device's run folder (inside the Linux back end only): <device>/run, beside fs/ and
// registry/. It holds what the device's live processes share: window announcements and
// named mutexes and named shared-memory blocks.
#pragma once

#include <string>
#include <string_view>

namespace platform::detail {

// The run folder's subfolder of that name, created when missing (read from SONBRIX_DEVICE
// at every call).
std::string run_subfolder(const std::string& name);

// A host file name for any object name (mutexes, shared-memory blocks): letters, digits,
// '-', '_' and '.' stay, other bytes of its UTF-8 form become %XX; very long names are
// shortened with a hash.
std::string run_file_name(std::u16string_view object_name);

// The current device's folder as the key of a process-wide table of named objects.
std::string device_key();

}  // namespace platform::detail
