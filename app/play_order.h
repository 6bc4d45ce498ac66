// The order in which the Document plays its playlist: straight through, or five shuffled
// rounds; in repeat mode the place keeps growing and is taken modulo the order's length.
#pragma once

#include <cstdint>
#include <vector>

// Play modes, as stored in the settings.
enum PlayMode : int {
    play_single_once = 0,
    play_single_repeat = 1,
    play_playlist_once = 2,
    play_playlist_repeat = 3,
    play_playlist_shuffle = 4,
};

struct PlayOrder {
    std::vector<std::int32_t> order;  // playlist indexes in play order
    std::int32_t place = 0;
    std::int32_t entry_count = 0;
    std::int32_t count = 0;  // length of order: entry_count, or 5 x entry_count shuffled
    bool shuffle = false;
    bool repeat = false;

    // A new order for n entries that starts at the start index (-1: anywhere, shuffled).
    void rebuild(std::int32_t n, std::int32_t start, int mode);
    // The same entries in another mode, keeping the current entry first.
    void reapply(int mode);
    // Moves the place by delta (held inside the order unless repeating); the index there.
    std::int32_t step(std::int32_t delta);
    // Whether there is a place after the current one.
    bool has_next() const { return count >= 1 && (repeat || place < count - 1); }
    bool has_previous() const { return count > 0 && place > 0; }
};
