// Mapping of host errors to the platform's error codes (inside the Linux back end only).
#pragma once

#include "platform/types.h"

namespace platform::detail {

DWORD error_from_errno(int host_error);
// Sets the last error from errno and returns it.
DWORD set_last_error_from_errno();

}  // namespace platform::detail
