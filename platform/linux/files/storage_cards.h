// Which folders of the device's root are storage cards (inside the Linux back end only).
// The device folder's file "storage-cards" names them, one name a line (UTF-8; blank lines
// and lines beginning with '#' are skipped); a named folder that exists in fs/ is a card
// that is present, a name without its folder a card that has been taken out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// The card names as the list gives them; empty without a list.
std::vector<std::u16string> storage_card_names();

// Whether the name (a folder of the root) is in the list, ignoring case.
bool is_storage_card_name(const std::vector<std::u16string>& names, std::u16string_view name);

// Whether the host path is a folder of the device's root that the list names.
bool is_storage_card(const std::string& host_path);

}  // namespace platform::detail
