// Questions about local memory blocks for the rest of the Linux back end.
#pragma once

#include "platform/memory.h"

namespace platform::detail {

// Whether the handle is a block that LocalAlloc made and LocalFree has not freed yet.
bool is_local_block(HLOCAL block);

}  // namespace platform::detail
