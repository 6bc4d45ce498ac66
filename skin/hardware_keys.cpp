#include "skin/hardware_keys.h"

#include <algorithm>

#include "foundation/log.h"
#include "foundation/registry.h"
#include "platform/messages.h"
#include "platform/module.h"
#include "skin/form.h"

namespace skinner {
namespace {

std::uint32_t hex_digit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return 0;
}

std::u16string key_path(const std::u16string& subkey) {
    return std::u16string(hardware_keys_registry_path) + u"\\" + subkey;
}

std::u16string read_text(const std::u16string& path, const std::u16string& value) {
    std::u16string text;
    os::read_registry_string(path, value, text);
    return text;
}

}  // namespace

std::uint32_t virtual_key_from_key_name(const std::u16string& name) {
    if (name.size() < 2) return 0;
    return hex_digit(name[name.size() - 2]) * 16 + hex_digit(name[name.size() - 1]);
}

HardwareKeysImpl::HardwareKeysImpl(Form* form) : listener_(form) {
    install(form->get_window());
    HMODULE const core = LoadLibraryW(u"coredll.dll");
    if (core == nullptr) return;
    unregister_ = reinterpret_cast<UnregisterFunction>(GetProcAddressW(core, u"UnregisterFunc1"));
    if (unregister_ == nullptr) return;
    read_keys();
}

HardwareKeysImpl::~HardwareKeysImpl() { uninstall(); }

void HardwareKeysImpl::read_keys() {
    for (auto const& subkey : os::enum_registry_subkeys(hardware_keys_registry_path)) {
        HardwareKey key;
        key.name = read_text(key_path(subkey), u"Name");
        key.virtual_key = virtual_key_from_key_name(subkey);
        keys_.push_back(key);
    }
    std::stable_sort(keys_.begin(), keys_.end(),
                     [](const HardwareKey& a, const HardwareKey& b) { return a.virtual_key < b.virtual_key; });
}

void HardwareKeysImpl::set_key_action(int index, const std::u16string& action) {
    if (index < 0 || index >= static_cast<int>(keys_.size())) return;
    keys_[index].action = action;
    register_all_keys();
}

void HardwareKeysImpl::register_all_keys() {
    if (unregister_ == nullptr) return;
    for (auto const& key : keys_) {
        unregister_(MOD_WIN, key.virtual_key);
        if (!key.action.empty())
            RegisterHotKey(get_window(), static_cast<int>(key.virtual_key), MOD_WIN, key.virtual_key);
        else
            UnregisterHotKey(get_window(), static_cast<int>(key.virtual_key));
    }
}

void HardwareKeysImpl::release_all_keys() {
    if (unregister_ == nullptr) return;
    for (auto const& key : keys_) {
        unregister_(MOD_WIN, key.virtual_key);
        UnregisterHotKey(get_window(), static_cast<int>(key.virtual_key));
    }
}

LRESULT HardwareKeysImpl::on_message(UINT message, WPARAM wparam, LPARAM lparam, bool&) {
    if (message == WM_ACTIVATE) {
        if (wparam != 0)
            register_all_keys();
        else if (unmap_when_inactive_)
            release_all_keys();
    } else if (message == WM_HOTKEY && listener_ != nullptr) {
        auto const vk = static_cast<std::uint32_t>((static_cast<DWORD>(lparam) >> 16) & 0xFFFF);
        os::get_log() << "WM_HOTKEY " << static_cast<int>(vk) << "\n";
        auto const found = std::find_if(keys_.begin(), keys_.end(),
                                        [vk](const HardwareKey& key) { return key.virtual_key == vk; });
        if (found != keys_.end()) listener_->on_command(found->action);
    }
    return 0;
}

HardwareKeys::HardwareKeys(Form* form) : impl_(std::make_unique<HardwareKeysImpl>(form)) {}

HardwareKeys::~HardwareKeys() = default;

int HardwareKeys::count_keys() { return static_cast<int>(os::enum_registry_subkeys(hardware_keys_registry_path).size()); }

}  // namespace skinner
