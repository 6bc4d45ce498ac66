// A device program for timed-start tests, and local times a little ahead.
#pragma once

#include <chrono>

#include "platform/datetime.h"
#include "platform/types.h"

namespace testing_support {

// Writes its arguments, its module path and the local time it started at to woke.txt.
constexpr const char* woken_program =
    "#!/bin/sh\n"
    "printf '%s\\n' \"$@\" \"$SONBRIX_MODULE\" \"$(date +%s.%N)\" > \"$SONBRIX_DEVICE/fs/woke.tmp\"\n"
    "mv \"$SONBRIX_DEVICE/fs/woke.tmp\" \"$SONBRIX_DEVICE/fs/woke.txt\"\n";

inline SYSTEMTIME local_time_in(std::chrono::milliseconds offset) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    unsigned long long value = (static_cast<unsigned long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    value += static_cast<unsigned long long>(offset.count()) * 10000;
    file.dwLowDateTime = static_cast<DWORD>(value);
    file.dwHighDateTime = static_cast<DWORD>(value >> 32);
    SYSTEMTIME later;
    FileTimeToSystemTime(&file, &later);
    return later;
}

}  // namespace testing_support
