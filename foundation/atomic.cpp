#include "foundation/atomic.h"

#include <type_traits>

#include "platform/kernel.h"

static_assert(std::is_same_v<LONG, std::int32_t>, "counts are the platform's interlocked LONG");

namespace liba {

void sleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

std::int32_t atomic_increment(volatile std::int32_t* count) { return InterlockedIncrement(count); }

std::int32_t atomic_decrement(volatile std::int32_t* count) { return InterlockedDecrement(count); }

}  // namespace liba
