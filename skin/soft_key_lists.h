// The two soft-key menus of a form, gathered from its menu items by their soft-key tags.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skin/menu_manager.h"

namespace skinner {

inline constexpr char16_t soft_key_tag_ok[] = u"#smartphone_ok#";
inline constexpr char16_t soft_key_tag_menu[] = u"#smartphone_menu#";
inline constexpr char16_t soft_key_tag_tab[] = u"#smartphone_tab#";

enum class SoftKey { left, right };

// The language text of a key, with the default when the language has none.
using SoftKeyTranslator = std::function<std::u16string(const std::u16string& key, const std::u16string& default_text)>;

// The soft key's entry: the left key holds the items tagged "ok", the right key the untagged
// items, then those tagged "menu", then "tab". A single child stands for the key itself; two
// or more without a text get the language's "menuSoftButtonOk" ("Action") or
// "menuSoftButtonMenu" ("Menu").
MenuItemInfo build_soft_key(const std::vector<MenuManager::Item*>& items, SoftKey key,
                            const SoftKeyTranslator& translate, const std::u16string& name = u"#FakeId#");

}  // namespace skinner
