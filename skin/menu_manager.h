// The menu items of a form: the controls that show up in its menu bar or soft-key menus,
// kept sorted by their command id. A change marks the form's menus for rebuilding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/menu_item_info.h"

namespace skinner {

class Form;

class MenuManager {
public:
    // One entry of a form's menus.
    class Item {
    public:
        virtual ~Item() = default;
        virtual void make_menu_entry(MenuItemInfo& entry) = 0;
        virtual bool is_submenu() = 0;
        // A soft-key tag, or the item's own name.
        virtual std::u16string get_text() = 0;
        // The sort key of the form's list.
        virtual std::int32_t get_command_id() = 0;
    };

    // Adds (sorted by command id; nothing when already there) and removes an item of the
    // form's list; both mark the form's menus dirty.
    static void add_item(Form* form, Item* item);
    static void remove_item(Form* form, Item* item);
    static std::vector<Item*> get_items(Form* form);
    // Marks the form's menus for rebuilding; take_dirty tells whether they were, and clears it.
    static void invalidate(Form* form);
    static bool take_dirty(Form* form);
    static bool is_dirty(Form* form);
};

}  // namespace skinner
