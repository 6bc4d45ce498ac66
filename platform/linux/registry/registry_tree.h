// The keys and values of one registry root in memory (inside the Linux back end only).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace platform::detail {

struct RegistryValue {
    std::u16string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// A key names itself, knows its children in creation order and carries an id that no other
// key ever had, so that a key deleted and made again under the same name is a new key.
class RegistryKey {
public:
    static constexpr std::uint64_t root_id = 0;

    RegistryKey(std::u16string name, std::uint64_t id) : name_(std::move(name)), id_(id) {}

    const std::u16string& name() const { return name_; }
    std::uint64_t id() const { return id_; }

    const std::vector<std::unique_ptr<RegistryKey>>& subkeys() const { return subkeys_; }
    RegistryKey* find_subkey(std::u16string_view name) const;
    // The existing subkey of that name, else a new one with the given id.
    RegistryKey& add_subkey(std::u16string_view name, std::uint64_t id);
    bool remove_subkey(std::u16string_view name);

    const std::vector<RegistryValue>& values() const { return values_; }
    const RegistryValue* find_value(std::u16string_view name) const;
    // Replaces the data of a value of that name (keeping the name's case) or adds one.
    void set_value(std::u16string_view name, DWORD type, std::vector<BYTE> data);
    bool remove_value(std::u16string_view name);

private:
    std::u16string name_;
    std::uint64_t id_;
    std::vector<std::unique_ptr<RegistryKey>> subkeys_;
    std::vector<RegistryValue> values_;
};

// A fresh key id, unique across processes.
std::uint64_t new_registry_key_id();

// Splits a subkey path at '\' into key names; empty names (doubled, leading or trailing
// separators) are skipped.
std::vector<std::u16string> split_key_path(std::u16string_view path);

// Follows the names from the key; null when one is missing.
RegistryKey* find_key_path(RegistryKey& from, const std::vector<std::u16string>& names);

}  // namespace platform::detail
