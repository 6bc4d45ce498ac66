#include "native/menu_table.h"

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/errors.h"

namespace native {
namespace {

struct Menu {
    std::vector<MenuItem> items;
};

class MenuTable {
public:
    HMENU create() {
        std::lock_guard lock(mutex_);
        next_ += step;
        HMENU const handle = reinterpret_cast<HMENU>(next_);
        menus_[handle] = {};
        return handle;
    }

    bool append(HMENU handle, MenuItem item) {
        std::lock_guard lock(mutex_);
        auto const menu = menus_.find(handle);
        if (menu == menus_.end()) return false;
        menu->second.items.push_back(std::move(item));
        return true;
    }

    // The item taken out, nothing when there is no such menu or item.
    std::optional<MenuItem> remove(HMENU handle, UINT which, UINT flags) {
        std::lock_guard lock(mutex_);
        auto const menu = menus_.find(handle);
        if (menu == menus_.end()) return std::nullopt;
        auto& items = menu->second.items;
        for (std::size_t index = 0; index < items.size(); ++index) {
            bool const named = (flags & MF_BYPOSITION) ? index == which
                                                       : !items[index].is_submenu() && !items[index].is_separator() &&
                                                             items[index].id == which;
            if (!named) continue;
            MenuItem item = items[index];
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
            return item;
        }
        return std::nullopt;
    }

    // The menu's items, taken out of the table with it; nothing for no menu.
    std::optional<std::vector<MenuItem>> erase(HMENU handle) {
        std::lock_guard lock(mutex_);
        auto const menu = menus_.find(handle);
        if (menu == menus_.end()) return std::nullopt;
        std::vector<MenuItem> items = std::move(menu->second.items);
        menus_.erase(menu);
        return items;
    }

    std::optional<std::vector<MenuItem>> items(HMENU handle) {
        std::lock_guard lock(mutex_);
        auto const menu = menus_.find(handle);
        if (menu == menus_.end()) return std::nullopt;
        return menu->second.items;
    }

    bool contains(HMENU handle) {
        std::lock_guard lock(mutex_);
        return menus_.count(handle) != 0;
    }

private:
    // Menu handles are spaced so that they do not look like small numbers (command ids).
    static constexpr std::uintptr_t step = 0x10;
    std::mutex mutex_;
    std::uintptr_t next_ = 0x4D000000;
    std::map<HMENU, Menu> menus_;
};

MenuTable& table() {
    static MenuTable instance;
    return instance;
}

void destroy_tree(HMENU menu, int depth = 0) {
    auto const items = table().erase(menu);
    if (!items || depth > 64) return;
    for (auto const& item : *items) {
        if (item.is_submenu()) destroy_tree(item.submenu, depth + 1);
    }
}

MenuItem make_item(UINT flags, UINT_PTR id, LPCWSTR text) {
    MenuItem item;
    item.flags = flags;
    if (item.is_separator()) return item;
    if (item.is_submenu()) {
        item.submenu = reinterpret_cast<HMENU>(id);
    } else {
        item.id = id;
    }
    std::u16string const whole = text ? std::u16string(text) : std::u16string();
    auto const tab = whole.find(u'\t');
    item.text = whole.substr(0, tab);
    if (tab != std::u16string::npos) item.shortcut = whole.substr(tab + 1);
    return item;
}

}  // namespace

std::optional<std::vector<MenuItem>> menu_items(HMENU menu) { return table().items(menu); }

}  // namespace native

HMENU CreatePopupMenu() { return native::table().create(); }

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text) {
    native::MenuItem item = native::make_item(flags, id, text);
    if (item.is_submenu() && (!native::table().contains(item.submenu) || item.submenu == menu)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!native::table().append(menu, std::move(item))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) {
    if (!native::table().contains(menu)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto const removed = native::table().remove(menu, item, flags);
    if (!removed) {
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
        return FALSE;
    }
    if (removed->is_submenu()) native::destroy_tree(removed->submenu);
    return TRUE;
}

BOOL DestroyMenu(HMENU menu) {
    if (!native::table().contains(menu)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    native::destroy_tree(menu);
    return TRUE;
}
