// The popup menus of the process: their handles and items.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/menus.h"

namespace native {

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;            // the command id; 0 for a submenu or a separator
    HMENU submenu = nullptr;    // MF_POPUP
    std::u16string text;        // before the "\t"
    std::u16string shortcut;    // after it, drawn right-aligned

    bool is_separator() const { return (flags & MF_SEPARATOR) != 0; }
    bool is_submenu() const { return (flags & MF_POPUP) != 0; }
    bool is_enabled() const { return (flags & (MF_GRAYED | MF_DISABLED)) == 0; }
    bool is_checked() const { return (flags & MF_CHECKED) != 0; }
};

// The items of the menu as they are now; nothing for a handle that is no menu.
std::optional<std::vector<MenuItem>> menu_items(HMENU menu);

}  // namespace native
