#include "platform/memory_status.h"

#include <sys/sysinfo.h>

#include <atomic>

namespace {

// SIZE_MAX stands for "no override".
std::atomic<SIZE_T> available_override{SIZE_MAX};

}  // namespace

void GlobalMemoryStatus(LPMEMORYSTATUS status) {
    if (!status) return;
    struct sysinfo info {};
    sysinfo(&info);
    SIZE_T const unit = info.mem_unit == 0 ? 1 : info.mem_unit;
    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwTotalPhys = info.totalram * unit;
    status->dwAvailPhys = (info.freeram + info.bufferram) * unit;
    status->dwTotalPageFile = info.totalswap * unit;
    status->dwAvailPageFile = info.freeswap * unit;
    status->dwTotalVirtual = status->dwTotalPhys + status->dwTotalPageFile;
    status->dwAvailVirtual = status->dwAvailPhys + status->dwAvailPageFile;
    SIZE_T const forced = available_override.load();
    if (forced != SIZE_MAX) status->dwAvailPhys = forced;
    status->dwMemoryLoad = status->dwTotalPhys == 0
                               ? 0
                               : static_cast<DWORD>(100 - status->dwAvailPhys * 100 / status->dwTotalPhys);
}

namespace platform {

void set_available_physical_memory(std::optional<SIZE_T> bytes) { available_override.store(bytes.value_or(SIZE_MAX)); }

}  // namespace platform
