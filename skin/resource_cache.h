// A program-wide cache of shared skin resources (pictures, fonts): an ordered map from a key
// to a use count and the owned object. The map exists while some reference object of its kind
// exists; an entry exists while some reference points at it. User-interface thread only.
#pragma once

#include <map>
#include <memory>

namespace skinner {

template <typename Key, typename Object>
class ResourceCache {
public:
    struct Entry {
        unsigned uses = 0;
        std::unique_ptr<Object> object;
    };
    using Map = std::map<Key, Entry>;
    using Position = typename Map::iterator;

    // A reference object was made; the first one creates the map.
    static void add_user() {
        if (users_++ == 0) map_ = new Map;
    }
    // A reference object ended; the last one deletes the map.
    static void drop_user() {
        if (--users_ == 0) {
            delete map_;
            map_ = nullptr;
        }
    }

    // The entry for the key, made with the factory when missing (a present key is never made
    // again), with one more use.
    template <typename Factory>
    static Position take(const Key& key, Factory&& make) {
        Position position = map_->find(key);
        if (position == map_->end()) position = map_->emplace(key, Entry{0, make()}).first;
        ++position->second.uses;
        return position;
    }
    static void add_use(Position position) {
        if (position != end()) ++position->second.uses;
    }
    // One use fewer; the last deletes the object and erases the entry.
    static void release(Position position) {
        if (position == end()) return;
        if (--position->second.uses == 0) map_->erase(position);
    }
    static Position end() { return map_->end(); }

    static unsigned get_users() { return users_; }
    static const Map* get_map() { return map_; }

private:
    inline static unsigned users_ = 0;
    inline static Map* map_ = nullptr;
};

}  // namespace skinner
