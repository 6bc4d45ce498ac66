#pragma once

#include "skin/resource_id_pool.h"

namespace screens {

// The resource ids handed to the menu bars and soft-key bars of the program's screens.
struct BarIdPools {
    skinner::ResourceIdPool menu_bar_ids{117};
    skinner::ResourceIdPool soft_key_bar_ids{1117};
};

// Built before the main routine (or at the first call from an earlier initialiser).
BarIdPools& bar_id_pools();

}  // namespace screens
