#pragma once

#include <array>

namespace skinner {

// Five consecutive resource ids from a first id, handed out to the menu bars and soft-key
// bars that need an id of their own while they exist.
class ResourceIdPool {
public:
    static constexpr int id_count = 5;

    explicit ResourceIdPool(int first_id) : first_id_(first_id) {}

    // The lowest free id, now taken; 0 when all are taken.
    int acquire();
    // Gives a taken id back; ids outside the pool are ignored.
    void release(int id);

    int get_first_id() const { return first_id_; }
    bool contains(int id) const { return id >= first_id_ && id < first_id_ + id_count; }

private:
    int first_id_;
    std::array<bool, id_count> taken_{};
};

}  // namespace skinner
