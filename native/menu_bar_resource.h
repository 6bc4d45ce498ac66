// A menu-bar resource: the buttons a new menu bar starts with, as lines of text:
//
//     # a comment
//     button ID plain|dropdown|separator IMAGE|- [TEXT]
//
// ID is the command id (1 to 65535), IMAGE the index of the button's image or "-" for none,
// TEXT the rest of the line (UTF-8). A drop-down button gets an empty popup menu of its own.
// The data is untrusted: anything else makes the whole resource unusable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/menu_bar.h"

namespace native {

struct MenuBarEntry {
    int command = 0;
    BYTE style = TBSTYLE_BUTTON;
    int image = I_IMAGENONE;
    std::u16string text;
};

struct MenuBarLayout {
    std::vector<MenuBarEntry> buttons;
};

// The buttons of the resource's text; nullopt (and `problem` says why, with the line) when
// it is damaged.
std::optional<MenuBarLayout> parse_menu_bar_resource(std::string_view data, std::string& problem);

}  // namespace native
