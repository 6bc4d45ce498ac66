#include "tools/today_host/registered_items.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "foundation/paths.h"
#include "platform/registry.h"

namespace today_host {
namespace {

const char16_t* const today_key = u"SOFTWARE\\Microsoft\\Today";
const char16_t* const items_key = u"SOFTWARE\\Microsoft\\Today\\Items";

// A key opened for reading only: nothing is created by looking.
class ReadKey {
public:
    ReadKey(HKEY parent, const std::u16string& path) {
        if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~ReadKey() {
        if (key_) RegCloseKey(key_);
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;

    HKEY get() const { return key_; }

    std::optional<DWORD> dword(const char16_t* name) const {
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = REG_NONE;
        if (!key_ || RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof value)
            return std::nullopt;
        return value;
    }

    // A REG_SZ or REG_EXPAND_SZ value up to its first terminator.
    std::u16string text(const char16_t* name) const {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (!key_ || RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
        if ((type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(char16_t)) return {};
        std::u16string value(size / sizeof(char16_t), u'\0');
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
            return {};
        value.resize(std::min<std::size_t>(value.size(), size / sizeof(char16_t)));
        return value.substr(0, value.find(u'\0'));
    }

private:
    HKEY key_ = nullptr;
};

RegisteredItem read_item(HKEY items, const std::u16string& name) {
    ReadKey const key(items, name);
    RegisteredItem item;
    item.name = name;
    item.library = key.text(u"DLL");
    if (!item.library.empty()) item.library = os::expand_path_macros(item.library);
    auto const order = key.dword(u"Order");
    item.has_order = order.has_value();
    item.order = order.value_or(0);
    item.enabled = key.dword(u"Enabled").value_or(0);
    item.options = key.dword(u"Options").value_or(0);
    item.flags = key.dword(u"Flags").value_or(0);
    return item;
}

std::vector<std::u16string> subkey_names(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD index = 0;; ++index) {
        char16_t name[MAX_REGISTRY_KEY_NAME + 1];
        DWORD length = MAX_REGISTRY_KEY_NAME + 1;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

bool comes_before(const RegisteredItem& a, const RegisteredItem& b) {
    return std::make_tuple(!a.has_order, a.order, a.name) < std::make_tuple(!b.has_order, b.order, b.name);
}

}  // namespace

std::vector<RegisteredItem> read_registered_items() {
    ReadKey const items_root(HKEY_LOCAL_MACHINE, items_key);
    std::vector<RegisteredItem> items;
    if (!items_root.get()) return items;
    for (auto const& name : subkey_names(items_root.get())) items.push_back(read_item(items_root.get(), name));
    std::sort(items.begin(), items.end(), comes_before);
    return items;
}

bool read_registered_text_colour(DWORD& colour) {
    auto const value = ReadKey(HKEY_LOCAL_MACHINE, today_key).dword(u"TextColor");
    if (value) colour = *value;
    return value.has_value();
}

}  // namespace today_host
