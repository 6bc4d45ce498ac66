#include "screens/bar_id_pools.h"

namespace screens {

BarIdPools& bar_id_pools() {
    static BarIdPools pools;
    return pools;
}

namespace {
// Builds the pools during static initialisation, before the main routine runs.
[[maybe_unused]] BarIdPools& built_at_start = bar_id_pools();
}  // namespace

}  // namespace screens
