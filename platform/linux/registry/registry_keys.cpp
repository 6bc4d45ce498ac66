// The registry functions and the table of open keys behind HKEY values.
#include <algorithm>
#include <mutex>
#include <optional>
#include <memory>

#include "platform/linux/kernel/handles.h"
#include "platform/linux/kernel/process_state.h"
#include "platform/linux/registry/registry_format.h"
#include "platform/linux/registry/registry_store.h"
#include "platform/linux/registry/registry_tree.h"
#include "platform/registry.h"

namespace platform::detail {
namespace {

// What an HKEY stands for: a key of one stored root, found by its path and known by its id.
struct OpenKey {
    std::string hive;
    std::vector<std::u16string> path;
    std::uint64_t id = RegistryKey::root_id;
};

// The open keys live in the process's handle table; this lock guards every use of the
// stored roots (and is taken before the handle table's).
struct KeyTable {
    std::mutex lock;
};

KeyTable& table() {
    static auto* const instance = new KeyTable;  // lives to the process end
    return *instance;
}

// Call with the table locked. The roots are found in the device folder of this moment.
std::optional<OpenKey> resolve(HKEY key) {
    if (std::string hive = hive_base_path(key); !hive.empty()) return OpenKey{std::move(hive), {}, RegistryKey::root_id};
    auto const found = std::static_pointer_cast<OpenKey>(find_typed_handle(key, HandleKind::registry_key));
    if (!found) return std::nullopt;
    return *found;
}

// Null when the process has no handles left.
HKEY add_key(OpenKey key) {
    return reinterpret_cast<HKEY>(add_typed_handle(HandleKind::registry_key, std::make_shared<OpenKey>(std::move(key))));
}

// The key itself, or null when it was deleted since it was opened.
RegistryKey* locate(RegistryKey& root, const OpenKey& key) {
    RegistryKey* found = find_key_path(root, key.path);
    return found && found->id() == key.id ? found : nullptr;
}

std::u16string_view text_or_empty(LPCWSTR text) { return text ? std::u16string_view(text) : std::u16string_view(); }

bool names_fit(const std::vector<std::u16string>& names) {
    return std::all_of(names.begin(), names.end(),
                       [](auto const& name) { return name.size() <= MAX_REGISTRY_KEY_NAME; });
}

// The key found by the names below the base (names match without regard to case).
OpenKey below(const OpenKey& base, const RegistryKey& key, const std::vector<std::u16string>& names) {
    OpenKey opened{base.hive, base.path, key.id()};
    opened.path.insert(opened.path.end(), names.begin(), names.end());
    return opened;
}

LONG create_missing_keys(const OpenKey& base, const std::vector<std::u16string>& names, OpenKey& opened,
                         DWORD& disposition) {
    return static_cast<LONG>(change_hive(base.hive, [&](RegistryKey& root) -> DWORD {
        RegistryKey* key = locate(root, base);
        if (!key) return ERROR_KEY_DELETED;
        disposition = REG_OPENED_EXISTING_KEY;
        for (auto const& name : names) {
            RegistryKey* next = key->find_subkey(name);
            if (!next) {
                next = &key->add_subkey(name, new_registry_key_id());
                disposition = REG_CREATED_NEW_KEY;
            }
            key = next;
        }
        opened = below(base, *key, names);
        return ERROR_SUCCESS;
    }));
}

}  // namespace
}  // namespace platform::detail

using namespace platform::detail;

LONG RegCreateKeyExW(HKEY key, LPCWSTR subkey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                     LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(table().lock);
    auto const base = resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    auto const names = split_key_path(text_or_empty(subkey));
    if (!names_fit(names) || base->path.size() + names.size() > max_registry_key_depth) return ERROR_INVALID_PARAMETER;

    RegistryKey* from = locate(current_hive(base->hive), *base);
    if (!from) return ERROR_KEY_DELETED;
    OpenKey opened;
    DWORD how = REG_OPENED_EXISTING_KEY;
    if (RegistryKey* existing = find_key_path(*from, names)) {
        opened = below(*base, *existing, names);  // no change, no lock
    } else if (LONG const error = create_missing_keys(*base, names, opened, how); error != ERROR_SUCCESS) {
        return error;
    }
    *result = add_key(std::move(opened));
    if (disposition) *disposition = how;
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subkey, DWORD, REGSAM, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(table().lock);
    auto const base = resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    RegistryKey* from = locate(current_hive(base->hive), *base);
    if (!from) return ERROR_KEY_DELETED;
    auto const names = split_key_path(text_or_empty(subkey));
    RegistryKey* found = find_key_path(*from, names);
    if (!found) return ERROR_FILE_NOT_FOUND;
    *result = add_key(below(*base, *found, names));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    std::lock_guard guard(table().lock);
    if (!hive_base_path(key).empty()) return ERROR_SUCCESS;
    return remove_typed_handle(key, HandleKind::registry_key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD data_size) {
    if (data && !data_size) return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(table().lock);
    auto const opened = resolve(key);
    if (!opened) return ERROR_INVALID_HANDLE;
    RegistryKey* found = locate(current_hive(opened->hive), *opened);
    if (!found) return ERROR_KEY_DELETED;
    RegistryValue const* value = found->find_value(text_or_empty(value_name));
    if (!value) return ERROR_FILE_NOT_FOUND;

    auto const needed = static_cast<DWORD>(value->data.size());
    if (type) *type = value->type;
    if (data) {
        if (*data_size < needed) {
            *data_size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(value->data.begin(), value->data.end(), data);
    }
    if (data_size) *data_size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR value_name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size != 0) return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(table().lock);
    auto const opened = resolve(key);
    if (!opened) return ERROR_INVALID_HANDLE;
    std::vector<BYTE> bytes(data, data + size);
    return static_cast<LONG>(change_hive(opened->hive, [&](RegistryKey& root) -> DWORD {
        RegistryKey* found = locate(root, *opened);
        if (!found) return ERROR_KEY_DELETED;
        found->set_value(text_or_empty(value_name), type, std::move(bytes));
        return ERROR_SUCCESS;
    }));
}

LONG RegDeleteValueW(HKEY key, LPCWSTR value_name) {
    std::lock_guard guard(table().lock);
    auto const opened = resolve(key);
    if (!opened) return ERROR_INVALID_HANDLE;
    return static_cast<LONG>(change_hive(opened->hive, [&](RegistryKey& root) -> DWORD {
        RegistryKey* found = locate(root, *opened);
        if (!found) return ERROR_KEY_DELETED;
        return found->remove_value(text_or_empty(value_name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }));
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_length, LPDWORD, LPWSTR key_class,
                   LPDWORD class_length, PFILETIME last_write_time) {
    if (!name || !name_length) return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(table().lock);
    auto const opened = resolve(key);
    if (!opened) return ERROR_INVALID_HANDLE;
    RegistryKey* found = locate(current_hive(opened->hive), *opened);
    if (!found) return ERROR_KEY_DELETED;
    if (index >= found->subkeys().size()) return ERROR_NO_MORE_ITEMS;

    std::u16string const& subkey = found->subkeys()[index]->name();
    if (subkey.size() + 1 > *name_length) return ERROR_MORE_DATA;
    std::copy(subkey.begin(), subkey.end(), name);
    name[subkey.size()] = u'\0';
    *name_length = static_cast<DWORD>(subkey.size());
    if (key_class && class_length && *class_length > 0) key_class[0] = u'\0';
    if (class_length) *class_length = 0;
    if (last_write_time) *last_write_time = hive_last_write_time(opened->hive);
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subkey) {
    if (!subkey) return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(table().lock);
    auto const opened = resolve(key);
    if (!opened) return ERROR_INVALID_HANDLE;
    auto const names = split_key_path(subkey);
    return static_cast<LONG>(change_hive(opened->hive, [&](RegistryKey& root) -> DWORD {
        RegistryKey* from = locate(root, *opened);
        if (!from) return ERROR_KEY_DELETED;
        if (names.empty()) {
            if (opened->path.empty()) return ERROR_ACCESS_DENIED;
            std::vector<std::u16string> parent_path(opened->path.begin(), opened->path.end() - 1);
            find_key_path(root, parent_path)->remove_subkey(opened->path.back());
            return ERROR_SUCCESS;
        }
        std::vector<std::u16string> const parent_names(names.begin(), names.end() - 1);
        RegistryKey* parent = find_key_path(*from, parent_names);
        if (!parent || !parent->remove_subkey(names.back())) return ERROR_FILE_NOT_FOUND;
        return ERROR_SUCCESS;
    }));
}

void platform::detail::forget_registry_cache() {
    std::lock_guard guard(table().lock);
    forget_cached_hives();
}
