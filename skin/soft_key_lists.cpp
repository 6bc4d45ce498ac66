#include "skin/soft_key_lists.h"

#include "skin/control.h"

namespace skinner {

namespace {

bool is_tag(const std::u16string& text) {
    return text == soft_key_tag_ok || text == soft_key_tag_menu || text == soft_key_tag_tab;
}

// The items of the key, in their order on it.
std::vector<MenuManager::Item*> items_of(const std::vector<MenuManager::Item*>& items, SoftKey key) {
    std::vector<MenuManager::Item*> chosen;
    auto take = [&](auto&& wanted) {
        for (MenuManager::Item* item : items) {
            if (wanted(item->get_text())) chosen.push_back(item);
        }
    };
    if (key == SoftKey::left) {
        take([](const std::u16string& text) { return text == soft_key_tag_ok; });
    } else {
        take([](const std::u16string& text) { return !is_tag(text); });
        take([](const std::u16string& text) { return text == soft_key_tag_menu; });
        take([](const std::u16string& text) { return text == soft_key_tag_tab; });
    }
    return chosen;
}

void set_missing_receiver(MenuItemInfo& entry, std::uintptr_t receiver) {
    if (entry.id == 0) entry.id = receiver;
    for (auto& child : entry.children) set_missing_receiver(child, receiver);
}

void collect(MenuManager::Item& item, MenuItemInfo& soft_key) {
    MenuItemInfo entry;
    item.make_menu_entry(entry);
    if (!item.is_submenu()) {
        soft_key.children.push_back(std::move(entry));
        return;
    }
    std::uintptr_t const receiver = entry.id;
    if (auto* control = reinterpret_cast<Control*>(receiver)) control->on_menu_create(entry);
    if (is_tag(item.get_text())) {
        if (soft_key.text.empty()) soft_key.text = entry.text;
        for (auto& child : entry.children) {
            set_missing_receiver(child, receiver);
            soft_key.children.push_back(std::move(child));
        }
    } else {
        set_missing_receiver(entry, receiver);
        soft_key.children.push_back(std::move(entry));
    }
}

}  // namespace

MenuItemInfo build_soft_key(const std::vector<MenuManager::Item*>& items, SoftKey key,
                            const SoftKeyTranslator& translate, const std::u16string& name) {
    MenuItemInfo soft_key;
    soft_key.command = name;
    for (MenuManager::Item* item : items_of(items, key)) collect(*item, soft_key);
    if (soft_key.children.size() == 1) return MenuItemInfo(std::move(soft_key.children.front()));
    if (soft_key.children.size() >= 2 && soft_key.text.empty()) {
        soft_key.text = key == SoftKey::left ? translate(u"menuSoftButtonOk", u"Action")
                                             : translate(u"menuSoftButtonMenu", u"Menu");
    }
    return soft_key;
}

}  // namespace skinner
