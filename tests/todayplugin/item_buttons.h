// Centres of the start-screen item's buttons in the item skin at 240 pixels wide.
#pragma once

namespace today_item_test {

struct Button {
    const char* name;
    int x, y;
};
inline constexpr Button activate{"activate", 20, 26};
inline constexpr Button previous{"previous", 120, 38};
inline constexpr Button play{"play", 146, 38};
inline constexpr Button stop{"stop", 172, 38};
inline constexpr Button record{"record", 198, 38};
inline constexpr Button next{"next", 224, 38};

}  // namespace today_item_test
