#include "skin/native_menu.h"

#include "skin/form.h"

namespace skinner {

namespace {

UINT item_flags(const MenuItemInfo& item) {
    UINT flags = MF_STRING;
    if (!item.enabled) flags |= MF_GRAYED;
    if (item.checked) flags |= MF_CHECKED;
    return flags;
}

std::u16string item_text(const MenuItemInfo& item) {
    if (item.shortcut.empty()) return item.text;
    return item.text + u"\t" + item.shortcut;
}

UINT horizontal_flag(int alignment) {
    switch (alignment) {
    case 1: return TPM_CENTERALIGN;
    case 2: return TPM_RIGHTALIGN;
    default: return TPM_LEFTALIGN;
    }
}

UINT vertical_flag(int alignment) {
    switch (alignment) {
    case 1: return TPM_VCENTERALIGN;
    case 2: return TPM_BOTTOMALIGN;
    default: return TPM_TOPALIGN;
    }
}

}  // namespace

void append_menu_items(const std::vector<MenuItemInfo>& items, HMENU menu, MenuCommandList& commands,
                       MenuIdList* ids) {
    for (std::size_t index = 0; index < items.size(); ++index) {
        append_menu_item(items[index], menu, commands, ids, index + 1 == items.size());
    }
}

void append_menu_item(const MenuItemInfo& item, HMENU menu, MenuCommandList& commands, MenuIdList* ids,
                      bool is_last) {
    std::u16string const text = item_text(item);
    if (item.children.empty()) {
        AppendMenuW(menu, item_flags(item), commands.size(), text.c_str());
        commands.push_back(item.command);
        if (ids) ids->push_back(item.id);
    } else {
        HMENU const submenu = CreatePopupMenu();
        if (!AppendMenuW(menu, item_flags(item) | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text.c_str()) &&
            submenu) {
            DestroyMenu(submenu);
        }
    }
    if (item.separator_after && !is_last) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

std::u16string track_popup_menu(HWND owner, const std::vector<MenuItemInfo>& items, Point point,
                                MenuAlignment alignment, std::uintptr_t* chosen_id) {
    MenuCommandList commands{u""};
    MenuIdList ids{0};
    if (chosen_id) *chosen_id = 0;
    HMENU const menu = CreatePopupMenu();
    if (!menu) return {};
    append_menu_items(items, menu, commands, &ids);
    POINT screen_point{point.x, point.y};
    ClientToScreen(owner, &screen_point);
    UINT const flags = horizontal_flag(alignment.horizontal) | vertical_flag(alignment.vertical) | TPM_RETURNCMD;
    auto const chosen = static_cast<std::size_t>(TrackPopupMenuEx(menu, flags, screen_point.x, screen_point.y, owner, nullptr));
    DestroyMenu(menu);
    if (chosen >= commands.size()) return {};
    if (chosen_id) *chosen_id = ids[chosen];
    return commands[chosen];
}

std::u16string track_popup_menu(const Form& form, const std::vector<MenuItemInfo>& items, Point point,
                                MenuAlignment alignment, std::uintptr_t* chosen_id) {
    return track_popup_menu(form.get_window(), items, point, alignment, chosen_id);
}

bool show_popup_menu(const std::vector<MenuItemInfo>& items, std::u16string& command, const Form& form, Point point,
                     std::uintptr_t* chosen_id) {
    command = track_popup_menu(form, items, point, {}, chosen_id);
    return !command.empty();
}

}  // namespace skinner
