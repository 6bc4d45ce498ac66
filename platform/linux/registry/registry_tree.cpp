#include "platform/linux/registry/registry_tree.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>

#include "platform/unicode.h"

namespace platform::detail {
namespace {

std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t process_seed() {
    std::random_device device;
    auto const now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return (std::uint64_t{device()} << 32) ^ device() ^ mix(now) ^ (std::uint64_t(getpid()) << 17);
}

}  // namespace

RegistryKey* RegistryKey::find_subkey(std::u16string_view name) const {
    for (auto const& subkey : subkeys_) {
        if (equal_ignore_case(subkey->name_, name)) return subkey.get();
    }
    return nullptr;
}

RegistryKey& RegistryKey::add_subkey(std::u16string_view name, std::uint64_t id) {
    if (RegistryKey* existing = find_subkey(name)) return *existing;
    subkeys_.push_back(std::make_unique<RegistryKey>(std::u16string(name), id));
    return *subkeys_.back();
}

bool RegistryKey::remove_subkey(std::u16string_view name) {
    auto const it = std::find_if(subkeys_.begin(), subkeys_.end(),
                                 [&](auto const& subkey) { return equal_ignore_case(subkey->name_, name); });
    if (it == subkeys_.end()) return false;
    subkeys_.erase(it);
    return true;
}

const RegistryValue* RegistryKey::find_value(std::u16string_view name) const {
    for (auto const& value : values_) {
        if (equal_ignore_case(value.name, name)) return &value;
    }
    return nullptr;
}

void RegistryKey::set_value(std::u16string_view name, DWORD type, std::vector<BYTE> data) {
    for (auto& value : values_) {
        if (equal_ignore_case(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    values_.push_back(RegistryValue{std::u16string(name), type, std::move(data)});
}

bool RegistryKey::remove_value(std::u16string_view name) {
    auto const it = std::find_if(values_.begin(), values_.end(),
                                 [&](auto const& value) { return equal_ignore_case(value.name, name); });
    if (it == values_.end()) return false;
    values_.erase(it);
    return true;
}

std::uint64_t new_registry_key_id() {
    // A forked child inherits the counter; mixing in the process id keeps the two apart.
    static std::atomic<std::uint64_t> counter{process_seed()};
    std::uint64_t id;
    do {
        id = mix(counter.fetch_add(1) ^ (std::uint64_t(getpid()) << 40));
    } while (id == RegistryKey::root_id);
    return id;
}

std::vector<std::u16string> split_key_path(std::u16string_view path) {
    std::vector<std::u16string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        if (end > start) names.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

RegistryKey* find_key_path(RegistryKey& from, const std::vector<std::u16string>& names) {
    RegistryKey* key = &from;
    for (auto const& name : names) {
        key = key->find_subkey(name);
        if (!key) return nullptr;
    }
    return key;
}

}  // namespace platform::detail
