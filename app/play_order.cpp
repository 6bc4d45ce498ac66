#include "app/play_order.h"

#include <algorithm>
#include <cstdlib>

#include "platform/datetime.h"

namespace {

constexpr std::int32_t shuffle_rounds = 5;

// A uniform value in 0..limit from rand(), joining 15-bit draws while the range needs more.
std::int32_t random_up_to(std::int32_t limit) {
    std::uint64_t const range = static_cast<std::uint64_t>(limit) + 1;
    std::uint64_t span = 1;
    std::uint64_t value = 0;
    while (span < range) {
        value = (value << 15) | (static_cast<std::uint64_t>(std::rand()) & 0x7FFF);
        span <<= 15;
    }
    // Rejection keeps the draw uniform.
    std::uint64_t const usable = span - span % range;
    if (value >= usable) return random_up_to(limit);
    return static_cast<std::int32_t>(value % range);
}

void shuffle_block(std::vector<std::int32_t>& order, std::size_t first, std::int32_t n) {
    for (std::int32_t i = 1; i < n; ++i) {
        std::int32_t const j = random_up_to(i);
        std::swap(order[first + static_cast<std::size_t>(i)], order[first + static_cast<std::size_t>(j)]);
    }
}

}  // namespace

void PlayOrder::rebuild(std::int32_t n, std::int32_t start, int mode) {
    shuffle = mode == play_playlist_shuffle;
    count = shuffle ? shuffle_rounds * n : n;
    entry_count = n;
    repeat = mode > play_playlist_once;
    order.clear();
    place = 0;
    if (count < 1) return;
    for (std::int32_t i = 0; i < count; ++i) order.push_back(i % n);
    if (!shuffle) {
        place = start > 0 ? start : 0;
        return;
    }
    std::srand(GetTickCount());
    for (std::int32_t round = 0; round < shuffle_rounds; ++round) {
        shuffle_block(order, static_cast<std::size_t>(round * n), n);
    }
    if (start >= 0) {
        std::int32_t d = start - order.front();
        if (d < 0) d = n - (-d % n);
        for (auto& value : order) value = (value + d) % n;
    }
}

void PlayOrder::reapply(int mode) {
    if (count <= 0) return;
    std::int32_t const current = place >= 0 ? order[static_cast<std::size_t>(place % count)] : -1;
    rebuild(entry_count, current, mode);
}

std::int32_t PlayOrder::step(std::int32_t delta) {
    if (count < 1) return 0;
    std::int32_t p = place + delta;
    p = repeat ? std::max(p, 0) : std::clamp(p, 0, count - 1);
    place = p;
    return order[static_cast<std::size_t>(p % count)];
}
