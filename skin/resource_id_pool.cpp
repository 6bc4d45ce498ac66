#include "skin/resource_id_pool.h"

namespace skinner {

int ResourceIdPool::acquire() {
    for (int i = 0; i < id_count; ++i) {
        if (taken_[static_cast<std::size_t>(i)]) continue;
        taken_[static_cast<std::size_t>(i)] = true;
        return first_id_ + i;
    }
    return 0;
}

void ResourceIdPool::release(int id) {
    if (contains(id)) taken_[static_cast<std::size_t>(id - first_id_)] = false;
}

}  // namespace skinner
