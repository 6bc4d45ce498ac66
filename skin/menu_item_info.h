// One entry of a menu as the skinned screens describe it: the menu bars, the soft keys and
// the popup menus are built from these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skinner {

struct MenuItemInfo {
    std::vector<MenuItemInfo> children;  // not empty: the entry opens a submenu
    std::u16string command;              // what the receiving control's on_command gets
    std::uintptr_t id = 0;               // the menu managers keep the receiving control here
    std::u16string text;
    std::u16string shortcut;             // shown right-aligned after the text
    bool enabled = true;
    bool separator_after = false;
    bool checked = false;
    std::int32_t image_index = -1;       // the menu bar's toolbar image; -1 for text only
};

}  // namespace skinner
