#include "platform/linux/registry/registry_seed.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/registry/registry_store.h"
#include "platform/registry.h"
#include "platform/resources.h"

namespace platform::detail {
namespace {

// Fixed ids, so that every process that reads a root never stored yet sees the same keys
// (an id names a key across processes, see RegistryKey).
constexpr std::uint64_t seeded_id_base = 0x5EEDB077000000ull;

std::vector<BYTE> string_data(std::u16string_view text) {
    std::vector<BYTE> data;
    for (char16_t const c : text) {
        data.push_back(static_cast<BYTE>(c & 0xFF));
        data.push_back(static_cast<BYTE>(c >> 8));
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

void seed_buttons(RegistryKey& root) {
    std::uint64_t id = seeded_id_base;
    RegistryKey* key = &root;
    for (auto const* name : {u"SOFTWARE", u"Microsoft", u"Shell", u"Keys"}) key = &key->add_subkey(name, ++id);
    for (int button = 1; button <= 6; ++button) {
        std::u16string const name = u"40C" + std::u16string(1, static_cast<char16_t>(u'0' + button));
        RegistryKey& button_key = key->add_subkey(name, ++id);
        button_key.set_value(u"Name", REG_SZ,
                             string_data(u"Button " + std::u16string(1, static_cast<char16_t>(u'0' + button))));
        // Its small system icon: "library,index".
        std::string const index = std::to_string(SYSTEM_ICON_BUTTON_FIRST - 1 + button);
        std::u16string const icon = std::u16string(SYSTEM_ICON_LIBRARY) + u"," + std::u16string(index.begin(), index.end());
        button_key.set_value(u"Icon", REG_SZ, string_data(icon));
    }
}

}  // namespace

void seed_new_hive(const std::string& base_path, RegistryKey& root) {
    if (base_path == hive_base_path(HKEY_LOCAL_MACHINE)) seed_buttons(root);
}

}  // namespace platform::detail
