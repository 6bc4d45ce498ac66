#pragma once

#include <cstdint>

namespace liba {

// Lets other threads run for at least the given number of milliseconds.
void sleep(std::uint32_t milliseconds);

// Atomic for every thread of the process; the result is the new value.
std::int32_t atomic_increment(volatile std::int32_t* count);
std::int32_t atomic_decrement(volatile std::int32_t* count);

}  // namespace liba
