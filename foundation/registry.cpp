#include "foundation/registry.h"

#include "foundation/log.h"
#include "foundation/nocopy.h"
#include "platform/registry.h"

namespace os {
namespace {

struct RootName {
    const char16_t* name;
    HKEY key;
};

// Tested in this order.
RootName const root_names[] = {
    {u"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {u"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {u"HKEY_USERS", HKEY_USERS},
    {u"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
};

// Owns one open key and closes it at its end.
class RegistryKeyOwner : liba::Nocopy {
public:
    RegistryKeyOwner() = default;
    ~RegistryKeyOwner() {
        if (key_) RegCloseKey(key_);
    }

    HKEY get() const { return key_; }
    HKEY* receive() { return &key_; }

private:
    HKEY key_ = nullptr;
};

bool create_key(const std::u16string& key_path, REGSAM access, RegistryKeyOwner& key) {
    HKEY root = nullptr;
    std::u16string const subkey = split_registry_path(key_path, root);
    DWORD disposition = 0;
    return RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, access, nullptr, key.receive(), &disposition) ==
           ERROR_SUCCESS;
}

// Asks for a value with a buffer of one byte: ERROR_SUCCESS for a value of at most one byte,
// else ERROR_MORE_DATA with the value's type and size, or another error.
LONG probe_value(HKEY key, const std::u16string& value_name, DWORD& type, DWORD& size) {
    BYTE probe[1];
    size = sizeof probe;
    return RegQueryValueExW(key, value_name.c_str(), nullptr, &type, probe, &size);
}

}  // namespace

std::u16string split_registry_path(const std::u16string& path, HKEY& root) {
    for (auto const& known : root_names) {
        std::u16string_view const name(known.name);
        if (path.compare(0, name.size(), name) == 0) {
            root = known.key;
            return path.size() > name.size() ? path.substr(name.size() + 1) : std::u16string();
        }
    }
    root = nullptr;
    return std::u16string();
}

bool write_registry_string(const std::u16string& key_path, const std::u16string& value_name,
                           const std::u16string& text) {
    os::get_log() << "xxxxx 0\n";
    RegistryKeyOwner key;
    if (!create_key(key_path, KEY_ALL_ACCESS, key)) return false;
    os::get_log() << "xxxxx 1\n";
    auto const size = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
    bool const set = RegSetValueExW(key.get(), value_name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(text.c_str()), size) == ERROR_SUCCESS;
    os::get_log() << (set ? "xxxxx 3\n" : "xxxxx 2\n");
    return set;
}

bool write_registry_dword(const std::u16string& key_path, const std::u16string& value_name, DWORD number) {
    RegistryKeyOwner key;
    if (!create_key(key_path, KEY_ALL_ACCESS, key)) return false;
    return RegSetValueExW(key.get(), value_name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                          sizeof number) == ERROR_SUCCESS;
}

bool read_registry_string(const std::u16string& key_path, const std::u16string& value_name, std::u16string& text) {
    RegistryKeyOwner key;
    if (!create_key(key_path, KEY_READ, key)) return false;
    DWORD type = 0;
    DWORD size = 0;
    LONG const probed = probe_value(key.get(), value_name, type, size);
    if (probed == ERROR_SUCCESS) {
        text.clear();
        return true;
    }
    if (probed != ERROR_MORE_DATA || type != REG_SZ) return false;
    // Zeroed and longer than the value, so a text stored without its terminator still ends.
    std::u16string buffer(std::size_t{size} + 1, u'\0');
    if (RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    text = buffer.c_str();
    return true;
}

bool read_registry_dword(const std::u16string& key_path, const std::u16string& value_name, DWORD& number) {
    RegistryKeyOwner key;
    if (!create_key(key_path, KEY_READ, key)) return false;
    DWORD type = 0;
    DWORD size = 0;
    // Only a value of exactly the number's size is read: a longer one would overrun it.
    if (probe_value(key.get(), value_name, type, size) != ERROR_MORE_DATA || type != REG_DWORD ||
        size != sizeof number) {
        return true;
    }
    DWORD value = 0;
    if (RegQueryValueExW(key.get(), value_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof value) {
        number = value;
    }
    return true;
}

std::vector<std::u16string> enum_registry_subkeys(const std::u16string& key_path) {
    std::vector<std::u16string> names;
    HKEY root = nullptr;
    std::u16string const subkey = split_registry_path(key_path, root);
    RegistryKeyOwner key;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.receive()) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
        char16_t name[255];
        DWORD length = 255;
        if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace os
