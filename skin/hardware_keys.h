// The device's application buttons bound to the program's commands: read from the
// registry's button list, taken from the shell as hot keys while the form is active, and
// turned into the form's commands when pressed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/nocopy.h"
#include "platform/windows.h"
#include "skin/control_subclass.h"

namespace skinner {

class Form;
class Listener;

struct HardwareKey {
    std::u16string name;
    HICON icon = nullptr;  // no icon lookup on this platform yet: always null
    std::u16string action;  // the bound command; empty = not bound
    std::uint32_t virtual_key = 0;
};

// The registry key that lists the device's buttons, one subkey each.
inline constexpr char16_t hardware_keys_registry_path[] = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shell\\Keys";

// The virtual key of a button from its registry key name: its last two characters as
// hexadecimal digits, any other character counting as 0; 0 for a shorter name.
std::uint32_t virtual_key_from_key_name(const std::u16string& name);

class HardwareKeysImpl : public ControlSubclass {
public:
    explicit HardwareKeysImpl(Form* form);
    ~HardwareKeysImpl() override;

    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override;

    const std::vector<HardwareKey>& get_keys() const { return keys_; }
    void set_key_action(int index, const std::u16string& action);
    void set_unmap_when_inactive(bool flag) { unmap_when_inactive_ = flag; }
    void register_all_keys();
    void release_all_keys();

private:
    using UnregisterFunction = BOOL (*)(UINT, UINT);
    void read_keys();

    bool unmap_when_inactive_ = false;
    std::vector<HardwareKey> keys_;
    Listener* listener_;
    UnregisterFunction unregister_ = nullptr;
};

class HardwareKeys : private liba::Nocopy {
public:
    explicit HardwareKeys(Form* form);
    ~HardwareKeys();

    const std::vector<HardwareKey>& get_keys() const { return impl_->get_keys(); }
    void set_key_action(int index, const std::u16string& action) { impl_->set_key_action(index, action); }
    void set_unmap_when_inactive(bool flag) { impl_->set_unmap_when_inactive(flag); }
    static int count_keys();

private:
    std::unique_ptr<HardwareKeysImpl> impl_;
};

}  // namespace skinner
