#include <time.h>

#include <atomic>
#include <cstdlib>
#include <mutex>

#include "platform/datetime.h"
#include "platform/testing.h"

namespace {

std::atomic<DWORD> tick_offset{0};
std::once_flag offset_read;

void read_offset_from_environment() {
    std::call_once(offset_read, [] {
        if (char const* text = std::getenv("SONBRIX_TICK_OFFSET")) {
            tick_offset = static_cast<DWORD>(std::strtoull(text, nullptr, 0));
        }
    });
}

}  // namespace

DWORD GetTickCount() {
    read_offset_from_environment();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    auto const milliseconds = static_cast<unsigned long long>(now.tv_sec) * 1000u +
                              static_cast<unsigned long long>(now.tv_nsec) / 1'000'000u;
    return static_cast<DWORD>(milliseconds) + tick_offset.load();
}

namespace platform {

void set_tick_offset(DWORD offset) {
    read_offset_from_environment();
    tick_offset = offset;
}

}  // namespace platform
