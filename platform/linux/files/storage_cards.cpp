// The storage-card list of the device folder and the card search: FindFirstFlashCard,
// FindNextFlashCard (the search object itself lives with the directory search).
#include "platform/linux/files/storage_cards.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "platform/device.h"
#include "platform/linux/files/entries.h"
#include "platform/unicode.h"

namespace platform::detail {

namespace {

std::string_view trimmed(std::string_view line) {
    auto const is_space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!line.empty() && is_space(line.front())) line.remove_prefix(1);
    while (!line.empty() && is_space(line.back())) line.remove_suffix(1);
    return line;
}

}  // namespace

std::vector<std::u16string> storage_card_names() {
    std::vector<std::u16string> names;
    std::ifstream list(device_folder() + "/storage-cards");
    std::string line;
    while (std::getline(list, line)) {
        std::string_view const name = trimmed(line);
        if (name.empty() || name.front() == '#') continue;
        std::u16string wide = utf8_to_utf16(name);
        // A card is one folder of the root: a name with a separator or a wildcard is none.
        if (wide.find_first_of(u"\\/") != std::u16string::npos || has_invalid_name_character(wide)) continue;
        if (wide == u"." || wide == u"..") continue;
        names.push_back(std::move(wide));
    }
    return names;
}

bool is_storage_card_name(const std::vector<std::u16string>& names, std::u16string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [name](const std::u16string& card) { return equal_ignore_case(card, name); });
}

bool is_storage_card(const std::string& host_path) {
    if (!is_device_root(host_parent(host_path))) return false;
    struct stat status;
    if (lstat(host_path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
    std::string const host_name = host_path.substr(host_path.rfind('/') + 1);
    return is_storage_card_name(storage_card_names(), utf8_to_utf16(host_name));
}

}  // namespace platform::detail
