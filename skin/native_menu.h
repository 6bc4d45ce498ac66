// Native menus filled from menu item descriptions, and the popup menu that returns the
// chosen command. A command list (and the optional id list beside it) maps a native
// menu's command id, its index in the list, back to the item's command string (and id).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/menus.h"
#include "skin/geometry.h"
#include "skin/menu_item_info.h"

namespace skinner {

class Form;

using MenuCommandList = std::vector<std::u16string>;
using MenuIdList = std::vector<std::uintptr_t>;

// Appends every item in order; no separator follows the last one.
void append_menu_items(const std::vector<MenuItemInfo>& items, HMENU menu, MenuCommandList& commands,
                       MenuIdList* ids);
// Appends one item: a command with the next command id, or (with children) an empty
// submenu that is filled when it opens; then the separator it asks for, unless it is last.
void append_menu_item(const MenuItemInfo& item, HMENU menu, MenuCommandList& commands, MenuIdList* ids,
                      bool is_last);

// Alignment of the menu on the point: horizontal 0 left, 1 centre, 2 right; vertical 0 top,
// 1 centre, 2 bottom.
struct MenuAlignment {
    int horizontal = 0;
    int vertical = 0;
};

// Shows the items as a popup menu at the point (the owner's client coordinates) and waits
// for the user. The chosen item's command string, empty when the menu was dismissed; the
// chosen item's id in *chosen_id (0 when dismissed).
std::u16string track_popup_menu(HWND owner, const std::vector<MenuItemInfo>& items, Point point,
                                MenuAlignment alignment = {}, std::uintptr_t* chosen_id = nullptr);

// The same over a form's window.
std::u16string track_popup_menu(const Form& form, const std::vector<MenuItemInfo>& items, Point point,
                                MenuAlignment alignment = {}, std::uintptr_t* chosen_id = nullptr);
// A context menu at the point, left and top aligned: true, with the chosen command (and id),
// when the user chose an item with a command.
bool show_popup_menu(const std::vector<MenuItemInfo>& items, std::u16string& command, const Form& form, Point point,
                     std::uintptr_t* chosen_id = nullptr);

}  // namespace skinner
