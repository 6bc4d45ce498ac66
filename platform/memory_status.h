// How much memory the device has and how much of it is free.
#pragma once

#include <optional>

#include "platform/types.h"

struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;  // percent in use
    SIZE_T dwTotalPhys;
    SIZE_T dwAvailPhys;
    SIZE_T dwTotalPageFile;
    SIZE_T dwAvailPageFile;
    SIZE_T dwTotalVirtual;
    SIZE_T dwAvailVirtual;
};
using LPMEMORYSTATUS = MEMORYSTATUS*;

// Fills the record from the host's figures.
void GlobalMemoryStatus(LPMEMORYSTATUS status);

namespace platform {

// Test hook: the free physical memory that GlobalMemoryStatus reports instead of the
// host's; nullopt returns to the host's figure.
void set_available_physical_memory(std::optional<SIZE_T> bytes);

}  // namespace platform
