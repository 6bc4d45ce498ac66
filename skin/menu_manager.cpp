#include "skin/menu_manager.h"

#include <algorithm>
#include <map>
#include <utility>

namespace skinner {

namespace {

struct FormMenus {
    std::vector<MenuManager::Item*> items;
    bool dirty = false;
};

// Kept beside the forms until their window side holds the list itself.
std::map<Form*, FormMenus>& menus() {
    static std::map<Form*, FormMenus> by_form;
    return by_form;
}

}  // namespace

void MenuManager::add_item(Form* form, Item* item) {
    auto& items = menus()[form].items;
    if (std::find(items.begin(), items.end(), item) == items.end()) {
        items.push_back(item);
        std::stable_sort(items.begin(), items.end(),
                         [](Item* a, Item* b) { return a->get_command_id() < b->get_command_id(); });
    }
    invalidate(form);
}

void MenuManager::remove_item(Form* form, Item* item) {
    auto const found = menus().find(form);
    if (found == menus().end()) return;
    auto& items = found->second.items;
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
    found->second.dirty = true;
}

std::vector<MenuManager::Item*> MenuManager::get_items(Form* form) {
    auto const found = menus().find(form);
    return found == menus().end() ? std::vector<Item*>{} : found->second.items;
}

void MenuManager::invalidate(Form* form) { menus()[form].dirty = true; }

bool MenuManager::take_dirty(Form* form) {
    auto const found = menus().find(form);
    if (found == menus().end()) return false;
    return std::exchange(found->second.dirty, false);
}

bool MenuManager::is_dirty(Form* form) {
    auto const found = menus().find(form);
    return found != menus().end() && found->second.dirty;
}

}  // namespace skinner
