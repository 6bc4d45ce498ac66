// Hooks through which tests look at the device's timed starts.
#pragma once

#include <optional>
#include <string_view>

#include "platform/types.h"

namespace platform {

// The time at which the application (a device path, any case) is registered to start.
std::optional<SYSTEMTIME> registered_wake_up(std::u16string_view application);

// Whether the device's wake-up agent is running now.
bool wake_up_agent_running();

}  // namespace platform
